#pragma once
// Read / Save: the layout store.

#include "app/forms/window.h"

namespace blokpost {

class TForm3 : public Window {
public:
    explicit TForm3(BlokpostApp& app);
    void sync() override;
};

}  // namespace blokpost
