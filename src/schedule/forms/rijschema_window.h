#pragma once
// Rijschema: the schedule grid, the flag indicators and the schedule variants.

#include "app/forms/window.h"

namespace blokpost {

class TForm4 : public Window {
public:
    explicit TForm4(BlokpostApp& app);
    void sync() override;
};

}  // namespace blokpost
