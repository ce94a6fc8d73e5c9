#include "base/temporary_files.h"

#include "base/file_steps.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace blokpost {

namespace {

constexpr std::string_view kSuffix = ".new";
constexpr std::size_t kMaxDigits = 6;

bool samePlace(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// True while `path` still names the file open on `fd`.
bool stillNamed(const std::string& path, int fd) {
    struct stat named {};
    struct stat open {};
    return ::lstat(path.c_str(), &named) == 0 && ::fstat(fd, &open) == 0 && samePlace(named, open);
}

// Removes `path` when it is a regular file nobody holds locked.
bool removeIfWriterGone(const std::string& path) {
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;  // its writer still runs
    // Held locked while it goes, so no writer can have taken the name meanwhile.
    return stillNamed(path, fd.get()) && ::unlink(path.c_str()) == 0;
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TemporaryFile createTemporaryBeside(const std::string& target) {
    static std::minstd_rand names(static_cast<unsigned>(::getpid()) ^ std::random_device{}());
    TemporaryFile temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.path = target + "." + std::to_string(names() % 1000000) + std::string(kSuffix);
        const int fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            temp.error = errno;
            return temp;
        }
        // Another start may have taken it for a leftover between open and lock.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && stillNamed(temp.path, fd)) {
            temp.fd = fd;
            return temp;
        }
        ::close(fd);
    }
    temp.error = EEXIST;
    return temp;
}

bool isTemporaryName(const std::string& name) {
    if (name.size() <= kSuffix.size() || name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        return false;
    const std::string stem = name.substr(0, name.size() - kSuffix.size());
    const std::size_t dot = stem.rfind('.');
    if (dot == std::string::npos || dot == 0) return false;
    const std::string digits = stem.substr(dot + 1);
    if (digits.empty() || digits.size() > kMaxDigits) return false;
    return digits.find_first_not_of("0123456789") == std::string::npos;
}

namespace {

// Removes the leftovers in `folder` whose names `ours` accepts.
template <typename Ours>
int removeLeftovers(const std::string& folder, Ours ours) {
    // Never through a link: the leftovers are looked for where the program saves, nowhere else.
    if (canonicalPath(folder) != folder) return 0;
    DIR* listing = ::opendir(folder.c_str());
    if (!listing) return 0;
    std::vector<std::string> found;
    while (const dirent* entry = ::readdir(listing))
        if (const std::string name = entry->d_name; isTemporaryName(name) && ours(name))
            found.push_back(folder + "/" + name);
    ::closedir(listing);
    int removed = 0;
    for (const std::string& path : found) removed += removeIfWriterGone(path) ? 1 : 0;
    if (removed > 0) (void)syncFolder(folder);
    return removed;
}

}  // namespace

void removeLeftoversOf(const std::string& target) {
    // "<file>.<digits>.new" of this file only: the next dot after its name is the suffix's.
    const std::string prefix = baseName(target) + ".";
    removeLeftovers(folderOf(target), [&](const std::string& name) {
        return name.rfind(prefix, 0) == 0 && name.find('.', prefix.size()) == name.size() - kSuffix.size();
    });
}

RenameOutcome replaceByRename(const std::string& target, std::string_view bytes, const std::function<void(int fd)>& prepare,
                              int* keepLocked) {
    const TemporaryFile temp = createTemporaryBeside(target);
    if (temp.fd < 0) return {temp.error, false};
    Descriptor fd(temp.fd);
    int error = writeAll(fd.get(), bytes, 0);
    if (!error) {
        prepare(fd.get());
        if (::fsync(fd.get()) != 0) error = errno;
    }
    // Closed only after the rename, so the lock marks the file as in use until then.
    if (!error && ::rename(temp.path.c_str(), target.c_str()) != 0) error = errno;
    if (!error && keepLocked) {
        (void)syncFolder(folderOf(target));
        *keepLocked = ::dup(fd.get());  // the lock goes with the open file, not the number
        return {*keepLocked < 0 ? errno : 0, true};
    }
    if (fd.close() != 0 && !error) error = errno;
    if (error) {
        // The reason is taken before the file is removed, which may set errno anew.
        ::unlink(temp.path.c_str());
        return {error, true};
    }
    // Some file systems cannot sync a folder; the file itself is on the disk.
    (void)syncFolder(folderOf(target));
    return {0, true};
}

int removeLeftoversIn(const std::string& folder) {
    return removeLeftovers(folder, [](const std::string&) { return true; });
}

}  // namespace blokpost
