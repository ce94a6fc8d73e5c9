#include "board/library_board.h"

#include <QFileInfo>

namespace blokpost {

namespace {

constexpr const char* kUnusableLibrary =
    " is niet te gebruiken; het programma gaat verder met zijn eigen stuurprogramma voor de kaart";

}  // namespace

const char* boardLibraryName() {
#ifdef _WIN32
    return "VasteData/K8055d.dll";
#else
    return "VasteData/libk8055d.so";
#endif
}

std::unique_ptr<LibraryBoard> LibraryBoard::load(const QString& file, std::string& problem) {
    problem.clear();
    if (!QFileInfo::exists(file)) return nullptr;
    std::unique_ptr<LibraryBoard> board(new LibraryBoard);
    board->library_.setFileName(file);
    // Every symbol resolved now: a library whose own dependencies are missing
    // is refused here instead of ending the program at its first call.
    board->library_.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!board->library_.load()) {
        problem = "De kaartbibliotheek " + file.toStdString() + kUnusableLibrary + " (" +
                  board->library_.errorString().toStdString() + ")";
        return nullptr;
    }
    std::string missing;
    auto resolve = [&](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(board->library_.resolve(name));
        if (!function) missing += std::string(missing.empty() ? "" : ", ") + name;
    };
    resolve(board->open_, "OpenDevice");
    resolve(board->outputAllAnalog_, "OutputAllAnalog");
    resolve(board->readAllDigital_, "ReadAllDigital");
    resolve(board->setDigitalChannel_, "SetDigitalChannel");
    resolve(board->clearAllDigital_, "ClearAllDigital");
    resolve(board->readAnalogChannel_, "ReadAnalogChannel");
    if (!missing.empty()) {
        problem = "De kaartbibliotheek " + file.toStdString() + kUnusableLibrary + " (ontbreekt: " + missing + ")";
        return nullptr;
    }
    return board;
}

LibraryBoard::~LibraryBoard() = default;  // the library stays loaded until the process ends

}  // namespace blokpost
