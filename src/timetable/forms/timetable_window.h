#pragma once
// Spoorboekje: the departures of the coming hour, one line each, and the way
// to the timetable editor.

#include "desk/forms/window.h"

#include <string>
#include <vector>

class QPushButton;
class QTextEdit;

namespace blokpost {

class TForm17 : public Window {
public:
    explicit TForm17(WindowHost& app);
    void sync() override;
    // The list that "Maak spoorboekje" fills.
    QRect workArea() const override;

    QTextEdit* RichEdit1;
    QPushButton* Button1;  // "Maak spoorboekje"
    QPushButton* Button2;  // "Refrech"

private:
    std::vector<std::string> shown_;  // the list as last put into RichEdit1
};

}  // namespace blokpost
