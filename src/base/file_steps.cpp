#include "base/file_steps.h"

#include "base/stored_write_limit.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace blokpost {

int Descriptor::close() {
    if (fd_ < 0) return 0;
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
}

void Descriptor::closeQuietly() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::string systemReason(int error) { return std::generic_category().message(error); }

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a symbolic link";
    return "something other than a file";
}

int writeAll(int fd, std::string_view bytes, off_t offset) {
    const std::optional<std::size_t> stopAfter = storedWriteLimit();
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t chunk = bytes.size() - done;
        if (stopAfter) {
            if (done >= *stopAfter) return ENOSPC;
            chunk = std::min(chunk, *stopAfter - done);
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

int readWhole(int fd, std::string& bytes) {
    bytes.clear();
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) bytes.resize(std::max<std::size_t>(4096, bytes.size() * 2));
        const ssize_t got = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return 0;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return path.substr(0, std::max<std::size_t>(slash, 1));
}

int syncFolder(const std::string& folder) {
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) return errno;
    return ::fsync(fd.get()) == 0 ? 0 : errno;
}

std::string canonicalPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return {};
    std::string result(real);
    std::free(real);
    return result;
}

int makeFolderIfMissing(const std::string& folder, mode_t mode) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) == 0 || errno != ENOENT) return 0;
    if (::mkdir(folder.c_str(), mode) != 0) return errno == EEXIST ? 0 : errno;
    return syncFolder(folderOf(folder));
}

std::uint64_t checksumOf(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ULL;
    }
    return hash;
}

}  // namespace blokpost
