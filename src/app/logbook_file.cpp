#include "app/logbook_file.h"

#include "app/paths.h"
#include "app/reporter.h"

#include <QFile>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace blokpost {

struct LogbookFile::OpenFile {
    OpenFile(int descriptor, std::string relativeName) : fd(descriptor), name(std::move(relativeName)) {}
    ~OpenFile() { ::close(fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    const int fd;
    const std::string name;  // as the operator is told it
};

namespace {

// Writes the line whole; a line cut short (the disk filled up) is taken back,
// so it cannot run into the next one. Returns the problem, empty when none.
std::string writeWhole(int fd, const std::string& name, const std::string& line) {
    ssize_t written = -1;
    do written = ::write(fd, line.data(), line.size());
    while (written < 0 && errno == EINTR);
    if (written == static_cast<ssize_t>(line.size())) return {};
    const int error = written < 0 ? errno : ENOSPC;
    if (written > 0) {
        const off_t end = ::lseek(fd, 0, SEEK_END);
        if (end >= written && ::ftruncate(fd, end - written) != 0) {
            // Nothing more to be done about it here; the failure is told below.
        }
    }
    return name + " niet schrijven (" + std::strerror(error) + ")";
}

}  // namespace

// Writes the lines handed over and has the disk take them (fdatasync), away
// from the tick: a write to a page that the disk is taking can wait for it.
// Lines go out in the order given; a sync follows once none is waiting.
class LogbookFile::Writer {
public:
    Writer() : worker_([this] { run(); }) {}
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

    void write(std::shared_ptr<OpenFile> file, std::string line) {
        {
            const std::lock_guard lock(mutex_);
            lines_.push_back({std::move(file), std::move(line)});
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
        std::shared_ptr<OpenFile> file;
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
                std::string problem = writeWhole(line.file->fd, line.file->name, line.text);
                lock.lock();
                busy_ = false;
                done(std::move(problem));
                if (lastWentThrough_) toSync_ = std::move(line.file);
                if (lines_.empty()) settled_.notify_all();
            } else if (toSync_) {
                std::shared_ptr<OpenFile> file = std::move(toSync_);
                toSync_.reset();
                lock.unlock();
                const int error = ::fdatasync(file->fd) == 0 ? 0 : errno;
                lock.lock();
                if (error != 0) done(file->name + " niet bewaren (" + std::strerror(error) + ")");
            } else {
                return;  // stopped, with everything written and taken by the disk
            }
        }
    }
    void done(std::string problem) {
        lastWentThrough_ = problem.empty();
        if (!lastWentThrough_ && failure_.empty()) failure_ = std::move(problem);
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable settled_;
    std::deque<Line> lines_;
    std::shared_ptr<OpenFile> toSync_;  // written since the last sync
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
            file_.reset();  // opened afresh below
            fail(reporter, problem);
        } else if (writer_->lastWriteWentThrough()) {
            failing_ = false;
        }
    }
    const QDateTime now = clock_();
    // A new day gets its own file; a file removed meanwhile is made again.
    struct stat status {};
    if (file_ && (day_ != now.date() || ::fstat(file_->fd, &status) != 0 || status.st_nlink == 0)) file_.reset();
    if (!file_) {
        if (const std::string problem = open(paths, now.date()); !problem.empty()) return fail(reporter, problem);
    }
    if (!writer_) writer_ = std::make_unique<Writer>();
    writer_->write(file_, now.time().toString(QStringLiteral("HH:mm:ss")).toStdString() + "  " + entry + "\r\n");
}

void LogbookFile::fail(Reporter& reporter, const std::string& problem) {
    if (failing_) return;
    failing_ = true;
    reporter.message("kan logboek " + problem + "; de baan rijdt door, het logboek probeert het opnieuw");
}

std::string LogbookFile::open(const DataPaths& paths, const QDate& day) {
    const std::string relative = dayFile(day);
    const QByteArray path = QFile::encodeName(paths.forWriting(relative));
    const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return relative + " niet openen (" + std::strerror(errno) + ")";
    file_ = std::make_shared<OpenFile>(fd, relative);
    day_ = day;
    return {};
}

}  // namespace blokpost
