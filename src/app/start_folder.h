#pragma once
// The layout folder the program starts in, made ready before any window
// opens. The packaged program works in ~/Blokpost unless given a folder; the
// program built from source works in the folder it is started in. A new or
// empty folder gets the demo layout, laid out by the two tools beside the
// program; a folder with anything in it is the operator's layout and is used
// as it is: nothing is added to it (what is missing, the program's own
// messages name). Every problem comes back as one text in Dutch that says
// what happened and what to do.

#include <QString>

namespace blokpost {

struct StartFolder {
    QString path;     // the folder, when it could be chosen
    QString problem;  // else why not
};

// `given` from the command line, else the default folder.
StartFolder chooseStartFolder(const QString& given);

// Makes a missing folder and lays the demo out into a new or empty one with
// blokpost-pictures and blokpost-demo from `toolsFolder`; an empty
// `toolsFolder` lays nothing out. The problem, or empty when the folder is
// ready.
QString prepareStartFolder(const QString& folder, const QString& toolsFolder);

// The folder of the tools that lay out the demo: beside the packaged
// program; none for the program built from source (`make` lays its folder out).
QString demoToolsFolder(const QString& programFolder);

}  // namespace blokpost
