#pragma once
// The file system's side of the stored files. Operators carry their data
// folders on USB sticks and full laptop disks and copy them between machines,
// so a data file may turn out to be anything: a folder, a FIFO, a link to a
// device, a file of gigabytes. Reading takes only what a regular file holds,
// up to a limit, and never waits; saving replaces a file only once every byte
// of the new contents is on the disk.

#include <QString>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace blokpost {

class Reporter;

struct StoredBytes {
    std::string bytes;  // at most the limit asked for
    bool cutShort = false;  // the file held more than the limit
};

// The first `limit` bytes of a regular file (followed through links). Anything
// else is refused without being opened for long: nothing here can block.
// Throws OperationError: "File not found" for a missing file or a dangling
// link, "File access denied", or what the path is when it is no file.
StoredBytes readStoredFile(const QString& path, std::size_t limit);

// True for a regular file (followed through links). A picture is opened only
// then: opening a FIFO would wait for a writer and stop the cycle.
bool isRegularFile(const QString& path);

// Replaces the file with `bytes`: written beside it, flushed to the disk and
// renamed over it, keeping its owner and permission bits; leftovers of
// earlier saves of this file that were killed are removed first. A save that
// fails leaves the old file as it was and nothing beside it, and throws
// OperationError with the operating system's reason. A read-only file is
// refused, also for root. Where the folder refuses a new file but the file
// itself is writable, the file is rewritten in place (see rewrite_journal.h).
void replaceStoredFile(const QString& path, std::string_view bytes);

// A file larger than the process may write raises SIGXFSZ, which would end
// the program; ignored, the write fails with EFBIG and is reported instead.
void ignoreFileSizeSignal();

// What the program does at start in the layout folder `root` before any file
// is touched: SIGXFSZ is ignored, the layout folder is named for the rewrites
// in place, a rewrite that was stopped halfway is settled (see
// rewrite_journal.h), and the leftovers of the saves of `savedFiles` (paths
// relative to `root`, the files the program saves) are removed; nothing else.
void prepareStoredFiles(const QString& root, const std::vector<std::string>& savedFiles, Reporter& reporter);

}  // namespace blokpost
