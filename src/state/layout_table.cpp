#include "state/layout_table.h"

namespace blokpost {

LayoutTable defaultLayoutTable() {
    LayoutTable t;
    for (int i = 0; i < kFirstSensorElement; ++i) {
        t.LayoutX[i] = 40 + 120 * (i / 10);
        t.LayoutY[i] = 40 + 48 * (i % 10);
    }
    t.LayoutY[53] = 182;  // stored this way by every installation; the control itself stands at 184
    for (int i = kFirstSensorElement; i < kFirstLineButtonElement; ++i) {
        const int j = i - kFirstSensorElement;
        t.LayoutX[i] = 880 + 120 * (j / 10);
        t.LayoutY[i] = 184 + 48 * (j % 10);
    }
    t.LayoutX[83] = 48;
    t.LayoutY[83] = 525;  // the button itself stands at 528
    t.LayoutVisible[83] = 1;
    for (int i = 84; i < kLayoutElements; ++i) {
        t.LayoutX[i] = 48;
        t.LayoutY[i] = 560 + 32 * (i - 84);
    }
    return t;
}

}  // namespace blokpost
