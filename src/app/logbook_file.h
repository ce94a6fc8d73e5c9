#pragma once
// The logbook kept on disk, for reading back after a day at the layout:
// every entry is appended to the day file "Logboek/JJJJ-MM-DD.txt" of the
// computer's date, stamped with the computer's time:
//     11:31:05  8:31  Wis3A
// Each line goes out whole in one write to a file opened for appending, so a
// crash loses nothing written before it; a helper thread then has the disk
// take it (fdatasync), so a power cut loses at most the newest line and the
// tick never waits for the disk. Day files are only ever appended to.
//
// When the file cannot be written the operator is told once; the layout
// runs on, and every new entry tries again, quietly until it works again.

#include <QDate>
#include <QDateTime>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace blokpost {

class DataPaths;
class Reporter;

class LogbookFile {
public:
    using WallClock = std::function<QDateTime()>;

    LogbookFile();  // the computer's local time
    ~LogbookFile();
    LogbookFile(const LogbookFile&) = delete;
    LogbookFile& operator=(const LogbookFile&) = delete;

    // Tests and the hands-free run pass their own time of day.
    void setClock(WallClock clock) { clock_ = std::move(clock); }
    void append(const DataPaths& paths, Reporter& reporter, const std::string& entry);

    // Entries offered since start, written or not.
    std::uint64_t entries() const { return entries_; }
    // The day file of `day`, relative to the working folder.
    static std::string dayFile(const QDate& day);

private:
    struct OpenFile;
    class DiskSync;

    std::string writeLine(const DataPaths& paths, const QDateTime& now, const std::string& entry);
    std::string open(const DataPaths& paths, const QDate& day);

    WallClock clock_;
    std::shared_ptr<OpenFile> file_;
    QDate day_;
    bool failing_ = false;
    std::uint64_t entries_ = 0;
    std::unique_ptr<DiskSync> sync_;  // started with the first file
};

}  // namespace blokpost
