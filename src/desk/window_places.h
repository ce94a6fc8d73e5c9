#pragma once
// The places the operator left the windows in, kept per installation in
// "VasteData/Vensters.ini": one line per moved window, the top-left corner of
// its frame on the desktop, for example "Form4=83,204" under "[Vensters]".
// Windows that were never moved keep their designed places and are not listed.

#include <QPoint>
#include <QString>
#include <map>
#include <string>
#include <vector>

namespace blokpost {

// The file, relative to the layout folder.
inline constexpr const char* kWindowPlacesFile = "VasteData/Vensters.ini";

using WindowPlaces = std::map<int, QPoint>;  // form number -> frame's top-left corner

// The places in the file's text. Lines it cannot use (another section, an
// unknown window, a damaged value) are passed over: those windows take their
// designed places.
WindowPlaces parseWindowPlaces(const std::string& text);
// The file's lines, in the order they are written.
std::vector<std::string> windowPlaceLines(const WindowPlaces& places);

// A missing, unreadable or oversized file gives no places, without a message.
WindowPlaces readWindowPlaces(const QString& path);
// Replaces the file in one step; throws OperationError when it cannot be written.
void writeWindowPlaces(const QString& path, const WindowPlaces& places);

}  // namespace blokpost
