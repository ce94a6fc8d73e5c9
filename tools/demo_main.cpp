// blokpost-demo <installation folder>: writes the demo's schedules, layout
// store, pin names and addresses and timetable books where they are missing.

#include "demo_installation.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: blokpost-demo <installation folder>\n";
        return 2;
    }
    int written = 0;
    const QStringList failed = blokpost::demo::writeMissingDemoFiles(QString::fromLocal8Bit(argv[1]), &written);
    for (const QString& problem : failed) err << "blokpost-demo: " << problem << '\n';
    QTextStream(stdout) << "blokpost-demo: " << written << " demo files written\n";
    return failed.isEmpty() ? 0 : 1;
}
