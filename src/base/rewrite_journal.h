#pragma once
// The way back for a file rewritten in place (where its folder refuses new
// files). Before the first byte is overwritten, the file's old and new
// contents are kept whole in a record in the program's state folder, with the
// file's place in its layout folder and the identity of both; the record is
// held locked while the save runs and goes once the rewrite is on the disk.
//
// A record found at start whose writer is gone means the program was stopped
// in the middle. The file is put back only when that is proven safe: it is
// still the same file (device and inode) and every byte is what a stopped
// rewrite of that record leaves (the new or the old byte of its place, or a
// zero past the old end, at one of the lengths the rewrite passes through).
// Anything else is the operator's: the file stays, the old contents are kept
// beside it under a name that says what they are, and the operator is told
// once. Records are the running user's own, in a folder only they may write,
// and no larger than two data files.

#include "base/file_steps.h"

#include <memory>
#include <string>
#include <string_view>

namespace blokpost {

class Reporter;

// The layout folder whose files may be rewritten in place; the start names it.
void setLayoutFolder(const std::string& root);

// A record kept while its file is rewritten; its lock tells a start that the
// save still runs. Dropped once the rewrite is on the disk; left behind when
// the file could not be put back, for the next start.
class RewriteRecord {
public:
    RewriteRecord(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    void drop();

private:
    std::string path_;
    Descriptor fd_;
};

// Keeps `old` (what the regular file `target`, open on `fd`, holds now) before
// it is rewritten with `next`. Throws OperationError naming `name` and the
// reason when the file may not be rewritten in place (outside the layout
// folder, larger than a data file, on no ordinary file system) or the record
// cannot be written: the file must then stay untouched.
std::unique_ptr<RewriteRecord> keepOldContents(int fd, const std::string& target, std::string_view old,
                                               std::string_view next, const std::string& name);

// At start: settles every record of the layout folder whose writer is gone,
// telling the operator once of every file put back or kept aside.
void finishInterruptedRewrites(Reporter& reporter);

}  // namespace blokpost
