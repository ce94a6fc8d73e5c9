#include "layout/forms/make_screen_window.h"

#include "app/forms/blokpost_app.h"

namespace blokpost {

TForm2::TForm2(BlokpostApp& app)
    : Window(app, QStringLiteral("Make Screen"), 1308, 429, Frame::FixedDialog) {}

void TForm2::sync() {}

}  // namespace blokpost
