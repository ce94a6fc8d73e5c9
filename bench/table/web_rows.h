#pragma once
// make bench: what the view in the browser costs the tick with 0, 1 and 50
// pages open, and how soon a change in the program reaches the pages.

#include "bench_rows.h"

#include <vector>

namespace blokpost {
class BlokpostApp;
}

namespace blokpost::bench {

// `app` has its lines running; the view is switched on and off here.
void measureBrowserView(BlokpostApp& app, std::vector<Row>& rows);

}  // namespace blokpost::bench
