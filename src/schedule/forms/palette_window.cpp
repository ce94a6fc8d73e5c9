#include "schedule/forms/palette_window.h"

#include "app/forms/blokpost_app.h"

namespace blokpost {

TForm5::TForm5(BlokpostApp& app)
    : Window(app, QStringLiteral("Make Ligics"), 933, 215, Frame::FixedDialog) {}

void TForm5::sync() {}

}  // namespace blokpost
