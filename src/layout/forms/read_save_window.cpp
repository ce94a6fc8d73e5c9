#include "layout/forms/read_save_window.h"

#include "app/forms/blokpost_app.h"

namespace blokpost {

TForm3::TForm3(BlokpostApp& app)
    : Window(app, QStringLiteral("Read / Save"), 204, 84, Frame::FixedDialog) {}

void TForm3::sync() {}

}  // namespace blokpost
