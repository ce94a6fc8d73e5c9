#pragma once
// The logbook kept on disk, for reading back after a day at the layout:
// every entry is appended to the day file "Logboek/JJJJ-MM-DD.txt" of the
// computer's date, stamped with the computer's time:
//     11:31:05  8:31  Wis3A
// Each line is handed at once to a helper thread that opens the day file,
// writes the line whole to the file opened for appending (a line cut short
// is taken back), and
// then has the disk take it (fdatasync); so a crash or a power cut loses at
// most the newest line, and the tick never touches the disk. Day files are
// only ever appended to. Like every stored file, only a regular file is
// opened, without waiting: a FIFO, a device, a symbolic link (to anything)
// or a folder in its place is refused with what it is. At midnight the old
// day file is synced before it is closed. A new day file and a new folder are
// synced into their folder.
//
// When the file cannot be written the operator is told once (a failure of
// the helper at the next entry); the layout runs on, and every new entry
// tries again, quietly until it works again.

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

    // Waits until every entry handed over has been written (for tests and
    // the hands-free run, which read the day files back).
    void settle();

    // Entries offered since start, written or not.
    std::uint64_t entries() const { return entries_; }
    // The day file of `day`, relative to the working folder.
    static std::string dayFile(const QDate& day);

private:
    class Writer;

    void fail(Reporter& reporter, const std::string& problem);

    WallClock clock_;
    bool failing_ = false;
    std::uint64_t entries_ = 0;
    std::unique_ptr<Writer> writer_;  // started with the first entry
};

}  // namespace blokpost
