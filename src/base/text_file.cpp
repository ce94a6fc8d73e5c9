#include "base/text_file.h"

#include "base/reporter.h"
#include "base/stored_file.h"

#include <QFileInfo>
#include <algorithm>
#include <charconv>

namespace blokpost {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
constexpr std::size_t kMaxNumberToken = 32;

// Decimal with an optional sign, or hexadecimal after a '$'.
bool parseInteger(std::string_view token, std::int32_t& out) {
    bool negative = false;
    if (!token.empty() && (token.front() == '+' || token.front() == '-')) {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    int base = 10;
    if (!token.empty() && token.front() == '$') {
        base = 16;
        token.remove_prefix(1);
    }
    if (token.empty()) return false;
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value, base);
    if (error != std::errc() || end != token.data() + token.size()) return false;
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<std::int32_t>(value);
    return true;
}

}  // namespace

TextFileReader TextFileReader::open(const QString& path) {
    StoredBytes file = readStoredFile(path, kMaxFileBytes);
    return TextFileReader(std::move(file.bytes), file.cutShort);
}

TextFileReader TextFileReader::open(const QString& path, Reporter& reporter) {
    TextFileReader file = open(path);
    if (file.cutShort())
        reporter.message(QFileInfo(path).fileName().toStdString() +
                         " is larger than a layout file can be: only its first " +
                         std::to_string(kMaxFileBytes / 1024) + " KB are read");
    return file;
}

TextFileReader TextFileReader::fromBytes(std::string bytes) {
    const bool cut = bytes.size() > kMaxFileBytes;
    if (cut) bytes.resize(kMaxFileBytes);
    return TextFileReader(std::move(bytes), cut);
}

void TextFileReader::skipLineEnd() {
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r') ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
}

void TextFileReader::skipRestOfLine() {
    while (pos_ < bytes_.size() && !isLineEnd(bytes_[pos_])) ++pos_;
    skipLineEnd();
}

std::string TextFileReader::readText(std::size_t maxLength) {
    const std::size_t start = pos_;
    while (pos_ < bytes_.size() && !isLineEnd(bytes_[pos_])) ++pos_;
    // Only what the slot holds is copied: a long line costs no memory.
    std::string line = bytes_.substr(start, std::min({pos_ - start, maxLength, kMaxLineLength}));
    skipLineEnd();
    return line;
}

std::int32_t TextFileReader::readNumber() {
    while (pos_ < bytes_.size() && (isBlank(bytes_[pos_]) || isLineEnd(bytes_[pos_]))) ++pos_;
    if (atEnd()) return 0;
    const std::size_t start = pos_;
    while (pos_ < bytes_.size() && pos_ - start < kMaxNumberToken && !isBlank(bytes_[pos_]) &&
           !isLineEnd(bytes_[pos_]))
        ++pos_;
    const std::string_view token(bytes_.data() + start, pos_ - start);
    std::int32_t value = 0;
    if (!parseInteger(token, value)) throw OperationError("Invalid numeric input");
    skipRestOfLine();
    return value;
}

void TextFileWriter::text(std::string_view value) {
    for (const char c : value) contents_.push_back(isLineEnd(c) ? ' ' : c);
    contents_.append("\r\n");
}

void TextFileWriter::number(std::int64_t value) { text(std::to_string(value)); }

void TextFileWriter::commit() { replaceStoredFile(path_, contents_); }

}  // namespace blokpost
