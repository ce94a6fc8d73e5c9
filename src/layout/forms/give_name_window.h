#pragma once
// Give a Name: pin names and addresses.

#include "app/forms/window.h"

namespace blokpost {

class TForm19 : public Window {
public:
    explicit TForm19(BlokpostApp& app);
    void sync() override;
};

}  // namespace blokpost
