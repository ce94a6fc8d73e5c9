#pragma once
// How many bytes one write of a stored file may put down before the disk is
// full. The program's answer is "no limit"; the test programs link their own
// answer in its place to act out a full disk, so the program pays nothing.

#include <cstddef>
#include <optional>

namespace blokpost {

std::optional<std::size_t> storedWriteLimit();

}  // namespace blokpost
