#include "artwork.h"

#include "base/paths.h"

#include <QDir>
#include <QFileInfo>

namespace blokpost::artwork {

std::vector<PictureFile> installationPictures() {
    std::vector<PictureFile> files;
    auto add = [&](std::string relative, std::function<QImage()> paint) {
        files.push_back({std::move(relative), std::move(paint)});
    };
    add("Tekeningen/Spoortekening.bmp", trackPlan);
    for (int pin = 1; pin <= 126; ++pin)
        add("Tekeningen/Tek" + std::to_string(pin) + ".bmp", [pin] { return pinDrawing(pin); });
    add("Tekeningen/Blanco.bmp", blankDrawing);
    for (int sensor = 1; sensor <= 20; ++sensor)
        for (bool active : {true, false})
            add("Tekeningen/Sen" + std::to_string(sensor) + (active ? "H" : "L") + ".bmp",
                [sensor, active] { return sensorDrawing(sensor, active); });
    for (const std::string& icon : kInstructionIcons)
        add("VasteData/" + icon, [icon] { return instructionIcon(icon); });
    add("VasteData/Wie.bmp", selectionPicture);
    add("VasteData/Wijzerplaat1.bmp", [] { return meterDial(1); });
    add("VasteData/Wijzerplaat2.bmp", [] { return meterDial(2); });
    add("VasteData/Bord.bmp", departureBoard);
    add("VasteData/klok.bmp", clockFace);
    const char* variants[] = {"Normaledienst", "Weekenddienst", "Zomerdienst", "Winterdienst"};
    for (int v = 1; v <= 4; ++v)
        add(std::string("VasteData/") + variants[v - 1] + ".bmp", [v] { return variantPicture(v); });
    add("VasteData/Lijn.bmp", lineButtonPreview);
    return files;
}

QStringList writeMissingPictures(const QString& root, int* written) {
    const DataPaths paths(root);
    QStringList failures;
    int count = 0;
    for (const PictureFile& file : installationPictures()) {
        // An existing folder is found in whatever case the operator spelled it.
        if (QFileInfo::exists(paths.find(file.relative))) continue;
        const QString target = paths.forWriting(file.relative);
        if (file.paint().save(target, "BMP"))
            ++count;
        else
            failures << target;
    }
    if (written) *written = count;
    return failures;
}

QStringList writePhotographs(const QString& folder) {
    QDir().mkpath(folder);
    const std::pair<const char*, QImage (*)()> photographs[] = {
        {"station.jpg", stationPhotograph}, {"train.jpg", trainPhotograph}, {"timetable.jpg", timetablePhotograph}};
    QStringList failures;
    for (const auto& [name, paint] : photographs) {
        const QString target = QDir(folder).filePath(QString::fromLatin1(name));
        if (!paint().save(target, "JPG", 88)) failures << target;
    }
    return failures;
}

}  // namespace blokpost::artwork
