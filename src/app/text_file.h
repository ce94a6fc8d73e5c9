#pragma once
// The one text format of every stored file: plain 8-bit text, one value a
// line, CR LF line ends, no header. A text value is the whole line; a number
// is read the way a line-oriented reader does it (blanks and line ends are
// skipped up to the next token, the rest of the token's line is dropped).
// Reading past the end gives empty texts and zeros without complaint.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace blokpost {

class TextFileReader {
public:
    // Reads the whole file at once, so nothing stays open or locked after a
    // failed load. Throws OperationError("File not found") when it cannot be read.
    static TextFileReader open(const QString& path);
    static TextFileReader fromBytes(std::string bytes);

    // The rest of the current line, cut to maxLength characters; then the next line.
    std::string readText(std::size_t maxLength = std::string::npos);
    // Throws OperationError("Invalid numeric input") when the token is no 32-bit integer.
    std::int32_t readNumber();
    bool atEnd() const { return pos_ >= bytes_.size(); }

private:
    explicit TextFileReader(std::string bytes) : bytes_(std::move(bytes)) {}
    void skipLineEnd();
    void skipRestOfLine();

    std::string bytes_;
    std::size_t pos_ = 0;
};

// Collects the lines and replaces the file in one step on commit(): a save
// that fails leaves the previous file exactly as it was.
class TextFileWriter {
public:
    explicit TextFileWriter(QString path) : path_(std::move(path)) {}

    // One line. A line break inside the value would shift every later value
    // of the fixed-order file, so it is written as a blank.
    void text(std::string_view value);
    void number(std::int64_t value);
    // Throws OperationError with the failure's message when the file cannot be written.
    void commit();

    const std::string& contents() const { return contents_; }

private:
    QString path_;
    std::string contents_;
};

// Makes every commit while it lives stop after writing `bytes` bytes, as a
// full disk would, so the tests can prove that the old file survives.
class ScopedWriteFailure {
public:
    explicit ScopedWriteFailure(std::size_t bytes);
    ~ScopedWriteFailure();
    ScopedWriteFailure(const ScopedWriteFailure&) = delete;
    ScopedWriteFailure& operator=(const ScopedWriteFailure&) = delete;
};

}  // namespace blokpost
