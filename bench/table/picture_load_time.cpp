#include "picture_load_time.h"

#include "base/picture_load_watch.h"

#include <chrono>

namespace blokpost {
namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point loadStarted;
std::int64_t loadNanoseconds = 0;

}  // namespace

void pictureLoadStarts() { loadStarted = Clock::now(); }

void pictureLoadEnds() {
    loadNanoseconds += std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - loadStarted).count();
}

std::int64_t pictureLoadNanoseconds() { return loadNanoseconds; }

}  // namespace blokpost
