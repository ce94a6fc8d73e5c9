#include "layout/forms/read_save_window.h"

#include "desk/forms/window_host.h"
#include "layout/layout_store.h"
#include "state/program_state.h"

#include <QCloseEvent>
#include <QPushButton>

namespace blokpost {

TForm3::TForm3(WindowHost& app) : Window(app, QStringLiteral("Read / Save"), 204, 84, Frame::FixedDialog) {
    struct Design {
        QPushButton** button;
        const char* caption;
        QRect geometry;
        void (*action)(ProgramState&);
    };
    const Design designs[] = {{&Button1, "Read", {16, 16, 73, 33}, &Lezen},
                              {&Button2, "Save", {112, 16, 73, 25}, &Opslaan},
                              {&Button3, "Enable", {112, 40, 73, 17}, &Vrijmaken}};
    for (const Design& d : designs) {
        auto* button = new QPushButton(QString::fromLatin1(d.caption), this);
        button->setGeometry(d.geometry);
        button->setFont(designedFont(11, true));
        connect(button, &QPushButton::clicked, this, [this, action = d.action] { handle([this, action] { action(state()); }); });
        *d.button = button;
    }
    sync();
}

void TForm3::closeEvent(QCloseEvent* event) {
    Sluiten(state());
    sync();
    Window::closeEvent(event);
}

void TForm3::sync() {
    ReadSaveView& view = state().layoutWindows.readSave;
    Button2->setEnabled(view.saveEnabled);
    Button3->setEnabled(view.enableEnabled);
    if (view.closeRequested) {
        view.closeRequested = false;
        close();
    }
}

}  // namespace blokpost
