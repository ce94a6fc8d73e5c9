#pragma once
// Make Ligics: the instruction palette.

#include "app/forms/window.h"

namespace blokpost {

class TForm5 : public Window {
public:
    explicit TForm5(BlokpostApp& app);
    void sync() override;
};

}  // namespace blokpost
