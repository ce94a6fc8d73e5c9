// Blokpost: automates a model railway layout through a K8055 USB board.
// All paths are relative to the folder the program was started in.

#include "app/forms/blokpost_app.h"
#include "app/forms/command_line.h"
#include "app/forms/guarded_application.h"

#include <QDir>

int main(int argc, char** argv) {
    const blokpost::CommandLine command = blokpost::readCommandLine(argc, argv);
    if (command.exitCode) return *command.exitCode;
    blokpost::GuardedApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Blokpost"));
    blokpost::BlokpostApp blokpost(QDir::currentPath());
    blokpost.start();
    if (command.trialCycles > 0) blokpost::endAfterCycles(blokpost, command.trialCycles);
    return QApplication::exec();
}
