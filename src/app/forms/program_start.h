#pragma once
// What the start does around the windows: the desktop session's runtime
// folder, a clear message in place of Qt's abort when no window can open,
// the program's name and icon for the desktop, the start problems shown to
// the operator, and the first-steps guide opened from the main window.

#include <QString>

namespace blokpost {

class Reporter;

// Without XDG_RUNTIME_DIR (a start through su or a plain ssh) the session's
// own folder is used when it is there and private, else a private folder in
// the user's cache: nothing is made in the system's temporary folder.
void settleRuntimeFolder();

// Until platformStarted(), Qt's fatal failure to open any platform ends the
// program with 1 and a message that says why and what to do, on the terminal
// and through the desktop's notifications where they run.
void guardPlatformStart();
void platformStarted();

// The name, desktop file and icon the desktop shows for the running windows.
void identifyToDesktop();

// A problem that stops the start: in a message box the operator sees where a
// display is, and always on the terminal.
void showStartProblem(const QString& problem);

// The installed first-steps guide, or empty when there is none.
QString firstStepsGuide();
// Opens the guide in the desktop's viewer; what fails is told to `reporter`.
void openFirstStepsGuide(Reporter& reporter);

}  // namespace blokpost
