#include "app/stored_file.h"

#include "app/reporter.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace blokpost {

namespace {

constexpr std::size_t kFirstReadChunk = 64 * 1024;
constexpr int kMaxLinkHops = 40;  // as the kernel allows before ELOOP

// Set only by the tests.
std::optional<std::size_t> writesStopAfter;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { closeQuietly(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closing can report a write error of its own, so a save closes explicitly.
    int close() {
        if (fd_ < 0) return 0;
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    void closeQuietly() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    int fd_;
};

std::string reason(int error) { return std::generic_category().message(error); }

std::string displayName(const QString& path) { return QFileInfo(path).fileName().toStdString(); }

// What a path that is no regular file turns out to be, in the operator's words.
std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "something other than a file";
}

std::string notAFile(const std::string& verb, const std::string& name, mode_t mode) {
    return "Cannot " + verb + " " + name + ": it is " + kindOf(mode) + ", not a regular file";
}

OperationError readFailure(const std::string& name, int error) {
    if (error == ENOENT || error == ENOTDIR) return OperationError("File not found");
    if (error == EACCES || error == EPERM) return OperationError("File access denied");
    if (error == ELOOP) return OperationError("Cannot read " + name + ": it is a loop of symbolic links");
    return OperationError("Cannot read " + name + ": " + reason(error));
}

OperationError saveFailure(const std::string& name, int error) {
    if (error == ELOOP) return OperationError("Cannot save " + name + ": it is a loop of symbolic links");
    return OperationError("Cannot save " + name + ": " + reason(error));
}

// Writes all of `bytes` unbuffered from `offset`, so a full disk shows at the
// write that meets it. Returns 0 or the errno of the failed write.
int writeAll(int fd, std::string_view bytes, off_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t chunk = bytes.size() - done;
        if (writesStopAfter) {
            if (done >= *writesStopAfter) return ENOSPC;
            chunk = std::min(chunk, *writesStopAfter - done);
        }
        const ssize_t written = ::pwrite(fd, bytes.data() + done, chunk, offset + static_cast<off_t>(done));
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

// A file larger than the process may write raises SIGXFSZ, which would end
// the program; ignored, the write fails with EFBIG and is reported instead.
void ignoreFileSizeSignal() {
    static const bool ignored = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)ignored;
}

// The file a save is meant for: the end of a chain of symbolic links, which
// stay links. A link whose target is missing names the file to create.
std::string followLinks(const std::string& path, const std::string& name) {
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::string target(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)) + 256, '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0) throw saveFailure(name, errno);
        target.resize(static_cast<std::size_t>(length));
        if (target.empty() || target.front() != '/') {
            const std::size_t slash = current.rfind('/');
            target = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + target;
        }
        current = target;
    }
    throw saveFailure(name, ELOOP);
}

struct Beside {
    std::string path;
    int fd = -1;
    int error = 0;
};

// A new file next to `target`, readable by nobody else while it fills.
Beside createBeside(const std::string& target) {
    static std::minstd_rand names(static_cast<unsigned>(::getpid()) ^ std::random_device{}());
    Beside temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.path = target + "." + std::to_string(names() % 1000000) + ".new";
        temp.fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
        if (temp.fd >= 0) return temp;
        if (errno != EEXIST) break;
    }
    temp.error = errno;
    return temp;
}

// The new file gets the old one's owner and permission bits where the system
// allows it (a file of another user stays theirs when root saves it); a new
// file gets what the process's umask leaves of rw-rw-rw-.
void takeOverOwnerAndMode(int fd, const std::optional<struct stat>& old) {
    if (old) {
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), old->st_gid);
        (void)::fchmod(fd, old->st_mode & 07777);
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    (void)::fchmod(fd, 0666 & ~mask);
}

void syncFolderOf(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, std::max<std::size_t>(slash, 1));
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) (void)::fsync(fd.get());
}

// The last resort where the folder refuses a new file: room for the new
// contents is claimed before any byte is overwritten, so a full disk stops the
// save with the old contents whole.
void rewriteInPlace(const std::string& target, std::string_view bytes, const std::string& name) {
    // Read access too, which the C library's stand-in for fallocate needs on
    // file systems without it; write access alone where that is all there is.
    constexpr int kFlags = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    int opened = ::open(target.c_str(), O_RDWR | kFlags);
    if (opened < 0 && errno == EACCES) opened = ::open(target.c_str(), O_WRONLY | kFlags);
    Descriptor fd(opened);
    if (!fd.valid()) throw saveFailure(name, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) throw saveFailure(name, errno);
    if (!S_ISREG(info.st_mode)) throw OperationError(notAFile("save", name, info.st_mode));
    const auto size = static_cast<off_t>(bytes.size());
    // The tests' full disk shows where a real one does: when the room is claimed.
    int error = writesStopAfter && *writesStopAfter < bytes.size() ? ENOSPC : 0;
    if (!error && size > info.st_size) error = ::posix_fallocate(fd.get(), 0, size);
    if (error) {
        (void)::ftruncate(fd.get(), info.st_size);
        throw saveFailure(name, error);
    }
    if (const int failed = writeAll(fd.get(), bytes, 0)) throw saveFailure(name, failed);
    if (::ftruncate(fd.get(), size) != 0 || ::fsync(fd.get()) != 0 || fd.close() != 0)
        throw saveFailure(name, errno);
}

}  // namespace

StoredBytes readStoredFile(const QString& path, std::size_t limit) {
    const QByteArray native = QFile::encodeName(path);
    const std::string name = displayName(path);
    // Looked at before it is opened: opening a FIFO for reading waits for a writer.
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) throw readFailure(name, errno);
    if (!S_ISREG(info.st_mode)) throw OperationError(notAFile("read", name, info.st_mode));
    // Non-blocking as well, in case something else took its place in between.
    const Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) throw readFailure(name, errno);
    if (::fstat(fd.get(), &info) != 0) throw readFailure(name, errno);
    if (!S_ISREG(info.st_mode)) throw OperationError(notAFile("read", name, info.st_mode));

    // One byte beyond the limit tells a file that is too large; nothing more is read.
    const std::size_t wanted = limit + 1;
    StoredBytes result;
    std::string& bytes = result.bytes;
    bytes.resize(std::min(wanted, std::max(kFirstReadChunk, static_cast<std::size_t>(info.st_size) + 1)));
    std::size_t done = 0;
    while (done < wanted) {
        if (done == bytes.size()) bytes.resize(std::min(wanted, bytes.size() * 2));
        const ssize_t got = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            throw readFailure(name, errno);
        }
        done += static_cast<std::size_t>(got);
    }
    result.cutShort = done > limit;
    bytes.resize(std::min(done, limit));
    bytes.shrink_to_fit();
    return result;
}

bool isRegularFile(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

void replaceStoredFile(const QString& path, std::string_view bytes) {
    ignoreFileSizeSignal();
    const std::string name = displayName(path);
    const std::string target = followLinks(QFile::encodeName(path).toStdString(), name);

    std::optional<struct stat> old;
    if (struct stat info {}; ::stat(target.c_str(), &info) == 0) old = info;
    else if (errno != ENOENT) throw saveFailure(name, errno);
    if (old && !S_ISREG(old->st_mode)) throw OperationError(notAFile("save", name, old->st_mode));
    // A file that refuses writing is not replaced behind its back.
    if (old && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) throw saveFailure(name, errno);

    Beside temp = createBeside(target);
    if (temp.fd < 0) {
        if (old && (temp.error == EACCES || temp.error == EPERM)) return rewriteInPlace(target, bytes, name);
        throw saveFailure(name, temp.error);
    }
    Descriptor fd(temp.fd);
    // The reason is taken before the new file is removed, which may set errno anew.
    const auto fail = [&](int error) {
        fd.close();
        ::unlink(temp.path.c_str());
        throw saveFailure(name, error);
    };
    if (const int error = writeAll(fd.get(), bytes, 0)) fail(error);
    takeOverOwnerAndMode(fd.get(), old);
    if (::fsync(fd.get()) != 0) fail(errno);
    if (fd.close() != 0) fail(errno);
    if (::rename(temp.path.c_str(), target.c_str()) != 0) fail(errno);
    syncFolderOf(target);
}

void limitStoredWritesForTests(std::optional<std::size_t> bytes) { writesStopAfter = bytes; }

}  // namespace blokpost
