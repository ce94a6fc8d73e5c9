#include "app/controle_command.h"

#include "base/paths.h"
#include "base/reporter.h"
#include "base/text_file.h"
#include "check/controle.h"
#include "layout/layout_store.h"
#include "layout/pin_names.h"
#include "schedule/schedule_files.h"
#include "state/program_state.h"
#include "timetable/timetable.h"

#include <QFileInfo>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>

namespace blokpost {

namespace {

// What the program would run with after the operator loaded everything.
struct Installation {
    LayoutTable layout = defaultLayoutTable();
    std::array<std::string, kPins> pinNames{};
    std::array<std::uint8_t, kPins> pinAddresses{};
    std::array<LineProgramModel, kVariants + 1> variants{};
    std::array<TimetableTables, kBookFiles.size()> books{};
    // Files that could not be read: told once, and not checked any further.
    bool layoutRead = true;
    std::array<bool, kVariants + 1> variantRead{};
    std::array<bool, kBookFiles.size()> bookRead{};
};

class Printer {
public:
    explicit Printer(std::ostream& out) : out_(out) {}
    void line(const std::string& variant, const std::string& book, const Finding& f) {
        out_ << variant << '\t' << book << '\t' << levelName(f.level) << '\t'
             << (f.line >= 1 && f.line <= kLines ? std::string(1, lineLetter(f.line)) : "-") << '\t'
             << (f.step >= 1 ? std::to_string(f.step) : "-") << '\t' << f.text << '\n';
        failed_ = failed_ || f.level == FindingLevel::Fout;
    }
    bool failed() const { return failed_; }

private:
    std::ostream& out_;
    bool failed_ = false;
};

// A file that cannot be read is itself a fout: the layout would not load.
// Said once, naming the file as it lies in the data folder; gives whether it was read.
bool readStored(const DataPaths& paths, const char* relative, Printer& printer,
                const std::function<void(TextFileReader&)>& read) {
    const QString path = paths.find(relative);
    const std::string name = QFileInfo(path).fileName().toStdString();
    const std::string folder = QFileInfo(QFileInfo(path).path()).fileName().toStdString();
    if (!QFileInfo::exists(path)) {
        printer.line("-", "-",
                     {FindingLevel::Fout, 0, 0,
                      "Bestand " + name + " ontbreekt in de map " + folder +
                          ": wat erin hoort is niet gecontroleerd. Zet het bestand terug in " + folder + "."});
        return false;
    }
    try {
        TextFileReader file = TextFileReader::open(path);
        read(file);
        return true;
    } catch (const OperationError& error) {
        printer.line("-", "-",
                     {FindingLevel::Fout, 0, 0,
                      "Bestand " + name + " in de map " + folder + " is niet te lezen (" + error.what() +
                          "): wat erin hoort is niet gecontroleerd. Zet een goed exemplaar terug in " + folder + "."});
        return false;
    }
}

Installation readInstallation(const DataPaths& paths, Printer& printer) {
    Installation in;
    // Without their files the pins keep the names and addresses of the start.
    setStartPinNames(in.pinNames, in.pinAddresses);
    // On the heap: clang 14 crashes trying to evaluate this large local as a constant.
    const auto storedModel = std::make_unique<LineProgramModel>();
    std::string meter1, meter2;
    in.layoutRead = readStored(paths, kLayoutStoreFile, printer, [&](TextFileReader& f) {
        ReadLayoutStore({in.layout, *storedModel, meter1, meter2}, f);
    });
    readStored(paths, kPinNameFile, printer, [&](TextFileReader& f) { ReadPinNameTable(f, in.pinNames); });
    readStored(paths, kPinAddressFile, printer, [&](TextFileReader& f) { ReadPinAddressTable(f, in.pinAddresses); });
    for (int v = 1; v <= kVariants; ++v)
        in.variantRead[v] =
            readStored(paths, VariantFile(v), printer, [&](TextFileReader& f) { ReadVariant(in.variants[v], f); });
    for (std::size_t b = 0; b < kBookFiles.size(); ++b)
        in.bookRead[b] =
            readStored(paths, kBookFiles[b].file, printer, [&](TextFileReader& f) { ReadBookRows(in.books[b], f); });
    return in;
}

}  // namespace

int RunControle(const QString& root, std::ostream& out) {
    Printer printer(out);
    const Installation in = readInstallation(DataPaths(root), printer);
    for (int v = 1; v <= kVariants; ++v)
        for (std::size_t b = 0; b < kBookFiles.size(); ++b) {
            // What follows from a file that was not read would only repeat it.
            if (!in.variantRead[v] || !in.bookRead[b]) continue;
            const ControleInput input{in.variants[v], in.layout,          in.pinNames, in.pinAddresses,
                                      in.books[b],    kBookFiles[b].name, in.layoutRead};
            for (const Finding& finding : Controleer(input))
                if (finding.line != 0) printer.line(VariantName(v), kBookFiles[b].name, finding);
        }
    return printer.failed() ? 1 : 0;
}

}  // namespace blokpost
