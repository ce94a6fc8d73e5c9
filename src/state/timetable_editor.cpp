#include "state/timetable_editor.h"

namespace blokpost {

TimetableEditor::TimetableEditor() {
    for (int r = 1; r <= kLines; ++r) row[r].Perron = r;
}

}  // namespace blokpost
