#pragma once
// The demo installation: a small layout ready to run on the simulated board.
// Four schedule variants whose line programs drive the track plan's trains,
// a layout store that places the drawings and line buttons over the track
// plan, pin names and addresses, and two timetable books.
//
// The layout (see the track plan): a loop with the stations Hoogveen (three
// tracks, bottom) and Dijkstad (a passing loop, top), a branch from Hoogveen
// track 3 to the terminus Zandhaven, and a goods yard on the left.
//   Line A  Stoptrein   Hoogveen 1 -> Dijkstad 1 -> Hoogveen 1, stopping; timetabled
//   Line B  Pendel      shuttle Hoogveen 3 <-> Zandhaven 1, after each stoptrein
//   Line C  Sneltrein   Hoogveen 2 through Dijkstad 2 and back, overtaking the
//                       stoptrein in Dijkstad; timetabled
//   Line D  Rangeerloc  shunts the goods yard after each shuttle trip
// Trains stop at red signals; a signal turned green lets the train go.
// Memory 1: the stoptrein is in at Hoogveen (the shuttle's connection).
// Memory 2: the shuttle is back at Hoogveen (the yard may shunt).
// Memory 3: the stoptrein stands in Dijkstad (the express may go).
// Memory 4: the express has passed Dijkstad (the stoptrein may go on).
// Memory 5: the express is in at Hoogveen (the stoptrein may follow).

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace blokpost::demo {

struct DemoFile {
    std::string relative;  // e.g. "VasteData/Schema1Data.txt"
    std::vector<std::string> lines;
};

// Every file of the demo with its contents.
std::vector<DemoFile> demoFiles();

// Writes the demo files that are missing below `root`; files already there
// (the operator's own) are kept. Returns the files that could not be written.
QStringList writeMissingDemoFiles(const QString& root, int* written = nullptr);

}  // namespace blokpost::demo
