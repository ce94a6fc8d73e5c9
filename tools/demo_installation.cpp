// The demo's files in the stored formats: one value a line, written through
// the program's own writer so the line ends and number format are the same.

#include "demo_installation.h"

#include "base/paths.h"
#include "base/reporter.h"
#include "base/text_file.h"
#include "demo_content.h"

#include <QFileInfo>

namespace blokpost::demo {

namespace {

// Collects the values of one file.
class Lines {
public:
    void text(std::string value) { lines_.push_back(std::move(value)); }
    void number(std::int64_t value) { lines_.push_back(std::to_string(value)); }
    std::vector<std::string> take() { return std::move(lines_); }

private:
    std::vector<std::string> lines_;
};

const Step& stepOf(const LineProgram& program, int step) {
    static const Step empty;
    return step >= 1 && step <= static_cast<int>(program.size()) ? program[static_cast<std::size_t>(step - 1)] : empty;
}

// "VasteData/SchemaNData.txt": kinds, operands, counters of steps 1..25 of lines 1..8.
std::vector<std::string> scheduleFile(const Schedule& lines) {
    Lines file;
    for (int line = 1; line <= kLines; ++line)
        for (int step = 1; step <= kSteps; ++step) file.text(stepOf(lines[line], step).kind);
    for (int block = 0; block < 2; ++block)  // the counters repeat the operands
        for (int line = 1; line <= kLines; ++line)
            for (int step = 1; step <= kSteps; ++step) file.number(stepOf(lines[line], step).operand);
    return file.take();
}

// "Vastedata/DataOpslag.txt": the layout, the whole model of the normal
// service (slots 0 and 26 stay empty), and the meter names.
std::vector<std::string> layoutStoreFile() {
    const LayoutTable layout = layoutTable();
    const Schedule lines = schedule(1);
    Lines file;
    for (int e = 0; e < kLayoutElements; ++e) file.number(layout.LayoutX[e]);
    for (int e = 0; e < kLayoutElements; ++e) file.number(layout.LayoutY[e]);
    for (int e = 0; e < kLayoutElements; ++e) file.number(layout.LayoutVisible[e]);
    for (int line = 1; line <= kLines; ++line)
        for (int slot = 0; slot <= kSteps + 1; ++slot) file.text(stepOf(lines[line], slot).kind);
    for (int block = 0; block < 2; ++block)
        for (int line = 1; line <= kLines; ++line)
            for (int slot = 0; slot <= kSteps; ++slot) file.number(stepOf(lines[line], slot).operand);
    file.text("Volt");
    file.text("Stroom");
    return file.take();
}

std::vector<std::string> pinNameFile() {
    const auto& names = pinNames();
    return {names.begin(), names.end()};
}

// Every pin on the address of its own index: pin 1 on address 0.
std::vector<std::string> pinAddressFile() {
    Lines file;
    for (int n = 0; n < kPins; ++n) file.number(n);
    return file.take();
}

struct BookRow {
    const char* destination;  // at most 15 characters
    const char* via;          // at most 25
    const char* train;        // at most 10
    int platform;             // 1..9
    int interval;             // minutes, 0 = not in service
    int offset;               // minute past the hour
};

std::vector<std::string> bookFile(const std::array<BookRow, kLines>& rows) {
    Lines file;
    for (const BookRow& row : rows) {
        file.text(row.destination);
        file.text(row.via);
        file.text(row.train);
        file.number(row.platform);
        file.number(row.interval);
        file.number(row.offset);
    }
    return file.take();
}

// Rows 1..8 are lines A..H. Only the lines that end in a Green step are
// timetabled; the shuttle and the shunting loco follow their memories.
constexpr BookRow kIdle5{"", "", "", 5, 0, 0}, kIdle6{"", "", "", 6, 0, 0}, kIdle7{"", "", "", 7, 0, 0},
    kIdle8{"", "", "", 8, 0, 0};

// The weekday book: every 10 minutes the stoptrein, and two minutes after it
// the express that overtakes it in Dijkstad.
const std::array<BookRow, kLines> kRood{{
    {"Dijkstad", "Blok 5 en 6", "Stoptrein", 1, 10, 3},
    {"Zandhaven", "Hoogveen spoor 3", "Pendel", 3, 0, 0},
    {"Hoogveen", "Dijkstad (doorgaand)", "Sneltrein", 2, 10, 5},
    {"Goederenloods", "Rangeerterrein", "Rangeer", 4, 0, 0},
    kIdle5, kIdle6, kIdle7, kIdle8,
}};

// The weekend and summer book: every half hour the stoptrein, and the steam
// train after it.
const std::array<BookRow, kLines> kBlauw{{
    {"Dijkstad", "Blok 5 en 6", "Stoptrein", 1, 30, 5},
    {"Zandhaven", "Hoogveen spoor 3", "Pendel", 3, 0, 0},
    {"Hoogveen", "Dijkstad spoor 2", "Stoomtrein", 2, 30, 10},
    {"Goederenloods", "Rangeerterrein", "Rangeer", 4, 0, 0},
    kIdle5, kIdle6, kIdle7, kIdle8,
}};

}  // namespace

std::vector<DemoFile> demoFiles() {
    std::vector<DemoFile> files;
    for (int variant = 1; variant <= 4; ++variant)
        files.push_back({"VasteData/Schema" + std::to_string(variant) + "Data.txt", scheduleFile(schedule(variant))});
    files.push_back({"Vastedata/DataOpslag.txt", layoutStoreFile()});
    files.push_back({"Vastedata/NaamData.txt", pinNameFile()});
    files.push_back({"Vastedata/AdresData.txt", pinAddressFile()});
    files.push_back({"Vastedata/BoekjeRood.txt", bookFile(kRood)});
    files.push_back({"Vastedata/BoekjeBlauw.txt", bookFile(kBlauw)});
    return files;
}

QStringList writeMissingDemoFiles(const QString& root, int* written) {
    const DataPaths paths(root);
    QStringList failed;
    int count = 0;
    for (const DemoFile& file : demoFiles()) {
        if (QFileInfo::exists(paths.find(file.relative))) continue;
        TextFileWriter writer(paths.forWriting(file.relative));
        for (const std::string& line : file.lines) writer.text(line);
        try {
            writer.commit();
            ++count;
        } catch (const OperationError& error) {
            failed << QString::fromStdString(file.relative + ": " + error.what());
        }
    }
    if (written) *written = count;
    return failed;
}

}  // namespace blokpost::demo
