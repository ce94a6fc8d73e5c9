#include "base/logbook_file.h"

#include "base/file_steps.h"
#include "base/paths.h"
#include "base/reporter.h"

#include <QFile>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace blokpost {

namespace {

// Writes the line whole; a line cut short (the disk filled up, the file
// size limit was met) is taken back, so it cannot run into the next one.
// Returns the problem, empty when none.
std::string writeWhole(int fd, const std::string& name, const std::string& line) {
    std::size_t done = 0;
    int error = 0;
    while (done < line.size() && error == 0) {
        const ssize_t written = ::write(fd, line.data() + done, line.size() - done);
        if (written > 0) done += static_cast<std::size_t>(written);
        else if (written < 0 && errno != EINTR) error = errno;
        else if (written == 0) error = ENOSPC;
    }
    if (error == 0) return {};
    if (done > 0) {
        const off_t end = ::lseek(fd, 0, SEEK_END);
        if (end >= static_cast<off_t>(done) && ::ftruncate(fd, end - static_cast<off_t>(done)) != 0) {
            // Nothing more to be done about it here; the failure is told below.
        }
    }
    return name + " niet schrijven (" + systemReason(error) + ")";
}

// Opens only a regular file, and never waits: a FIFO opened for writing with
// no reader would hold the thread, and a device would swallow the lines.
// Returns the open file, or null with `problem` set.
std::unique_ptr<Descriptor> openDayFile(const std::string& path, const std::string& relative, std::string& problem) {
    const auto refuse = [&](const std::string& why) {
        problem = relative + " niet openen (" + why + ")";
        return nullptr;
    };
    if (const int error = makeFolderIfMissing(folderOf(path), 0777)) return refuse(systemReason(error));
    // A link is refused too: the lines would go into whatever file it names.
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return refuse("it is " + kindOf(info.st_mode));
    constexpr int kFlags = O_WRONLY | O_APPEND | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;
    bool created = true;
    auto file = std::make_unique<Descriptor>(::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0644));
    if (!file->valid() && errno == EEXIST) {
        created = false;
        file = std::make_unique<Descriptor>(::open(path.c_str(), kFlags));
    }
    if (!file->valid()) return refuse(systemReason(errno));
    // Looked at again once open, in case something else took its place in between.
    if (::fstat(file->get(), &info) != 0) return refuse(systemReason(errno));
    if (!S_ISREG(info.st_mode)) return refuse("it is " + kindOf(info.st_mode));
    if (created) {
        const int error = ::fsync(file->get()) == 0 ? syncFolder(folderOf(path)) : errno;
        if (error != 0) return refuse(systemReason(error));
    }
    return file;
}

}  // namespace

// Opens the day files, writes the lines handed over and has the disk take
// them (fdatasync), away from the tick: an open can meet a FIFO or a slow
// disk, and a write to a page that the disk is taking can wait for it.
// Lines go out in the order given; a sync follows once none is waiting.
class LogbookFile::Writer {
public:
    explicit Writer(const QString& root) : paths_(root), worker_([this] { run(); }) {}
    ~Writer() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        worker_.join();
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void write(QDate day, std::string line) {
        {
            const std::lock_guard lock(mutex_);
            lines_.push_back({day, std::move(line)});
        }
        wake_.notify_one();
    }
    void settle() {
        std::unique_lock lock(mutex_);
        settled_.wait(lock, [this] { return lines_.empty() && !busy_; });
    }
    // The first failure since the last call, empty when none.
    std::string takeFailure() {
        const std::lock_guard lock(mutex_);
        return std::exchange(failure_, {});
    }
    bool lastWriteWentThrough() {
        const std::lock_guard lock(mutex_);
        return lastWentThrough_;
    }

private:
    struct Line {
        QDate day;
        std::string text;
    };

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || !lines_.empty() || toSync_; });
            if (!lines_.empty()) {
                Line line = std::move(lines_.front());
                lines_.pop_front();
                busy_ = true;
                lock.unlock();
                std::string problem = writeLine(line);
                lock.lock();
                busy_ = false;
                done(std::move(problem));
                toSync_ = toSync_ || lastWentThrough_;
                if (lines_.empty()) settled_.notify_all();
            } else if (toSync_) {
                toSync_ = false;
                lock.unlock();
                const int error = file_ && ::fdatasync(file_->get()) != 0 ? errno : 0;
                lock.lock();
                if (error != 0) done(name_ + " niet bewaren (" + systemReason(error) + ")");
            } else {
                return;  // stopped, with everything written and taken by the disk
            }
        }
    }
    // Only this thread touches the open file.
    std::string writeLine(const Line& line) {
        // A new day gets its own file; a file removed meanwhile is made again.
        struct stat status {};
        std::string unsynced;
        if (file_ && day_ != line.day) {
            // Yesterday's last lines are on the disk before its file is let go.
            if (::fdatasync(file_->get()) != 0) unsynced = name_ + " niet bewaren (" + systemReason(errno) + ")";
            file_.reset();
        }
        if (file_ && (::fstat(file_->get(), &status) != 0 || status.st_nlink == 0)) file_.reset();
        if (!file_) {
            std::string problem;
            name_ = dayFile(line.day);
            file_ = openDayFile(QFile::encodeName(paths_.find(name_)).toStdString(), name_, problem);
            if (!file_) return problem;
            day_ = line.day;
        }
        std::string problem = writeWhole(file_->get(), name_, line.text);
        if (!problem.empty()) file_.reset();  // opened afresh for the next line
        return problem.empty() ? unsynced : problem;
    }
    void done(std::string problem) {
        lastWentThrough_ = problem.empty();
        if (!lastWentThrough_ && failure_.empty()) failure_ = std::move(problem);
    }

    DataPaths paths_;
    std::unique_ptr<Descriptor> file_;
    std::string name_;  // as the operator is told it
    QDate day_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable settled_;
    std::deque<Line> lines_;
    bool toSync_ = false;  // written since the last sync
    bool busy_ = false;
    bool stop_ = false;
    bool lastWentThrough_ = true;
    std::string failure_;
    std::thread worker_;  // last: starts when everything it uses is there
};

LogbookFile::LogbookFile() : clock_([] { return QDateTime::currentDateTime(); }) {}

LogbookFile::~LogbookFile() = default;

std::string LogbookFile::dayFile(const QDate& day) {
    return "Logboek/" + day.toString(QStringLiteral("yyyy-MM-dd")).toStdString() + ".txt";
}

void LogbookFile::settle() {
    if (writer_) writer_->settle();
}

void LogbookFile::append(const DataPaths& paths, Reporter& reporter, const std::string& entry) {
    ++entries_;
    // What became of the lines before this one.
    if (writer_) {
        if (const std::string problem = writer_->takeFailure(); !problem.empty()) {
            fail(reporter, problem);
        } else if (writer_->lastWriteWentThrough()) {
            failing_ = false;
        }
    }
    const QDateTime now = clock_();
    if (!writer_) writer_ = std::make_unique<Writer>(paths.root());
    writer_->write(now.date(), now.time().toString(QStringLiteral("HH:mm:ss")).toStdString() + "  " + entry + "\r\n");
}

void LogbookFile::fail(Reporter& reporter, const std::string& problem) {
    if (failing_) return;
    failing_ = true;
    reporter.message("kan logboek " + problem + "; de baan rijdt door, het logboek probeert het opnieuw");
}

}  // namespace blokpost
