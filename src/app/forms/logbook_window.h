#pragma once
// Logboek: the newest actions, newest first; read-only.

#include "desk/forms/window.h"

class QTextEdit;

namespace blokpost {

class BlokpostApp;

class TForm20 : public Window {
public:
    explicit TForm20(BlokpostApp& app);
    void sync() override;

private:
    QTextEdit* RichEdit1;
    QString shown_;
};

}  // namespace blokpost
