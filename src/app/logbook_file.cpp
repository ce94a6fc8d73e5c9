#include "app/logbook_file.h"

#include "app/paths.h"
#include "app/reporter.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace blokpost {

struct LogbookFile::OpenFile {
    explicit OpenFile(int descriptor) : fd(descriptor) {}
    ~OpenFile() { ::close(fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    const int fd;
};

// Has the disk take what was written, away from the tick. Requests that come
// while a sync runs are served by one more sync; a file handed over stays
// open until its sync is done.
class LogbookFile::DiskSync {
public:
    DiskSync() : worker_([this] { run(); }) {}
    ~DiskSync() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        worker_.join();
    }
    DiskSync(const DiskSync&) = delete;
    DiskSync& operator=(const DiskSync&) = delete;

    void request(std::shared_ptr<OpenFile> file) {
        {
            const std::lock_guard lock(mutex_);
            pending_ = std::move(file);
        }
        wake_.notify_one();
    }
    // The error of a sync since the last call, 0 when none.
    int takeError() { return error_.exchange(0); }

private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || pending_; });
            if (!pending_) return;
            std::shared_ptr<OpenFile> file = std::move(pending_);
            pending_.reset();
            lock.unlock();
            if (::fdatasync(file->fd) != 0) error_ = errno;
            file.reset();
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::shared_ptr<OpenFile> pending_;
    bool stop_ = false;
    std::atomic<int> error_{0};
    std::thread worker_;  // last: starts when everything it uses is there
};

LogbookFile::LogbookFile() : clock_([] { return QDateTime::currentDateTime(); }) {}

LogbookFile::~LogbookFile() = default;

std::string LogbookFile::dayFile(const QDate& day) {
    return "Logboek/" + day.toString(QStringLiteral("yyyy-MM-dd")).toStdString() + ".txt";
}

void LogbookFile::append(const DataPaths& paths, Reporter& reporter, const std::string& entry) {
    ++entries_;
    const std::string problem = writeLine(paths, clock_(), entry);
    if (problem.empty()) {
        failing_ = false;
        return;
    }
    file_.reset();  // opened afresh at the next entry
    if (failing_) return;
    failing_ = true;
    reporter.message("kan logboek " + problem + "; de baan rijdt door, het logboek probeert het opnieuw");
}

std::string LogbookFile::open(const DataPaths& paths, const QDate& day) {
    file_.reset();
    const std::string relative = dayFile(day);
    const QByteArray path = QFile::encodeName(paths.forWriting(relative));
    const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return relative + " niet openen (" + std::strerror(errno) + ")";
    file_ = std::make_shared<OpenFile>(fd);
    day_ = day;
    return {};
}

std::string LogbookFile::writeLine(const DataPaths& paths, const QDateTime& now, const std::string& entry) {
    if (sync_) {
        if (const int error = sync_->takeError(); error != 0)
            return dayFile(day_) + " niet bewaren (" + std::strerror(error) + ")";
    }
    // A new day gets its own file; a file removed meanwhile is made again.
    struct stat status {};
    if (file_ && (day_ != now.date() || ::fstat(file_->fd, &status) != 0 || status.st_nlink == 0)) file_.reset();
    if (!file_)
        if (std::string problem = open(paths, now.date()); !problem.empty()) return problem;

    const std::string line = now.time().toString(QStringLiteral("HH:mm:ss")).toStdString() + "  " + entry + "\r\n";
    ssize_t written = -1;
    do written = ::write(file_->fd, line.data(), line.size());
    while (written < 0 && errno == EINTR);
    if (written == static_cast<ssize_t>(line.size())) {
        if (!sync_) sync_ = std::make_unique<DiskSync>();
        sync_->request(file_);
        return {};
    }
    const int error = written < 0 ? errno : ENOSPC;
    // Half a line would run into the next one: take it back.
    if (written > 0) {
        const off_t end = ::lseek(file_->fd, 0, SEEK_END);
        if (end >= written && ::ftruncate(file_->fd, end - written) != 0) file_.reset();
    }
    return dayFile(day_) + " niet schrijven (" + std::strerror(error) + ")";
}

}  // namespace blokpost
