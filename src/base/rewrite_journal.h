#pragma once
// The way back for a file rewritten in place (where its folder refuses new
// files). Before the first byte is overwritten, the file's old contents are
// kept whole in a record in the program's state folder, with their length and
// checksum and those of the new contents; the record's presence says that the
// file is being rewritten, and it goes once the rewrite is on the disk. A
// record found at start means the program was stopped in the middle: the file
// is put back as it was, or kept when it already holds the new contents whole.

#include <string>
#include <string_view>

namespace blokpost {

class Reporter;

// Keeps `old` (what `target` holds now) before it is rewritten with `next`;
// returns the record's path. Throws OperationError naming `name` and the
// reason when the record cannot be written: the file must then stay untouched.
std::string keepOldContents(const std::string& target, std::string_view old, std::string_view next,
                            const std::string& name);

// The rewrite is on the disk: its record goes.
void dropRecord(const std::string& record);

// At start: finishes every rewrite that was stopped, telling the operator
// once for every file that was put back, and removes the records' leftovers.
void finishInterruptedRewrites(Reporter& reporter);

}  // namespace blokpost
