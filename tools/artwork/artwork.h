#pragma once
// The installation's pictures, painted by the program itself: the track plan,
// the pin and sensor drawings, the instruction icons, dials, board, clock,
// variant pictures, and the three photographs compiled into the windows.

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace blokpost::artwork {

// Tekeningen/
QImage trackPlan();                           // 1393 x 588
QImage pinDrawing(int pin);                   // 96 x 35, pin 1..126
QImage blankDrawing();                        // 96 x 35
QImage sensorDrawing(int sensor, bool active);  // 96 x 35, sensor 1..20

// VasteData/
QImage instructionIcon(const std::string& file);  // 68 x 68, "PinMake.bmp" .. "Blanco.bmp"
QImage selectionPicture();                        // 68 x 68, "Wie.bmp"
QImage meterDial(int meter);                      // 159 x 152
QImage departureBoard();                          // 332 x 143
QImage clockFace();                               // 121 x 122
QImage variantPicture(int variant);               // 300 x 121, variant 1..4
QImage lineButtonPreview();                       // 89 x 25

// The photographs of the Rijschema window, the palette and the timetable editor.
QImage stationPhotograph();    // 512 x 233
QImage trainPhotograph();      // 640 x 80
QImage timetablePhotograph();  // 560 x 200

// The names of the nine instruction icons in the data folder.
extern const std::vector<std::string> kInstructionIcons;

struct PictureFile {
    std::string relative;  // e.g. "Tekeningen/Tek1.bmp"
    std::function<QImage()> paint;
};
// Every bitmap an installation reads, with how to paint it.
std::vector<PictureFile> installationPictures();

// Writes the installation's bitmaps that are missing below `root`; pictures
// already there (the operator's own) are kept. Returns the files that failed.
QStringList writeMissingPictures(const QString& root, int* written = nullptr);
// Writes the three photographs as JPEG files into `folder`.
QStringList writePhotographs(const QString& folder);

// The program's menu icon, square, `size` pixels wide.
QImage applicationIcon(int size);
// The sizes of the icon theme the icon is painted in.
extern const std::vector<int> kIconSizes;
// Writes the icon as `themeFolder`/NxN/apps/blokpost.png for every size.
QStringList writeApplicationIcons(const QString& themeFolder);

}  // namespace blokpost::artwork
