#include "schedule/forms/rijschema_window.h"

#include "app/forms/blokpost_app.h"

namespace blokpost {

TForm4::TForm4(BlokpostApp& app)
    : Window(app, QStringLiteral("Rijschema"), 1835, 855, Frame::FixedDialog) {}

void TForm4::sync() {}

}  // namespace blokpost
