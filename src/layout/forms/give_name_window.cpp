#include "layout/forms/give_name_window.h"

#include "app/forms/blokpost_app.h"

namespace blokpost {

TForm19::TForm19(BlokpostApp& app)
    : Window(app, QStringLiteral("Give a Name"), 846, 618, Frame::FixedDialog) {}

void TForm19::sync() {}

}  // namespace blokpost
