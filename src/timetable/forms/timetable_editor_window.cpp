#include "timetable/forms/timetable_editor_window.h"

#include "base/forms/stored_text.h"
#include "desk/forms/window_host.h"
#include "state/program_state.h"
#include "timetable/timetable.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>

namespace blokpost {

namespace {

constexpr int kClientWidth = 739, kClientHeight = 538;
constexpr int kRowHeight = 22;
constexpr int kImageLeft = 168, kImageTop = 328;

int rowTop(int row) { return 64 + 32 * (row - 1); }

// The controls of a row are numbered 3r - back within their kind.
struct SpinColumn {
    int back;
    int left;
    int width;
    SpinRange range;
    int TimetableRow::*value;
};
constexpr std::array<SpinColumn, 3> kSpinColumns{{
    {2, 88, 57, kFreqRange, &TimetableRow::Freq},
    {1, 160, 57, kPlusMinRange, &TimetableRow::PlusMin},
    {0, 552, 41, kPerronRange, &TimetableRow::Perron},
}};

struct EditColumn {
    int back;
    int left;
    int width;
    std::string TimetableRow::*text;
};
constexpr std::array<EditColumn, 3> kEditColumns{{
    {2, 232, 121, &TimetableRow::Naar},
    {1, 360, 185, &TimetableRow::Via},
    {0, 600, 89, &TimetableRow::Type},
}};

QColor toQColor(Colour colour) { return QColor::fromRgb(static_cast<QRgb>(colour) | 0xFF000000u); }

}  // namespace

TForm18::TForm18(WindowHost& app)
    : Window(app, QStringLiteral("Maak spoorboekje"), kClientWidth, kClientHeight, Frame::FixedDialog) {
    buildHeader();
    for (int r = 1; r <= kLines; ++r) buildRow(r);

    Button1 = addButton(QStringLiteral("Make Final"), 16, 336, 75, MaakLijnen);
    Button4 = addButton(QStringLiteral("Save"), 8, 384, 75, SaveBoekje);
    Button2 = addButton(QStringLiteral("Rood"), 8, 432, 65, LeesRood);
    Button3 = addButton(QStringLiteral("Blauw"), 80, 432, 65, LeesBlauw);
    QPalette blueCaption = Button3->palette();
    blueCaption.setColor(QPalette::ButtonText, toQColor(kBlue));
    Button3->setPalette(blueCaption);

    Label1 = new QLabel(QStringLiteral("Spoorboekje"), this);
    Label1->setFont(designedFont(11, true));
    Label1->setGeometry(8, 408, 75, 16);
    setBackground(Label1, toQColor(kSilver));

    // Decoration only: when the photograph cannot be had, the place stays empty.
    Image1 = new QLabel(this);
    QPixmap photo(QStringLiteral(":/photos/timetable.jpg"));
    const QSize room(kClientWidth - kImageLeft, kClientHeight - kImageTop);
    if (photo.width() > room.width() || photo.height() > room.height())
        photo = photo.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Image1->setPixmap(photo);
    Image1->setGeometry(kImageLeft, kImageTop, photo.width(), photo.height());
    Image1->setVisible(!photo.isNull());
    sync();
}

void TForm18::buildHeader() {
    struct Word {
        const char* text;
        int left;
    };
    // Each word stands over the left edge of its own column, left to right.
    const std::array<Word, 6> words{{{"Freq", kSpinColumns[0].left},
                                     {"+min", kSpinColumns[1].left},
                                     {"Naar", kEditColumns[0].left},
                                     {"via", kEditColumns[1].left},
                                     {"perron", kSpinColumns[2].left},
                                     {"type", kEditColumns[2].left}}};
    for (std::size_t i = 0; i < words.size(); ++i)
        Header[i] = addCaption(this, QString::fromLatin1(words[i].text), words[i].left, 32, designedFont(12, true));
}

void TForm18::buildRow(int r) {
    for (const SpinColumn& column : kSpinColumns) {
        auto* spin = new QSpinBox(this);
        spin->setGeometry(column.left, rowTop(r), column.width, kRowHeight);
        spin->setRange(column.range.low, column.range.high);
        connect(spin, &QSpinBox::valueChanged, this,
                [this, r, column](int value) { state().timetableEditor.row[r].*column.value = value; });
        SpinEdit[3 * r - column.back] = spin;
    }
    for (const EditColumn& column : kEditColumns) {
        auto* edit = new QLineEdit(this);
        edit->setGeometry(column.left, rowTop(r), column.width, kRowHeight);
        acceptStoredLettersOnly(edit);
        connect(edit, &QLineEdit::textChanged, this,
                [this, r, column](const QString& text) { state().timetableEditor.row[r].*column.text = toStoredText(text); });
        Edit[3 * r - column.back] = edit;
    }
    // Tab follows the row from left to right, then goes on to the next row.
    QWidget* previous = r == 1 ? nullptr : static_cast<QWidget*>(Edit[3 * (r - 1)]);
    for (QWidget* next : std::initializer_list<QWidget*>{SpinEdit[3 * r - 2], SpinEdit[3 * r - 1], Edit[3 * r - 2],
                                                         Edit[3 * r - 1], SpinEdit[3 * r], Edit[3 * r]}) {
        if (previous) setTabOrder(previous, next);
        previous = next;
    }
}

QPushButton* TForm18::addButton(const QString& caption, int x, int y, int width, void (*operation)(ProgramState&)) {
    auto* button = new QPushButton(caption, this);
    button->setGeometry(x, y, width, 25);
    button->setFont(designedFont(11, true));
    connect(button, &QPushButton::clicked, this, [this, operation] {
        collectRows();
        handle([this, operation] { guarded(state(), [this, operation] { operation(state()); }); });
    });
    return button;
}

void TForm18::collectRows() {
    for (int r = 1; r <= kLines; ++r) {
        TimetableRow& row = state().timetableEditor.row[r];
        for (const SpinColumn& column : kSpinColumns) row.*column.value = SpinEdit[3 * r - column.back]->value();
        for (const EditColumn& column : kEditColumns) row.*column.text = toStoredText(Edit[3 * r - column.back]->text());
    }
}

void TForm18::sync() {
    const TimetableEditor& editor = state().timetableEditor;
    for (int r = 1; r <= kLines; ++r) {
        const TimetableRow& row = editor.row[r];
        for (const SpinColumn& column : kSpinColumns) {
            QSpinBox* spin = SpinEdit[3 * r - column.back];
            if (spin->value() != row.*column.value) spin->setValue(row.*column.value);
        }
        for (const EditColumn& column : kEditColumns) {
            QLineEdit* edit = Edit[3 * r - column.back];
            const QString text = fromStoredText(row.*column.text);
            if (edit->text() != text) edit->setText(text);
        }
    }
    Button4->setEnabled(editor.saveEnabled);
    QPalette palette = Label1->palette();
    if (palette.color(QPalette::WindowText) != toQColor(editor.labelColour)) {
        palette.setColor(QPalette::WindowText, toQColor(editor.labelColour));
        Label1->setPalette(palette);
    }
}

}  // namespace blokpost
