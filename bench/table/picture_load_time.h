#pragma once
// Time spent reading picture files so far, all pictures together: linked in
// place of the program's silent watch around every picture load.

#include <cstdint>

namespace blokpost {

std::int64_t pictureLoadNanoseconds();

}  // namespace blokpost
