// Blokpost: automates a model railway layout through a K8055 USB board.
// All paths are relative to the layout folder, which the program works in.

#include "app/controle_command.h"
#include "app/forms/blokpost_app.h"
#include "app/forms/command_line.h"
#include "app/forms/program_start.h"
#include "app/start_folder.h"
#include "base/forms/guarded_application.h"

#include <QDir>
#include <QFileInfo>
#include <iostream>

int main(int argc, char** argv) {
    // The options are read before anything is made: a mistyped start makes nothing.
    const blokpost::CommandLine command = blokpost::readCommandLine(argc, argv, std::cout, std::cerr);
    if (command.exitCode) return *command.exitCode;
    const blokpost::StartFolder folder = blokpost::chooseStartFolder(command.folder);
    // The check only reads, needs no display and never lays anything out.
    if (command.controle && (!folder.problem.isEmpty() || !QFileInfo(folder.path).isDir())) {
        const QString problem = folder.problem.isEmpty() ? QStringLiteral("De map '%1' bestaat niet.").arg(folder.path) : folder.problem;
        std::cerr << "blokpost: " << problem.toStdString() << '\n';
        return 1;
    }
    if (command.controle) return blokpost::RunControle(folder.path, std::cout);

    blokpost::settleRuntimeFolder();
    blokpost::guardPlatformStart();
    blokpost::GuardedApplication application(argc, argv);
    blokpost::platformStarted();
    blokpost::identifyToDesktop();
    const QString problem = folder.problem.isEmpty()
        ? blokpost::prepareStartFolder(folder.path, blokpost::demoToolsFolder(QCoreApplication::applicationDirPath()))
        : folder.problem;
    if (!problem.isEmpty() || !QDir::setCurrent(folder.path)) {
        blokpost::showStartProblem(problem.isEmpty() ? QStringLiteral("De map '%1' kan niet worden geopend.").arg(folder.path) : problem);
        return 1;
    }
    blokpost::BlokpostApp blokpost(QDir::currentPath());
    blokpost.start();
    if (command.trialCycles > 0) blokpost::endAfterCycles(blokpost, command.trialCycles);
    return QApplication::exec();
}
