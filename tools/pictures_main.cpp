// blokpost-pictures INSTALLATION-FOLDER
//   writes the pictures the installation reads, where they are missing.
// blokpost-pictures --photographs FOLDER
//   paints the three photographs the windows show, as JPEG files.
// blokpost-pictures --icons THEME-FOLDER
//   paints the menu icon into THEME-FOLDER/NxN/apps/blokpost.png.

#include "artwork/artwork.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    using namespace blokpost::artwork;
    if (arguments.size() == 3 && (arguments[1] == QLatin1String("--photographs") || arguments[1] == QLatin1String("--icons"))) {
        const QStringList failures = arguments[1] == QLatin1String("--icons") ? writeApplicationIcons(arguments[2])
                                                                              : writePhotographs(arguments[2]);
        for (const QString& file : failures) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return failures.isEmpty() ? 0 : 1;
    }
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: blokpost-pictures INSTALLATION-FOLDER | --photographs FOLDER | --icons THEME-FOLDER\n");
        return 2;
    }
    int written = 0;
    const QStringList failures = writeMissingPictures(arguments[1], &written);
    for (const QString& file : failures) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    std::printf("blokpost-pictures: %d pictures written\n", written);
    return failures.isEmpty() ? 0 : 1;
}
