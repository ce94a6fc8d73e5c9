#include "base/stored_file.h"

#include "base/file_steps.h"
#include "base/paths.h"
#include "base/reporter.h"
#include "base/rewrite_journal.h"
#include "base/stored_write_limit.h"
#include "base/temporary_files.h"
#include "base/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace blokpost {

namespace {

constexpr std::size_t kFirstReadChunk = 64 * 1024;
constexpr int kMaxLinkHops = 40;  // as the kernel allows before ELOOP

std::string displayName(const QString& path) { return QFileInfo(path).fileName().toStdString(); }

std::string notAFile(const std::string& verb, const std::string& name, mode_t mode) {
    return "Cannot " + verb + " " + name + ": it is " + kindOf(mode) + ", not a regular file";
}

OperationError readFailure(const std::string& name, int error) {
    if (error == ENOENT || error == ENOTDIR) return OperationError("File not found");
    if (error == EACCES || error == EPERM) return OperationError("File access denied");
    if (error == ELOOP) return OperationError("Cannot read " + name + ": it is a loop of symbolic links");
    return OperationError("Cannot read " + name + ": " + systemReason(error));
}

OperationError saveFailure(const std::string& name, int error) {
    if (error == ELOOP) return OperationError("Cannot save " + name + ": it is a loop of symbolic links");
    return OperationError("Cannot save " + name + ": " + systemReason(error));
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

// Claims room for `bytes`, writes them over the file and has the disk take
// them. Returns 0 or the errno of the step that failed.
int overwrite(int fd, std::string_view bytes, off_t oldSize) {
    const auto size = static_cast<off_t>(bytes.size());
    // The tests' full disk shows where a real one does: when the room is claimed.
    const std::optional<std::size_t> limit = storedWriteLimit();
    if (limit && *limit < bytes.size()) return ENOSPC;
    if (size > oldSize)
        if (const int error = ::posix_fallocate(fd, 0, size)) return error;
    if (const int error = writeAll(fd, bytes, 0)) return error;
    if (::ftruncate(fd, size) != 0 || ::fsync(fd) != 0) return errno;
    return 0;
}

// The last resort where the folder refuses a new file. The old contents are
// kept in the state folder first, so a program stopped halfway finds its
// way back at the next start; room for the new contents is claimed before
// any byte is overwritten, and a failure puts the old contents back at once.
void rewriteInPlace(const std::string& target, std::string_view bytes, const std::string& name) {
    const Descriptor fd(::open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) throw saveFailure(name, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) throw saveFailure(name, errno);
    if (!S_ISREG(info.st_mode)) throw OperationError(notAFile("save", name, info.st_mode));
    // The record keeps both contents whole: no larger than a data file can be.
    if (static_cast<std::size_t>(info.st_size) > TextFileReader::kMaxFileBytes || bytes.size() > TextFileReader::kMaxFileBytes)
        throw OperationError("Cannot save " + name +
                             ": its folder refuses new files, and a file larger than a layout file can be is not "
                             "rewritten in place");
    std::string old;
    if (const int error = readWhole(fd.get(), old)) throw saveFailure(name, error);
    if (old == bytes) return;
    const std::unique_ptr<RewriteRecord> record = keepOldContents(fd.get(), target, old, bytes, name);
    if (const int error = overwrite(fd.get(), bytes, static_cast<off_t>(old.size()))) {
        // Put back now; should that fail too, the record puts it back at the next start.
        if (overwrite(fd.get(), old, static_cast<off_t>(bytes.size())) == 0) record->drop();
        throw saveFailure(name, error);
    }
    record->drop();
}

// A file that refuses writing is not replaced behind its back: neither one
// this user may not write nor one without any write permission bit, which
// root could write but the file's owner has marked read-only.
void refuseReadOnly(const std::string& target, const struct stat& old, const std::string& name) {
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) throw saveFailure(name, errno);
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) throw saveFailure(name, EACCES);
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

void ignoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

void replaceStoredFile(const QString& path, std::string_view bytes) {
    const std::string name = displayName(path);
    const std::string target = followLinks(QFile::encodeName(path).toStdString(), name);

    std::optional<struct stat> old;
    if (struct stat info {}; ::stat(target.c_str(), &info) == 0) old = info;
    else if (errno != ENOENT) throw saveFailure(name, errno);
    if (old && !S_ISREG(old->st_mode)) throw OperationError(notAFile("save", name, old->st_mode));
    if (old) refuseReadOnly(target, *old, name);

    // Its own leftovers only where it lies in the folder the program named, not reached through a link.
    if (target == QFile::encodeName(path).toStdString()) removeLeftoversOf(target);
    const RenameOutcome outcome = replaceByRename(target, bytes, [&](int fd) { takeOverOwnerAndMode(fd, old); });
    if (!outcome.madeBeside && old && (outcome.error == EACCES || outcome.error == EPERM))
        return rewriteInPlace(target, bytes, name);
    if (outcome.error) throw saveFailure(name, outcome.error);
}

void prepareStoredFiles(const QString& root, const std::vector<std::string>& savedFiles, Reporter& reporter) {
    ignoreFileSizeSignal();
    setLayoutFolder(QFile::encodeName(root).toStdString());
    finishInterruptedRewrites(reporter);
    const DataPaths paths(root);
    for (const std::string& file : savedFiles) removeLeftoversOf(QFile::encodeName(paths.find(file)).toStdString());
}

}  // namespace blokpost
