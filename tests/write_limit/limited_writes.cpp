#include "write_limit/limited_writes.h"

#include "base/stored_write_limit.h"

namespace blokpost {

namespace {
std::optional<std::size_t> limit;
}  // namespace

std::optional<std::size_t> storedWriteLimit() { return limit; }

ScopedWriteFailure::ScopedWriteFailure(std::size_t bytes) { limit = bytes; }

ScopedWriteFailure::~ScopedWriteFailure() { limit.reset(); }

}  // namespace blokpost
