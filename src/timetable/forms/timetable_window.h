#pragma once
// Spoorboekje: the departures of the coming hour.

#include "app/forms/window.h"

namespace blokpost {

class TForm17 : public Window {
public:
    explicit TForm17(BlokpostApp& app);
    void sync() override;
};

}  // namespace blokpost
