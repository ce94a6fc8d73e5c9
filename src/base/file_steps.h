#pragma once
// The system calls every stored file goes through, in the few shapes the
// saves, the rewrite journal and the day files share.

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace blokpost {

// An open file that is closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { closeQuietly(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closing can report a write error of its own, so a save closes explicitly.
    int close();

private:
    void closeQuietly();
    int fd_;
};

// The operating system's words for an errno value.
std::string systemReason(int error);

// What a path that is no regular file turns out to be, in the operator's words.
std::string kindOf(mode_t mode);

// Writes all of `bytes` unbuffered from `offset`, so a full disk shows at the
// write that meets it. Returns 0 or the errno of the failed write.
int writeAll(int fd, std::string_view bytes, off_t offset);

// Everything the file holds, read from its start. Returns 0 or the errno.
int readWhole(int fd, std::string& bytes);

// The folder part of a path ("." when there is none).
std::string folderOf(const std::string& path);

// The path with every link and "." or ".." resolved; empty when it does not exist.
std::string canonicalPath(const std::string& path);

// Has the disk keep the folder's list of names, so a file made or renamed in
// it survives a power cut. Returns 0 or the errno.
int syncFolder(const std::string& folder);
// Makes the folder with `mode` where nothing stands at its path, and syncs it
// into the folder above it. Returns 0 or the errno.
int makeFolderIfMissing(const std::string& folder, mode_t mode);

// A 64-bit checksum (FNV-1a) that tells a file whole from one cut or mixed.
std::uint64_t checksumOf(std::string_view bytes);

}  // namespace blokpost
