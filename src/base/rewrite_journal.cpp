#include "base/rewrite_journal.h"

#include "base/reporter.h"
#include "base/temporary_files.h"
#include "base/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <vector>

namespace blokpost {

namespace {

constexpr std::string_view kRecordPrefix = "rewrite-";
constexpr std::string_view kHeader = "blokpost rewrite 2\n";
// Two data files at their largest, and room for two paths.
constexpr std::size_t kMaxRecordBytes = 2 * TextFileReader::kMaxFileBytes + 4 * PATH_MAX;

std::string layoutFolder;  // canonical; empty until the start names it

// What one record holds; see encode() for its layout.
struct Record {
    std::string layout;  // the layout folder's path when the record was made
    std::uint64_t layoutDevice = 0, layoutInode = 0;
    std::string relative;  // the file's path inside the layout folder
    std::uint64_t device = 0, inode = 0;
    std::string old, next;
};

std::string hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

// The header, the checksum of the body, and the body: each path with its
// length before it, the identities, the two contents' lengths and then the
// contents themselves.
std::string encode(const Record& r) {
    const auto line = [](std::uint64_t n) { return std::to_string(n) + "\n"; };
    const std::string body = line(r.layout.size()) + r.layout + "\n" + line(r.layoutDevice) + line(r.layoutInode) +
                             line(r.relative.size()) + r.relative + "\n" + line(r.device) + line(r.inode) +
                             line(r.old.size()) + line(r.next.size()) + r.old + r.next;
    return std::string(kHeader) + hex(checksumOf(body)) + "\n" + body;
}

// Reads the fields of a record's body one after the other.
class Fields {
public:
    explicit Fields(std::string_view body) : body_(body) {}
    std::optional<std::uint64_t> number() {
        const std::size_t end = body_.find('\n', at_);
        if (end == std::string_view::npos || end == at_ || end - at_ > 20) return std::nullopt;
        const std::string digits(body_.substr(at_, end - at_));
        if (digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
        at_ = end + 1;
        return std::strtoull(digits.c_str(), nullptr, 10);
    }
    std::optional<std::string> bytes(std::optional<std::uint64_t> length, bool line) {
        if (!length || *length + (line ? 1 : 0) > body_.size() - at_) return std::nullopt;
        std::string text(body_.substr(at_, *length));
        at_ += *length + (line ? 1 : 0);
        return text;
    }
    bool atEnd() const { return at_ == body_.size(); }

private:
    std::string_view body_;
    std::size_t at_ = 0;
};

// A path inside the layout folder: relative, and never climbing out of it.
bool staysInside(const std::string& relative) {
    if (relative.empty() || relative.front() == '/') return false;
    return ("/" + relative + "/").find("/../") == std::string::npos;
}

std::optional<Record> decode(const std::string& bytes) {
    if (bytes.rfind(kHeader, 0) != 0 || bytes.size() < kHeader.size() + 17) return std::nullopt;
    const std::string_view body = std::string_view(bytes).substr(kHeader.size() + 17);
    if (bytes.substr(kHeader.size(), 17) != hex(checksumOf(body)) + "\n") return std::nullopt;
    Fields f(body);
    Record r;
    const auto layout = f.bytes(f.number(), true);
    const auto layoutDevice = f.number(), layoutInode = f.number();
    const auto relative = f.bytes(f.number(), true);
    const auto device = f.number(), inode = f.number();
    const auto oldLength = f.number(), newLength = f.number();
    const auto old = f.bytes(oldLength, false), next = f.bytes(newLength, false);
    if (!layout || !layoutDevice || !layoutInode || !relative || !device || !inode || !old || !next || !f.atEnd() ||
        !staysInside(*relative))
        return std::nullopt;
    return Record{*layout, *layoutDevice, *layoutInode, *relative, *device, *inode, *old, *next};
}

// $XDG_STATE_HOME/blokpost, else ~/.local/state/blokpost.
std::string stateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/blokpost";
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] == '/' ? home : "") + "/.local/state/blokpost";
}

// Made by this user, and writable by nobody else: what lies in it is ours.
bool isOwn(const struct stat& info) { return info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0; }

bool isOwnFolder(const std::string& folder) {
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && isOwn(info);
}

// The folder and the ones above it, made for this user only where missing,
// each synced, so the record kept in it survives a power cut.
int makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        if (const int error = makeFolderIfMissing(folder.substr(0, slash), 0700)) return error;
        if (slash == std::string::npos) return 0;
    }
}

// Why `target` (open on `fd`) may not be rewritten in place; empty when it may.
std::string refusalOf(int fd, const std::string& target, std::string& relative) {
    const std::string root = canonicalPath(layoutFolder);
    const std::string file = canonicalPath(target);
    if (root.empty() || file.rfind(root + "/", 0) != 0) return "it lies outside the layout folder";
    for (const char* system : {"/proc/", "/sys/", "/dev/"})
        if (file.rfind(system, 0) == 0) return "it lies in the system's folder " + std::string(system);
    struct statfs disk {};
    if (::fstatfs(fd, &disk) != 0) return systemReason(errno);
    if (disk.f_type == PROC_SUPER_MAGIC || disk.f_type == SYSFS_MAGIC) return "it is a file of the system";
    relative = file.substr(root.size() + 1);
    return {};
}

// A copy of `bytes` in `folder` under a name that says what it is, never over
// anything already there. Returns its path, or empty when none could be made.
std::string keepCopy(const std::string& folder, const std::string& fileName, const std::string& bytes) {
    const std::size_t dot = fileName.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
    const std::string extension = stem.size() == fileName.size() ? "" : fileName.substr(dot);
    for (int n = 1; n <= 99; ++n) {
        // Built by appending: GCC 12 warns falsely (-Wrestrict) on " " + std::to_string(n).
        std::string path = folder + "/" + stem + " (van voor onderbroken opslaan";
        if (n > 1) path.append(1, ' ').append(std::to_string(n));
        path.append(1, ')').append(extension);
        const Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd.valid() && errno == EEXIST) continue;
        if (!fd.valid()) return {};
        if (writeAll(fd.get(), bytes, 0) != 0 || ::fsync(fd.get()) != 0) {
            ::unlink(path.c_str());
            return {};
        }
        (void)syncFolder(folder);
        return path;
    }
    return {};
}

// Every byte is the new or the old one of its place, or a zero where room
// was claimed past the shorter of the two, and the length one the rewrite or
// its put-back passes through: what a stopped rewrite of this record leaves.
bool isInterruptedShape(std::string_view now, const Record& r) {
    const std::size_t a = r.old.size(), b = r.next.size();
    if (now.size() != a && now.size() != b && now.size() != std::max(a, b)) return false;
    for (std::size_t i = 0; i < now.size(); ++i) {
        const bool asNew = i < b && now[i] == r.next[i];
        const bool asOld = i < a && now[i] == r.old[i];
        const bool claimed = i >= std::min(a, b) && now[i] == '\0';
        if (!asNew && !asOld && !claimed) return false;
    }
    return true;
}

// Puts the old contents back when that is proven safe. Returns why it was
// not, empty when the file holds a whole save's contents (again).
std::string settle(const Record& r, const std::string& target, bool& restored) {
    const Descriptor fd(::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) return systemReason(errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return systemReason(errno);
    if (!S_ISREG(info.st_mode)) return "het is " + kindOf(info.st_mode);
    if (info.st_dev != r.device || info.st_ino != r.inode) return "er staat nu een ander bestand";
    if (static_cast<std::size_t>(info.st_size) > std::max(r.old.size(), r.next.size()))
        return "het is sindsdien veranderd";
    std::string now;
    if (const int error = readWhole(fd.get(), now)) return systemReason(error);
    if (now == r.old || now == r.next) return {};
    if (!isInterruptedShape(now, r)) return "het is sindsdien veranderd";
    int error = writeAll(fd.get(), r.old, 0);
    if (!error && (::ftruncate(fd.get(), static_cast<off_t>(r.old.size())) != 0 || ::fsync(fd.get()) != 0)) error = errno;
    if (error) return "terugzetten mislukte: " + systemReason(error);
    restored = true;
    return {};
}

void dropRecordFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0) (void)syncFolder(folderOf(path));
}

// The file is the operator's now: it stays, the old contents are kept beside
// it (or in the state folder where its folder refuses them), told once.
void keepAside(const Record& r, const std::string& target, const std::string& why, const std::string& path,
               Reporter& reporter) {
    const std::string name = target.substr(target.rfind('/') + 1);
    std::string kept = keepCopy(folderOf(target), name, r.old);
    if (kept.empty()) kept = keepCopy(folderOf(path), name, r.old);
    if (kept.empty()) {
        reporter.message(target + " is na een onderbroken opslaan niet teruggezet (" + why +
                         "); de inhoud van vóór dat opslaan blijft bewaard in " + path);
        return;
    }
    dropRecordFile(path);
    reporter.message(target + " is na een onderbroken opslaan niet teruggezet (" + why +
                     "): het blijft zoals het is. De inhoud van vóór dat opslaan staat in " + kept);
}

void finishOne(const std::string& path, const struct stat& root, Reporter& reporter) {
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || !isOwn(info)) return;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return;  // its save still runs
    std::string bytes;
    const bool readable = static_cast<std::size_t>(info.st_size) <= kMaxRecordBytes && readWhole(fd.get(), bytes) == 0;
    const std::optional<Record> record = readable ? decode(bytes) : std::nullopt;
    if (!record) {
        // Kept for whoever wants to look, under a name that is not read again.
        (void)::rename(path.c_str(), (path + ".damaged").c_str());
        reporter.message("Cannot use " + path + " to restore a file after an interrupted save: it is damaged (kept as " +
                         path + ".damaged)");
        return;
    }
    // Another layout's record waits for a start there; this one's is known by its path or its identity.
    const bool thisLayout = record->layout == layoutFolder ||
                            (record->layoutDevice == root.st_dev && record->layoutInode == root.st_ino);
    if (!thisLayout) return;
    const std::string target = layoutFolder + "/" + record->relative;
    bool restored = false;
    if (const std::string why = settle(*record, target, restored); !why.empty())
        return keepAside(*record, target, why, path, reporter);
    dropRecordFile(path);
    if (restored)
        reporter.message(target +
                         " was restored: the program was stopped while saving it, and it holds its contents from "
                         "before that save again");
}

}  // namespace

void setLayoutFolder(const std::string& root) {
    const std::string real = canonicalPath(root);
    layoutFolder = real.empty() ? root : real;
}

void RewriteRecord::drop() {
    dropRecordFile(path_);
    fd_.close();
}

std::unique_ptr<RewriteRecord> keepOldContents(int fd, const std::string& target, std::string_view old,
                                               std::string_view next, const std::string& name) {
    Record contents{layoutFolder, 0, 0, {}, 0, 0, std::string(old), std::string(next)};
    if (const std::string refusal = refusalOf(fd, target, contents.relative); !refusal.empty())
        throw OperationError("Cannot save " + name + ": its folder refuses new files, and it is not rewritten in place (" +
                             refusal + ")");
    struct stat file {}, root {};
    if (::fstat(fd, &file) != 0 || ::stat(layoutFolder.c_str(), &root) != 0)
        throw OperationError("Cannot save " + name + ": " + systemReason(errno));
    contents.device = file.st_dev;
    contents.inode = file.st_ino;
    contents.layoutDevice = root.st_dev;
    contents.layoutInode = root.st_ino;

    const std::string folder = stateFolder();
    const auto failed = [&](const std::string& reason) {
        return OperationError("Cannot save " + name + ": no copy of its contents could be kept in " + folder + " (" +
                              reason + ")");
    };
    if (const int error = makeFolders(folder)) throw failed(systemReason(error));
    if (!isOwnFolder(folder)) throw failed("the folder is not this user's own");
    // One name per file and process: a dead program's record of the same file is never replaced.
    std::string record = folder + "/" + std::string(kRecordPrefix) + hex(checksumOf(target)) + "-" +
                         std::to_string(::getpid());
    for (struct stat there {}; ::lstat(record.c_str(), &there) == 0;) record += "x";
    int locked = -1;
    const RenameOutcome outcome = replaceByRename(record, encode(contents), [](int f) { (void)::fchmod(f, 0600); }, &locked);
    if (outcome.error) throw failed(systemReason(outcome.error));
    return std::make_unique<RewriteRecord>(record, locked);
}

void finishInterruptedRewrites(Reporter& reporter) {
    const std::string folder = stateFolder();
    struct stat root {};
    if (!isOwnFolder(folder)) return;  // what lies there may not be ours
    removeLeftoversIn(folder);
    if (layoutFolder.empty() || ::stat(layoutFolder.c_str(), &root) != 0) return;
    DIR* listing = ::opendir(folder.c_str());
    if (!listing) return;
    std::vector<std::string> records;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.rfind(kRecordPrefix, 0) == 0 && name.find('.') == std::string::npos)
            records.push_back(folder + "/" + name);
    }
    ::closedir(listing);
    for (const std::string& record : records) finishOne(record, root, reporter);
}

}  // namespace blokpost
