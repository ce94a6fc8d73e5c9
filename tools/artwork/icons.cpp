// The 68 x 68 instruction icons and the selection picture of the schedule grid.
// Each has a black frame; inside it a black-edged panel keeps the area where
// the cell's texts go. The step marker floods the white background from
// (2, 2) up to black, so it colours the frame's inside around the panel and
// symbols while texts and symbols stay readable. Everything is drawn without
// smoothing, so black stays pure black and the marker leaves no trace when
// it is taken away again.

#include "artwork.h"
#include "paint_kit.h"
#include "state/model.h"
#include "state/step_kinds.h"


namespace blokpost::artwork {

namespace {

// The text panels: wide for the kinds with two texts at x 8, narrow for one number at x 16.
const QRect kWidePanel(QPoint(4, 21), QPoint(64, 63));
const QRect kNarrowPanel(QPoint(12, 21), QPoint(50, 61));

QImage framed() {
    QImage image = blankImage(68, 68, Qt::white);
    QPainter p(&image);
    p.fillRect(0, 0, 68, 2, Qt::black);
    p.fillRect(0, 66, 68, 2, Qt::black);
    p.fillRect(0, 0, 2, 68, Qt::black);
    p.fillRect(66, 0, 2, 68, Qt::black);
    return image;
}

void outline(QPainter& p, const QRect& area, const QColor& fill = Qt::white) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(fill);
    p.drawRect(area.adjusted(0, 0, -1, -1));
}

// The instruction's name in the band above the panel.
// The kind's word, as Controle and the line watch name it too.
QString onGrid(const char* kind) { return QString::fromLatin1(blokpost::stepKindRule(kind).onGrid); }

void title(QPainter& p, const QString& text, int right = 64) {
    QFont font = paintFont(11, true);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(5, 3, right - 5, 17), Qt::AlignLeft | Qt::AlignVCenter, text);
}

void arrowHead(QPainter& p, QPoint tip, int dx, int dy) {
    // A filled triangle pointing along (dx, dy).
    const QPoint side(-dy, dx);
    QPolygon head;
    head << tip << tip - QPoint(dx, dy) * 5 + side * 4 << tip - QPoint(dx, dy) * 5 - side * 4;
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::black);
    p.drawPolygon(head);
}

void pinSymbol(QPainter& p) {
    // A point: the straight road and the branch, in heavy black.
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(40, 15, 62, 15);
    p.drawLine(45, 15, 58, 6);
}

void timerSymbol(QPainter& p) {
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(0xCF, 0xE3, 0xFF));
    p.drawEllipse(QPoint(55, 12), 7, 7);
    p.fillRect(53, 2, 5, 2, Qt::black);  // the crown
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(55, 12, 55, 7);
    p.drawLine(55, 12, 59, 12);
}

void jumpSymbol(QPainter& p) {
    // A hook down the right side: go on somewhere else.
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(57, 26, 57, 50);
    arrowHead(p, QPoint(57, 59), 0, 1);
}

void sensorSymbol(QPainter& p, const QColor& lamp, bool hold) {
    // A detector on a rail, its lamp lit in the kind's colour.
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(lamp);
    p.drawEllipse(QPoint(57, 32), 5, 5);
    p.fillRect(55, 38, 5, 14, Qt::black);
    p.fillRect(52, 52, 12, 3, Qt::black);
    if (hold) {
        // A latch: the event is kept until a step takes it.
        p.setBrush(Qt::white);
        p.drawRect(53, 58, 8, 5);
    }
}

void memorySymbol(QPainter& p, bool write) {
    // A memory cell; the arrow goes into it to set it, out of it to read it.
    outline(p, QRect(53, 40, 11, 11), QColor(0xFF, 0x60, 0x60));
    p.setPen(QPen(Qt::black, 2));
    if (write) {
        p.drawLine(58, 24, 58, 31);
        arrowHead(p, QPoint(58, 38), 0, 1);
    } else {
        p.drawLine(58, 53, 58, 57);
        arrowHead(p, QPoint(58, 63), 0, 1);
    }
}

void greenSignal(QPainter& p) {
    // A two-lamp signal at green: the line may depart again.
    p.fillRect(32, 50, 4, 14, Qt::black);
    p.fillRect(24, 61, 20, 3, Qt::black);
    outline(p, QRect(22, 6, 24, 46), QColor(0x30, 0x30, 0x30));
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(0x50, 0x18, 0x18));
    p.drawEllipse(QPoint(34, 18), 7, 7);
    p.setBrush(QColor(0x20, 0xE0, 0x40));
    p.drawEllipse(QPoint(34, 38), 7, 7);
}

QImage icon(const std::string& file) {
    QImage image = framed();
    QPainter p(&image);
    if (file == "Blanco.bmp") return image;
    if (file == "Green.bmp") {
        greenSignal(p);
        return image;
    }
    const bool wide = file == "PinMake.bmp" || file == "Timer.bmp";
    outline(p, wide ? kWidePanel : kNarrowPanel);
    if (file == "PinMake.bmp") {
        title(p, onGrid(kind::Pin));
        pinSymbol(p);
    } else if (file == "Timer.bmp") {
        title(p, onGrid(kind::Timer), 46);
        timerSymbol(p);
    } else if (file == "Jump.bmp") {
        title(p, onGrid(kind::Jump));
        jumpSymbol(p);
    } else if (file == "Sensor.bmp") {
        title(p, onGrid(kind::Sensor));
        sensorSymbol(p, QColor(0x30, 0xC0, 0x50), false);
    } else if (file == "SensorH.bmp") {
        title(p, onGrid(kind::HSensor));
        sensorSymbol(p, QColor(0x20, 0xB0, 0xB0), true);
    } else if (file == "MemMake.bmp") {
        title(p, onGrid(kind::MemMake));
        memorySymbol(p, true);
    } else if (file == "MemRead.bmp") {
        title(p, onGrid(kind::MemRead));
        memorySymbol(p, false);
    }
    return image;
}

}  // namespace

const std::vector<std::string> kInstructionIcons{"PinMake.bmp", "Timer.bmp",   "Jump.bmp",    "Sensor.bmp", "SensorH.bmp",
                                                 "MemMake.bmp", "MemRead.bmp", "Green.bmp",   "Blanco.bmp"};

QImage instructionIcon(const std::string& file) { return icon(file); }

QImage selectionPicture() {
    QImage image = framed();
    QPainter p(&image);
    p.fillRect(2, 2, 64, 64, QColor(0xFF, 0xF0, 0x9A));
    QFont mark = paintFont(40, true);
    mark.setStyleStrategy(QFont::NoAntialias);
    p.setFont(mark);
    p.setPen(Qt::black);
    p.drawText(QRect(2, 0, 64, 52), Qt::AlignCenter, QStringLiteral("?"));
    QFont word = paintFont(12, true);
    word.setStyleStrategy(QFont::NoAntialias);
    p.setFont(word);
    p.drawText(QRect(2, 46, 64, 18), Qt::AlignCenter, QStringLiteral("kies"));
    return image;
}

}  // namespace blokpost::artwork
