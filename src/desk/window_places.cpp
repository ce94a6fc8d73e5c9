#include "desk/window_places.h"

#include "base/reporter.h"
#include "base/stored_file.h"
#include "base/text_file.h"
#include "desk/desk_layout.h"

#include <charconv>
#include <string_view>

namespace blokpost {

namespace {

constexpr std::string_view kSection = "[Vensters]";
constexpr std::string_view kKeyPrefix = "Form";
// Far beyond any desktop; a larger number is a damaged value.
constexpr int kMaxCoordinate = 100000;
// The file holds twenty short lines; anything much larger is not ours.
constexpr std::size_t kMaxFileSize = 64 * 1024;

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool parseInt(std::string_view text, int& out) {
    text = trimmed(text);
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, out);
    return error == std::errc() && stop == end && out >= -kMaxCoordinate && out <= kMaxCoordinate;
}

bool parseForm(std::string_view key, int& form) {
    key = trimmed(key);
    if (key.substr(0, kKeyPrefix.size()) != kKeyPrefix) return false;
    return parseInt(key.substr(kKeyPrefix.size()), form) && form >= desk::kFirstForm && form <= desk::kLastForm;
}

bool parsePoint(std::string_view value, QPoint& point) {
    const std::size_t comma = value.find(',');
    int x = 0;
    int y = 0;
    if (comma == std::string_view::npos || !parseInt(value.substr(0, comma), x) ||
        !parseInt(value.substr(comma + 1), y))
        return false;
    point = QPoint(x, y);
    return true;
}

}  // namespace

WindowPlaces parseWindowPlaces(const std::string& text) {
    WindowPlaces places;
    bool inSection = false;
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = trimmed(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            inSection = line == kSection;
            continue;
        }
        const std::size_t equals = line.find('=');
        int form = 0;
        QPoint point;
        if (inSection && equals != std::string_view::npos && parseForm(line.substr(0, equals), form) &&
            parsePoint(line.substr(equals + 1), point))
            places[form] = point;
    }
    return places;
}

std::vector<std::string> windowPlaceLines(const WindowPlaces& places) {
    std::vector<std::string> lines{"; Blokpost: where the operator left each window (top-left corner of its frame)",
                                   std::string(kSection)};
    for (const auto& [form, point] : places)
        lines.push_back(std::string(kKeyPrefix) + std::to_string(form) + "=" + std::to_string(point.x()) + "," +
                        std::to_string(point.y()));
    return lines;
}

WindowPlaces readWindowPlaces(const QString& path) {
    try {
        const StoredBytes file = readStoredFile(path, kMaxFileSize);
        return file.cutShort ? WindowPlaces{} : parseWindowPlaces(file.bytes);
    } catch (const OperationError&) {
        return {};  // missing, unreadable or no file at all: the designed places
    }
}

void writeWindowPlaces(const QString& path, const WindowPlaces& places) {
    TextFileWriter file(path);
    for (const std::string& line : windowPlaceLines(places)) file.text(line);
    file.commit();
}

}  // namespace blokpost
