#include "schedule/forms/rijschema_window.h"

#include "check/controle.h"
#include "check/forms/controle_window.h"
#include "desk/desk_layout.h"
#include "desk/forms/window_host.h"
#include "schedule/rijschema.h"
#include "schedule/schedule_files.h"
#include "state/program_state.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <iterator>

namespace blokpost {

namespace {

constexpr int kCellPitch = 72;
constexpr int kCellSize = 68;
const QColor kCaptionColour(0xFF, 0xFF, 0x00);

struct Point {
    int x;
    int y;
};

// The line letters and the green indicators just above them, lines A..H.
constexpr std::array<Point, kLines> kLineLetter{{{10, 40}, {10, 112}, {10, 184}, {8, 256},
                                                  {8, 328}, {10, 400}, {10, 464}, {9, 544}}};
constexpr std::array<Point, kLines> kGreenIndicator{{{8, 24}, {8, 96}, {8, 168}, {8, 240},
                                                      {8, 312}, {10, 384}, {8, 448}, {8, 528}}};
// Hold indicators stand in two rows of ten, with a wider gap after the fifth.
constexpr std::array<int, 10> kHoldColumn{32, 56, 80, 104, 128, 168, 192, 216, 240, 264};
constexpr std::array<int, 2> kHoldRowTop{616, 648};

int cellLeft(int step) { return 32 + kCellPitch * (step - 1); }
int cellTop(int line) { return 8 + kCellPitch * (line - 1); }

}  // namespace

TForm4::TForm4(WindowHost& app, ControleWindow& controle)
    : Window(app, QStringLiteral("Rijschema"), 1835, 855, Frame::FixedDialog), controle_(controle) {
    buildGrid();
    buildIndicators();
    buildCaptions();
    buildButtons();
    addPhotograph(this, QStringLiteral(":/photos/station.jpg"), QRect(1184, 616, 512, 233))
        ->setObjectName(QStringLiteral("Image202"));
    cellMark = new QFrame(this);
    cellMark->setObjectName(QStringLiteral("CellMark"));
    cellMark->setFrameShape(QFrame::Box);
    cellMark->setLineWidth(4);
    cellMark->setStyleSheet(QStringLiteral("color: #E00000"));
    cellMark->setAttribute(Qt::WA_TransparentForMouseEvents);
    cellMark->hide();
    controle_.onChoose = [this](int line, int step) { markCell(line, step); };
    sync();
}

TForm4::~TForm4() = default;

void TForm4::buildGrid() {
    RijschemaView& view = state().screen.rijschema;
    for (int n = 1; n <= kCells; ++n) {
        const auto [line, step] = splitCellNumber(n);
        Image[n] = new CanvasView(view.cell[n], this, false);
        Image[n]->setGeometry(cellLeft(step), cellTop(line), kCellSize, kCellSize);
        Image[n]->setObjectName(QStringLiteral("Image%1").arg(n));
        // Maak1..Maak200
        Image[n]->onPress = [this, n] {
            handle([&] {
                if (Maak(state(), n)) host_.showForm(5);
            });
        };
    }
    Image[kVariantPicture] = new CanvasView(view.cell[kVariantPicture], this, false);
    Image[kVariantPicture]->setGeometry(856, 616, 300, 121);
    Image[kVariantPicture]->setObjectName(QStringLiteral("Image201"));
}

void TForm4::addIndicator(int shape, int x, int y, const std::function<void()>& onPress) {
    Shape[shape] = new IndicatorShape(state().screen.rijschema.indicator[shape], this);
    Shape[shape]->move(x, y);
    Shape[shape]->setObjectName(QStringLiteral("Shape%1").arg(shape));
    Shape[shape]->onPress = [this, onPress] { handle(onPress); };
}

void TForm4::buildIndicators() {
    for (int sensor = 1; sensor <= kSensors; ++sensor) {
        const int i = sensor - 1;
        addIndicator(indicatorShape(FlagFamily::Hold, sensor), kHoldColumn[i % 10], kHoldRowTop[i / 10],
                     [this, sensor] { MaakHold(state(), sensor); });
    }
    for (int memory = 1; memory <= kMemories; ++memory)
        addIndicator(indicatorShape(FlagFamily::Memory, memory), 432 + 24 * (memory - 1), 600,
                     [this, memory] { MaakMem(state(), memory); });
    for (int line = 1; line <= kLines; ++line) {
        const Point at = kGreenIndicator[line - 1];
        addIndicator(indicatorShape(FlagFamily::Green, line), at.x, at.y, [this, line] { MaakGreen(state(), line); });
    }
}

void TForm4::buildCaptions() {
    const QFont letterFont = designedFont(19, true);
    for (int line = 1; line <= kLines; ++line) {
        const Point at = kLineLetter[line - 1];
        addCaption(this, QString(QChar(lineLetter(line))), at.x, at.y, letterFont, kCaptionColour);
    }
    // Step numbers centred under every fifth column.
    for (int step = 5; step <= kSteps; step += 5) {
        auto* label = addCaption(this, QString::number(step), 0, 584, designedFont(24, true), kCaptionColour);
        label->setGeometry(cellLeft(step), 584, kCellSize, label->height());
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    addCaption(this, QStringLiteral("1      3      5     6      8    10"), 34, 584, letterFont, kCaptionColour);
    addCaption(this, QStringLiteral("11 ....  Hold Sensor ....  20"), 32, 672, letterFont, kCaptionColour);
    addCaption(this, QStringLiteral("Memory 1  2  3  4  5  6  7  8"), 352, 624, letterFont, kCaptionColour);
    addCaption(this, QStringLiteral("Dienstroosters"), 784, 584, letterFont, kCaptionColour);
}

QPushButton* TForm4::addButton(int number, const QString& caption, const QRect& place,
                               const std::function<void()>& action) {
    auto* button = new QPushButton(caption, this);
    button->setGeometry(place);
    button->setFont(designedFont(11, true));
    button->setObjectName(QStringLiteral("Button%1").arg(number));
    connect(button, &QPushButton::clicked, this, [this, action] { handle(action); });
    Button[number] = button;
    return button;
}

void TForm4::buildButtons() {
    for (int variant = 1; variant <= 4; ++variant)
        addButton(variant, QString::fromLatin1(VariantName(variant)), QRect(728, 592 + 24 * variant, 121, 17),
                  [this, variant] { MaakSchema(state(), variant); });
    addButton(5, QStringLiteral("Save dienst"), QRect(728, 720, 121, 17), [this] { SchemaOpslaan(state()); });
    addButton(6, QStringLiteral("Give the pin a name"), QRect(352, 672, 185, 25), [this] { host_.showForm(19); })
        ->setFont(designedFont(13, true));
    addButton(7, QStringLiteral("Controle"), QRect(728, 744, 121, 17), [this] { controle(); });
}

std::vector<Finding> TForm4::check() {
    const ProgramState& s = state();
    return Controleer({s.model, s.layout, s.pins.PinName, s.pins.PinAddress, s.timetable, s.timetable.ActiveBook,
                       s.layoutWindows.readSave.enableEnabled});
}

void TForm4::controle() {
    listFindings(check());
    showControle();
}

// New findings: the mark of an old one would point at a cell that may be sound now.
void TForm4::listFindings(std::vector<Finding> findings) {
    controle_.setFindings(std::move(findings));
    cellMark->hide();
}

// After a variant or a book was loaded the check runs by itself. Fouts are
// told once, by opening the findings beside the grid: a message box would
// stop the layout's cycle until it is answered.
void TForm4::checkAfterLoad() {
    if (state().editor.LoadsDone == loadsChecked_) return;
    loadsChecked_ = state().editor.LoadsDone;
    std::vector<Finding> findings = check();
    std::vector<Finding> fouts;
    std::copy_if(findings.begin(), findings.end(), std::back_inserter(fouts),
                 [](const Finding& f) { return f.level == FindingLevel::Fout; });
    listFindings(std::move(findings));
    if (fouts.empty() || fouts == foutsTold_) return;
    foutsTold_ = std::move(fouts);
    showControle();
}

// Where the desk places it: beside the grid, clear of the small windows.
void TForm4::showControle() { host_.showForm(desk::kControle); }

void TForm4::markCell(int line, int step) {
    if (line < 1 || line > kLines) return;
    const QRect cell = Image[cellNumber(line, std::clamp(step, 1, kSteps))]->geometry();
    cellMark->setGeometry(cell.adjusted(-3, -3, 3, 3));
    cellMark->show();
    cellMark->raise();
    host_.bringIntoView(*this, *cellMark);
    if (isVisible()) raise();
}

QList<QRect> TForm4::mustReachAreas() const {
    QRect holds, memories, greens, services;
    for (int sensor = 1; sensor <= kSensors; ++sensor)
        holds |= Shape[indicatorShape(FlagFamily::Hold, sensor)]->geometry();
    for (int memory = 1; memory <= kMemories; ++memory)
        memories |= Shape[indicatorShape(FlagFamily::Memory, memory)]->geometry();
    for (int line = 1; line <= kLines; ++line) greens |= Shape[indicatorShape(FlagFamily::Green, line)]->geometry();
    for (int button : {1, 2, 3, 4, 5, 7}) services |= Button[button]->geometry();
    return {holds, memories, greens, Button[6]->geometry(), services};
}

QRect TForm4::workArea() const { return Image[1]->geometry() | Image[kCells]->geometry(); }

void TForm4::sync() {
    for (int n = 1; n <= kVariantPicture; ++n) Image[n]->sync();
    for (int shape = 1; shape <= kIndicators; ++shape) Shape[shape]->sync();
    Button[5]->setEnabled(state().screen.rijschema.saveEnabled);
    checkAfterLoad();
}

}  // namespace blokpost
