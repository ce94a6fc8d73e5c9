// Preloaded into a program to end it at one chosen step of a save, as a kill
// or a power cut would: the calls that write, sync, rename, resize or remove
// a file are counted, and the one numbered BLOKPOST_STOP_AT_CALL (from 1) is
// not made: the process ends there with _exit(kStoppedExitCode), no buffer
// flushed, no destructor run. With BLOKPOST_PAUSE_AT_CALL instead, the
// process stops itself (SIGSTOP) before that call and makes it once it is
// continued: a save caught in the middle, still running. With
// BLOKPOST_FAIL_AT_CALL the chosen calls (one number, or several with commas
// between) are not made and fail with EIO, as a failing disk would; with BLOKPOST_LOG_CALLS set, every counted call's
// name goes to standard error on a line of its own.

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr int kStoppedExitCode = 86;

long chosenCall(const char* variable) {
    const char* text = std::getenv(variable);
    return text ? std::atol(text) : 0L;
}

void logCall(const char* name) {
    static const bool logging = std::getenv("BLOKPOST_LOG_CALLS") != nullptr;
    if (!logging) return;
    (void)::write(2, name, std::strlen(name));  // fd 2 is not counted
    (void)::write(2, "\n", 1);
}

// Whether `count` is one of the calls listed in the variable ("12" or "12,14").
bool listed(const char* variable, long count) {
    const char* text = std::getenv(variable);
    for (char* end = nullptr; text && *text; text = *end ? end + 1 : end) {
        if (std::strtol(text, &end, 10) == count) return true;
        if (end == text) return false;
    }
    return false;
}

// Counts one step and ends or pauses the process when it is the chosen one.
// Returns whether the call is to fail instead of being made.
bool step(const char* name) {
    static const long stopAt = chosenCall("BLOKPOST_STOP_AT_CALL");
    static const long pauseAt = chosenCall("BLOKPOST_PAUSE_AT_CALL");
    static long count = 0;
    ++count;
    logCall(name);
    if (count == stopAt) ::_exit(kStoppedExitCode);
    if (count == pauseAt) ::raise(SIGSTOP);
    return listed("BLOKPOST_FAIL_AT_CALL", count);
}

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

// The file descriptors 0..2 are the child's own output, not a save's.
#define BLOKPOST_STEP(fd, name)      \
    if ((fd) > 2 && step(name)) { \
        errno = EIO;                  \
        return -1;                    \
    }
// A counted call whatever its file; `failed` is what the call returns on failure.
#define BLOKPOST_ANY_STEP(name, failed) \
    if (step(name)) {                   \
        errno = EIO;                    \
        return failed;                  \
    }

extern "C" {

ssize_t write(int fd, const void* data, size_t size) {
    BLOKPOST_STEP(fd, "write");
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    return real(fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
    BLOKPOST_STEP(fd, "pwrite");
    static const auto real = next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return real(fd, data, size, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) {
    BLOKPOST_STEP(fd, "pwrite64");
    static const auto real = next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64");
    return real(fd, data, size, offset);
}

int fsync(int fd) {
    BLOKPOST_ANY_STEP("fsync", -1);
    static const auto real = next<int (*)(int)>("fsync");
    return real(fd);
}

int fdatasync(int fd) {
    BLOKPOST_ANY_STEP("fdatasync", -1);
    static const auto real = next<int (*)(int)>("fdatasync");
    return real(fd);
}

int ftruncate(int fd, off_t length) {
    BLOKPOST_ANY_STEP("ftruncate", -1);
    static const auto real = next<int (*)(int, off_t)>("ftruncate");
    return real(fd, length);
}

int posix_fallocate(int fd, off_t offset, off_t length) {
    BLOKPOST_ANY_STEP("posix_fallocate", EIO);
    static const auto real = next<int (*)(int, off_t, off_t)>("posix_fallocate");
    return real(fd, offset, length);
}

int rename(const char* from, const char* to) {
    BLOKPOST_ANY_STEP("rename", -1);
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    return real(from, to);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    BLOKPOST_ANY_STEP("renameat", -1);
    static const auto real = next<int (*)(int, const char*, int, const char*)>("renameat");
    return real(fromFolder, from, toFolder, to);
}

int unlink(const char* path) {
    BLOKPOST_ANY_STEP("unlink", -1);
    static const auto real = next<int (*)(const char*)>("unlink");
    return real(path);
}

}  // extern "C"
