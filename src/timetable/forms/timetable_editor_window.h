#pragma once
// Maak spoorboekje: the timetable editor and its two books.

#include "app/forms/window.h"

namespace blokpost {

class TForm18 : public Window {
public:
    explicit TForm18(BlokpostApp& app);
    void sync() override;
};

}  // namespace blokpost
