#include "base/picture_load_watch.h"

namespace blokpost {

void pictureLoadStarts() {}
void pictureLoadEnds() {}

}  // namespace blokpost
