#include "base/rewrite_journal.h"

#include "base/file_steps.h"
#include "base/reporter.h"
#include "base/temporary_files.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace blokpost {

namespace {

constexpr std::string_view kRecordPrefix = "rewrite-";
constexpr std::string_view kHeader = "blokpost rewrite 1\n";

// What one record holds; see encode() for its layout.
struct Record {
    std::string target;
    std::string old;
    std::uint64_t newLength = 0;
    std::uint64_t newChecksum = 0;
};

std::string hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

// The header line, the target's path with its length before it, the old
// contents' length and checksum, the new contents' length and checksum, and
// then the old contents themselves.
std::string encode(const Record& record) {
    return std::string(kHeader) + std::to_string(record.target.size()) + "\n" + record.target + "\n" +
           std::to_string(record.old.size()) + " " + hex(checksumOf(record.old)) + "\n" +
           std::to_string(record.newLength) + " " + hex(record.newChecksum) + "\n" + record.old;
}

// Reads "<number> " or "<number>\n" at `at` in base `base`; moves past it.
std::optional<std::uint64_t> number(const std::string& text, std::size_t& at, int base, char end) {
    const std::size_t stop = text.find(end, at);
    if (stop == std::string::npos || stop == at || stop - at > 20) return std::nullopt;
    const std::string digits = text.substr(at, stop - at);
    if (digits.find_first_not_of(base == 16 ? "0123456789abcdef" : "0123456789") != std::string::npos)
        return std::nullopt;
    at = stop + 1;
    return std::strtoull(digits.c_str(), nullptr, base);
}

std::optional<Record> decode(const std::string& bytes) {
    if (bytes.rfind(kHeader, 0) != 0) return std::nullopt;
    std::size_t at = kHeader.size();
    Record record;
    const auto targetLength = number(bytes, at, 10, '\n');
    if (!targetLength || *targetLength > bytes.size() - at) return std::nullopt;
    record.target = bytes.substr(at, *targetLength);
    at += *targetLength + 1;
    const auto oldLength = number(bytes, at, 10, ' ');
    const auto oldChecksum = number(bytes, at, 16, '\n');
    const auto newLength = number(bytes, at, 10, ' ');
    const auto newChecksum = number(bytes, at, 16, '\n');
    if (!oldLength || !oldChecksum || !newLength || !newChecksum || at > bytes.size()) return std::nullopt;
    record.old = bytes.substr(at);
    if (record.old.size() != *oldLength || checksumOf(record.old) != *oldChecksum) return std::nullopt;
    record.newLength = *newLength;
    record.newChecksum = *newChecksum;
    return record;
}

// The folder and the ones above it, made for this user only where missing,
// each synced, so the record kept in it survives a power cut.
int makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        if (const int error = makeFolderIfMissing(folder.substr(0, slash), 0700)) return error;
        if (slash == std::string::npos) return 0;
    }
}

// Puts the record's old contents back unless the file holds the new ones
// whole. Returns 0 or the errno; `restored` tells whether a byte changed.
int settle(const Record& record, bool& restored) {
    const Descriptor fd(::open(record.target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) return errno;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return errno;
    if (!S_ISREG(info.st_mode)) return EINVAL;
    std::string now;
    if (const int error = readWhole(fd.get(), now)) return error;
    restored = false;
    if (now == record.old || (now.size() == record.newLength && checksumOf(now) == record.newChecksum)) return 0;
    if (const int error = writeAll(fd.get(), record.old, 0)) return error;
    if (::ftruncate(fd.get(), static_cast<off_t>(record.old.size())) != 0 || ::fsync(fd.get()) != 0) return errno;
    restored = true;
    return 0;
}

void finishOne(const std::string& path, Reporter& reporter) {
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
    std::string bytes;
    const std::optional<Record> record = fd.valid() && readWhole(fd.get(), bytes) == 0 ? decode(bytes) : std::nullopt;
    if (!record) {
        // Kept for whoever wants to look, under a name that is not read again.
        (void)::rename(path.c_str(), (path + ".damaged").c_str());
        reporter.message("Cannot use " + path + " to restore a file after an interrupted save: it is damaged");
        return;
    }
    bool restored = false;
    if (const int error = settle(*record, restored)) {
        reporter.message("Cannot restore " + record->target + " after an interrupted save (" + systemReason(error) +
                         "); its earlier contents are kept in " + path);
        return;
    }
    dropRecord(path);
    if (restored)
        reporter.message(record->target +
                         " was restored: the program was stopped while saving it, and it holds its contents from "
                         "before that save again");
}

// $XDG_STATE_HOME/blokpost, else ~/.local/state/blokpost.
std::string stateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/blokpost";
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] == '/' ? home : "") + "/.local/state/blokpost";
}

}  // namespace

std::string keepOldContents(const std::string& target, std::string_view old, std::string_view next,
                            const std::string& name) {
    const std::string folder = stateFolder();
    const std::string record = folder + "/" + std::string(kRecordPrefix) + hex(checksumOf(target));
    const auto failed = [&](int error) {
        return OperationError("Cannot save " + name + ": no copy of its contents could be kept in " + folder + " (" +
                              systemReason(error) + ")");
    };
    if (const int error = makeFolders(folder)) throw failed(error);
    const Record contents{target, std::string(old), next.size(), checksumOf(next)};
    const RenameOutcome outcome = replaceByRename(record, encode(contents), [](int fd) { (void)::fchmod(fd, 0600); });
    if (outcome.error) throw failed(outcome.error);
    return record;
}

void dropRecord(const std::string& record) {
    if (::unlink(record.c_str()) == 0) (void)syncFolder(folderOf(record));
}

void finishInterruptedRewrites(Reporter& reporter) {
    const std::string folder = stateFolder();
    removeLeftoversIn(folder);
    DIR* listing = ::opendir(folder.c_str());
    if (!listing) return;
    std::vector<std::string> records;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.rfind(kRecordPrefix, 0) == 0 && name.size() == kRecordPrefix.size() + 16)
            records.push_back(folder + "/" + name);
    }
    ::closedir(listing);
    for (const std::string& record : records) finishOne(record, reporter);
}

}  // namespace blokpost
