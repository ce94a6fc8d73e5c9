#pragma once
// The files a save writes beside the file it replaces, named
// "<file>.<digits>.new". A save that is killed leaves its file behind; these
// leftovers are removed at start and beside a file before it is saved.
//
// Whether the writer is gone is told by a lock, not by a process number:
// the writer holds flock() on its file from the moment it exists until the
// save ends, and the kernel drops the lock when the writer dies however it
// dies. A process number can be reused by an unrelated process after a crash
// and would keep a leftover forever; a lock cannot outlive its holder.

#include <functional>
#include <string>
#include <string_view>

namespace blokpost {

struct TemporaryFile {
    std::string path;
    int fd = -1;     // open for writing and locked; the caller closes it
    int error = 0;   // why no file could be made, when fd < 0
};

// A new, locked file beside `target`, readable by nobody else while it fills.
TemporaryFile createTemporaryBeside(const std::string& target);

// True for a name of our own making: "<file>.<1 to 6 digits>.new".
bool isTemporaryName(const std::string& name);

// Removes the leftovers of `target` (its temporary files whose writer is gone).
void removeLeftoversOf(const std::string& target);

// Removes every leftover in `folder`; returns how many were removed. Files
// of any other name, temporary files whose writer still runs, and anything
// in a folder reached through a symbolic link, stay.
int removeLeftoversIn(const std::string& folder);

}  // namespace blokpost

namespace blokpost {

struct RenameOutcome {
    int error = 0;             // 0 when `target` holds the new bytes, synced
    bool madeBeside = true;    // false when the folder refused the temporary file
};

// Writes `bytes` to a temporary file beside `target`, lets `prepare` set it up
// (owner, mode), has the disk take it, renames it over `target` and syncs the
// folder. A failure leaves `target` as it was and nothing beside it. With
// `keepLocked`, the file stays open and locked under its new name and its
// descriptor is handed over there.
RenameOutcome replaceByRename(const std::string& target, std::string_view bytes, const std::function<void(int fd)>& prepare,
                              int* keepLocked = nullptr);

}  // namespace blokpost
