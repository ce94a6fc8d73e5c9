#pragma once
// Real file-system situations for the tests: a small tmpfs that can be filled
// to the last byte, a lowered file size limit, another user's rights, and a
// watchdog for reads that could block on a FIFO.

#include <QString>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <string>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace blokpost::test {

inline constexpr uid_t kNobody = 65534;

inline bool runningAsRoot() { return ::geteuid() == 0; }

// A tmpfs of `size` mounted on `folder` (which must exist) for the life of the object.
class ScratchTmpfs {
public:
    ScratchTmpfs(const QString& folder, const std::string& options) : folder_(folder.toStdString()) {
        mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
        if (!mounted_) error_ = std::string("cannot mount a tmpfs here (") + std::strerror(errno) + ")";
    }
    ~ScratchTmpfs() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    ScratchTmpfs(const ScratchTmpfs&) = delete;
    ScratchTmpfs& operator=(const ScratchTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& error() const { return error_; }

    // Takes every byte left, so the next write meets a full disk.
    void fill() {
        const int fd = ::open(filler().c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const std::string block(4096, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        while (::write(fd, "f", 1) > 0) {
        }
        ::close(fd);
    }
    void makeRoom() { ::unlink(filler().c_str()); }
    static const char* fillerName() { return "filler"; }

private:
    std::string filler() const { return folder_ + "/" + fillerName(); }
    std::string folder_;
    bool mounted_ = false;
    std::string error_;
};

// The process may write no file beyond `bytes` while the object lives.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit lowered = previous_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
        // As the program does from its start: a write past the limit fails instead of ending it.
        std::signal(SIGXFSZ, SIG_IGN);
    }
    ~ScopedFileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &previous_); }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit previous_{};
};

// Acts with another user's rights while the object lives (needs root).
class ScopedEffectiveUser {
public:
    explicit ScopedEffectiveUser(uid_t user) { ok_ = ::setegid(user) == 0 && ::seteuid(user) == 0; }
    ~ScopedEffectiveUser() {
        (void)::seteuid(0);
        (void)::setegid(0);
        // Changing users makes the process undumpable; the later tests expect it as it was.
        ::prctl(PR_SET_DUMPABLE, 1);
    }
    ScopedEffectiveUser(const ScopedEffectiveUser&) = delete;
    ScopedEffectiveUser& operator=(const ScopedEffectiveUser&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// Runs `action`; true when it returned in time. When it did not, it is stuck
// opening one of `fifos`: a writer is opened on each to release it, so the
// test fails instead of hanging.
inline bool returnsWithoutBlocking(const std::function<void()>& action, const std::vector<QString>& fifos) {
    auto done = std::async(std::launch::async, action);
    if (done.wait_for(std::chrono::seconds(3)) == std::future_status::ready) return true;
    for (const QString& fifo : fifos) {
        const int fd = ::open(fifo.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    }
    done.wait();
    return false;
}

}  // namespace blokpost::test
