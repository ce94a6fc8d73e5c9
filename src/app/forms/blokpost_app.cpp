#include "app/forms/blokpost_app.h"

#include "app/forms/browser_window.h"
#include "app/forms/desk.h"
#include "app/forms/display_windows.h"
#include "app/forms/logbook_window.h"
#include "app/forms/main_window.h"
#include "app/main_cycle.h"
#include "app/saved_files.h"
#include "base/forms/guarded_application.h"
#include "base/stored_file.h"
#include "board/board_choice.h"
#include "board/driver_board.h"
#include "check/forms/controle_window.h"
#include "layout/forms/give_name_window.h"
#include "layout/forms/make_screen_window.h"
#include "layout/forms/read_save_window.h"
#include "scan/forms/simulator_window.h"
#include "schedule/forms/palette_window.h"
#include "schedule/forms/rijschema_window.h"
#include "timetable/forms/timetable_editor_window.h"
#include "timetable/forms/timetable_window.h"
#include "watch/forms/lines_window.h"

#include <QRandomGenerator>
#include <QtGlobal>

// The photographs are compiled into the forms library; a static library's
// resources must be registered by hand.
static void registerResources() { Q_INIT_RESOURCE(blokpost); }

namespace blokpost {

BlokpostApp::BlokpostApp(const QString& root, Reporter* reporter, std::unique_ptr<Board> board)
    : autoTrains_(QRandomGenerator::global()->generate()) {
    registerResources();
    Reporter& messages = reporter ? *reporter : messageBoxes_;
    if (auto* application = GuardedApplication::instance()) application->reportTo(&messages);
    DataPaths paths(root);
    // Before anything reads a stored file: a save stopped by a crash is undone.
    prepareStoredFiles(root, SavedFiles(), messages);
    std::string problem;
    board_ = board ? std::move(board) : chooseBoard(paths, problem, usbBoardOpener());
    driver_ = dynamic_cast<DriverBoard*>(board_.get());
    state_ = std::make_unique<ProgramState>(*board_, messages, std::move(paths));

    // Form1's creation sets the start values before any other window exists;
    // Form19 fills its grid from them when it is created.
    FormCreate(*state_);
    forms_[1] = std::make_unique<TForm1>(*this);
    messageBoxes_.keepAbove(forms_[1].get());
    forms_[2] = std::make_unique<TForm2>(*this);
    forms_[3] = std::make_unique<TForm3>(*this);
    auto controle = std::make_unique<ControleWindow>(*this);
    forms_[4] = std::make_unique<TForm4>(*this, *controle);
    forms_[23] = std::move(controle);
    forms_[5] = std::make_unique<TForm5>(*this);
    forms_[6] = std::make_unique<TMeterForm>(*this, 1);
    forms_[7] = std::make_unique<TMeterForm>(*this, 2);
    for (int line = 1; line <= kLines; ++line) forms_[7 + line] = std::make_unique<TBoardForm>(*this, line);
    forms_[16] = std::make_unique<TClockForm>(*this);
    forms_[17] = std::make_unique<TForm17>(*this);
    forms_[18] = std::make_unique<TForm18>(*this);
    forms_[19] = std::make_unique<TForm19>(*this);
    forms_[20] = std::make_unique<TForm20>(*this);
    forms_[21] = std::make_unique<TForm21>(*this);
    forms_[22] = std::make_unique<LinesWindow>(*this, lineWatch_);
    browserWindow_ = std::make_unique<BrowserWindow>(*this, webView_);
    desk_ = std::make_unique<Desk>(*this);
    desk_->watchWindows();

    if (!problem.empty()) messages.message(problem);
}

BlokpostApp::~BlokpostApp() {
    if (auto* application = GuardedApplication::instance()) application->reportTo(nullptr);
}

void BlokpostApp::showForm(int number) { desk_->show(number); }

void BlokpostApp::bringIntoView(Window& window, QWidget& part) { desk_->bringIntoView(window, part); }

void BlokpostApp::showBrowserWindow() { browserWindow_->showWindow(); }

void BlokpostApp::start() {
    auto* main = formAs<TForm1>(1);
    main->showMaximized();
    main->startTimer1();
}

void BlokpostApp::bringToFront() {
    auto* main = formAs<TForm1>(1);
    main->setWindowState(main->windowState() & ~Qt::WindowMinimized);
    main->raise();
    main->activateWindow();
}

void BlokpostApp::tick() {
    // A tick fired while a message box of the running tick is up does nothing;
    // the running tick ends the board's tick when it finishes.
    const bool nested = state_->cycle.inTick;
    if (!nested) lineWatch_.before(*state_);
    Hoofdlus(*state_);
    if (!nested) lineWatch_.after(*state_);
    // What the tick changed on the board's outputs goes out now, in one report.
    if (driver_ && !nested) {
        driver_->endOfTick();
        if (const std::string notice = driver_->takeNotice(); !notice.empty()) state_->reporter.message(notice);
        SimulatedBoard& layout = driver_->simulation();
        if (driver_->mode() == DriverBoard::Mode::Simulated) autoTrains_.tick(state_->model, layout);
        layout.passTick();
    }
    syncAll();
}

void BlokpostApp::syncAll() {
    for (int n = 1; n < static_cast<int>(forms_.size()); ++n) forms_[static_cast<std::size_t>(n)]->sync();
    if (browserWindow_) browserWindow_->sync();
    webView_.publish();
}

}  // namespace blokpost
