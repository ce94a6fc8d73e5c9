#pragma once
// Make Screen: shows, hides and places the drawings and line buttons, and names the meters.

#include "app/forms/window.h"

namespace blokpost {

class TForm2 : public Window {
public:
    explicit TForm2(BlokpostApp& app);
    void sync() override;
};

}  // namespace blokpost
