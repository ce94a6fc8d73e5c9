#pragma once
// Around every picture read from disk. The program's answer does nothing;
// the benchmark table links its own in its place to tell the cycle's own
// work apart from the disk's, so the program pays nothing for it.

namespace blokpost {

void pictureLoadStarts();
void pictureLoadEnds();

}  // namespace blokpost
