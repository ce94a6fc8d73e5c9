// Blokpost: automates a model railway layout through a K8055 USB board.
// All paths are relative to the layout folder, which the program works in.

#include "app/controle_command.h"
#include "app/forms/blokpost_app.h"
#include "app/forms/command_line.h"
#include "app/forms/one_copy.h"
#include "app/forms/program_start.h"
#include "app/start_folder.h"
#include "base/forms/guarded_application.h"

#include <QDir>
#include <QFileInfo>
#include <iostream>

namespace {

using blokpost::StartFolder;

// `--controle` only reads, needs no display and never lays anything out.
int controle(const StartFolder& folder) {
    QString problem = folder.problem;
    if (problem.isEmpty() && !QFileInfo(folder.path).isDir())
        problem = QStringLiteral("De map '%1' bestaat niet.").arg(folder.path);
    if (problem.isEmpty()) return blokpost::RunControle(folder.path, std::cout);
    std::cerr << "blokpost: " << problem.toStdString() << '\n';
    return 1;
}

// Makes the layout folder ready and works in it; what stops the start, or empty.
QString enterFolder(const StartFolder& folder) {
    if (!folder.problem.isEmpty()) return folder.problem;
    const QString tools = blokpost::demoToolsFolder(QCoreApplication::applicationDirPath());
    if (const QString problem = blokpost::prepareStartFolder(folder.path, tools); !problem.isEmpty()) return problem;
    return QDir::setCurrent(folder.path) ? QString() : QStringLiteral("De map '%1' kan niet worden geopend.").arg(folder.path);
}

}  // namespace

int main(int argc, char** argv) {
    // The options are read before anything is made: a mistyped start makes nothing.
    const blokpost::CommandLine command = blokpost::readCommandLine(argc, argv, std::cout, std::cerr);
    if (command.exitCode) return *command.exitCode;
    const StartFolder folder = blokpost::chooseStartFolder(command.folder);
    if (command.controle) return controle(folder);

    blokpost::settleRuntimeFolder();
    blokpost::guardPlatformStart();
    blokpost::GuardedApplication application(argc, argv);
    blokpost::platformStarted();
    blokpost::identifyToDesktop();
    if (const QString problem = enterFolder(folder); !problem.isEmpty()) {
        blokpost::showStartProblem(problem);
        return 1;
    }
    // Before any file of the layout is touched: one program per layout folder.
    blokpost::LayoutLock lock(QDir::currentPath());
    if (!lock.held()) return blokpost::endSecondStart(lock);
    blokpost::BlokpostApp blokpost(QDir::currentPath());
    lock.answerCalls([&blokpost] { blokpost.bringToFront(); });
    blokpost.start();
    if (command.trialCycles > 0) blokpost::endAfterCycles(blokpost, command.trialCycles);
    return QApplication::exec();
}
