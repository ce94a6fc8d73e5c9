// Blokpost: automates a model railway layout through a K8055 USB board.
// All paths are relative to the folder the program was started in.

#include "app/controle_command.h"
#include "app/forms/blokpost_app.h"
#include "app/forms/command_line.h"
#include "app/forms/one_copy.h"
#include "base/forms/guarded_application.h"

#include <QDir>
#include <iostream>

int main(int argc, char** argv) {
    const blokpost::CommandLine command = blokpost::readCommandLine(argc, argv);
    if (command.exitCode) return *command.exitCode;
    // The check runs before any window system is asked for: it works without a display.
    if (const auto code = blokpost::RunControleCommand(argc, argv, QDir::currentPath(), std::cout)) return *code;
    blokpost::GuardedApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Blokpost"));
    // Before any file of the layout is touched: one program per layout folder.
    blokpost::LayoutLock lock(QDir::currentPath());
    if (!lock.held()) return blokpost::endSecondStart(lock);
    blokpost::BlokpostApp blokpost(QDir::currentPath());
    lock.answerCalls([&blokpost] { blokpost.bringToFront(); });
    blokpost.start();
    if (command.trialCycles > 0) blokpost::endAfterCycles(blokpost, command.trialCycles);
    return QApplication::exec();
}
