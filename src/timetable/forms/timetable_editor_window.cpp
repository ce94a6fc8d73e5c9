#include "timetable/forms/timetable_editor_window.h"

#include "app/forms/blokpost_app.h"

namespace blokpost {

TForm18::TForm18(BlokpostApp& app)
    : Window(app, QStringLiteral("Maak spoorboekje"), 739, 538, Frame::FixedDialog) {}

void TForm18::sync() {}

}  // namespace blokpost
