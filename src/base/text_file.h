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

class Reporter;

class TextFileReader {
public:
    // What any stored file can hold: the longest, the layout store, has 907
    // lines; with every line at its longest it stays under the file limit.
    static constexpr std::size_t kMaxLineLength = 512;
    static constexpr std::size_t kMaxFileBytes = 512 * 1024;

    // Reads the file at once, so nothing stays open or locked after a failed
    // load; only a regular file, and only its first kMaxFileBytes. Throws
    // OperationError("File not found") when it cannot be read, or says what
    // the path is when it is no file.
    static TextFileReader open(const QString& path);
    // The same, telling the operator when the file was larger than any data file can be.
    static TextFileReader open(const QString& path, Reporter& reporter);
    static TextFileReader fromBytes(std::string bytes);

    // The rest of the current line, cut to maxLength characters (and never
    // longer than kMaxLineLength); then the next line.
    std::string readText(std::size_t maxLength = std::string::npos);
    // Throws OperationError("Invalid numeric input") when the token is no 32-bit integer.
    std::int32_t readNumber();
    bool atEnd() const { return pos_ >= bytes_.size(); }
    // The file held more than kMaxFileBytes; only its start is read.
    bool cutShort() const { return cutShort_; }

private:
    explicit TextFileReader(std::string bytes, bool cutShort = false)
        : bytes_(std::move(bytes)), cutShort_(cutShort) {}
    void skipLineEnd();
    void skipRestOfLine();

    std::string bytes_;
    std::size_t pos_ = 0;
    bool cutShort_ = false;
};

// Collects the lines and replaces the file in one step on commit(): a save
// that fails (a full disk, a file size limit, a path that is no file) leaves
// the previous file exactly as it was.
class TextFileWriter {
public:
    explicit TextFileWriter(QString path) : path_(std::move(path)) {}

    // One line. A line break inside the value would shift every later value
    // of the fixed-order file, so it is written as a blank.
    void text(std::string_view value);
    void number(std::int64_t value);
    // Throws OperationError with the operating system's reason ("No space left
    // on device") when the file cannot be written.
    void commit();

    const std::string& contents() const { return contents_; }

private:
    QString path_;
    std::string contents_;
};

}  // namespace blokpost
