#include "timetable/forms/timetable_window.h"

#include "app/forms/blokpost_app.h"

namespace blokpost {

TForm17::TForm17(BlokpostApp& app)
    : Window(app, QStringLiteral("Spoorboekje"), 508, 588, Frame::FixedDialog) {}

void TForm17::sync() {}

}  // namespace blokpost
