#include "base/stored_write_limit.h"

namespace blokpost {

std::optional<std::size_t> storedWriteLimit() { return std::nullopt; }

}  // namespace blokpost
