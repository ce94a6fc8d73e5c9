#pragma once
// `blokpost --controle`: checks every schedule variant of the installation
// folder against both timetable books, with the drawings of the layout store
// and the pin names and addresses, and prints each finding as one line:
//   variant <TAB> book <TAB> level <TAB> line <TAB> step <TAB> text
// It needs no display: nothing here touches a window or a picture.

#include <QString>
#include <iosfwd>

namespace blokpost {

// The check of the installation in `root`, printed to `out`; the exit code
// (1 when any fout was found or a file could not be read, else 0).
int RunControle(const QString& root, std::ostream& out);

}  // namespace blokpost
