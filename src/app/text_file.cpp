#include "app/text_file.h"

#include "app/reporter.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <optional>

namespace blokpost {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
constexpr std::size_t kMaxNumberToken = 32;
constexpr qint64 kWriteChunk = 4096;

// Set only while a ScopedWriteFailure lives.
std::optional<std::size_t> writeFailsAfter;

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
    QFile file(path);
    if (!file.exists()) throw OperationError("File not found");
    if (!file.open(QIODevice::ReadOnly)) throw OperationError("File access denied");
    const QByteArray bytes = file.readAll();
    return TextFileReader(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

TextFileReader TextFileReader::fromBytes(std::string bytes) { return TextFileReader(std::move(bytes)); }

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
    std::string line = bytes_.substr(start, pos_ - start);
    skipLineEnd();
    if (line.size() > maxLength) line.resize(maxLength);
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

void TextFileWriter::commit() {
    // The new contents go to a file beside the old one, which is replaced
    // only when everything was written.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) throw OperationError(file.errorString().toStdString());
    const auto size = static_cast<qint64>(contents_.size());
    for (qint64 done = 0; done < size;) {
        qint64 chunk = std::min(kWriteChunk, size - done);
        const bool failing = writeFailsAfter && done + chunk > static_cast<qint64>(*writeFailsAfter);
        if (failing) chunk = static_cast<qint64>(*writeFailsAfter) - done;
        if (chunk > 0 && file.write(contents_.data() + done, chunk) != chunk) {
            file.cancelWriting();
            throw OperationError(file.errorString().toStdString());
        }
        if (failing) {
            file.cancelWriting();
            throw OperationError("Disk write error");
        }
        done += chunk;
    }
    if (!file.commit()) throw OperationError(file.errorString().toStdString());
}

ScopedWriteFailure::ScopedWriteFailure(std::size_t bytes) { writeFailsAfter = bytes; }

ScopedWriteFailure::~ScopedWriteFailure() { writeFailsAfter.reset(); }

}  // namespace blokpost
