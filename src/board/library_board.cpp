#include "board/library_board.h"

#include <QFileInfo>

namespace blokpost {

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
    if (!board->library_.load()) {
        problem = "Board library " + file.toStdString() + " cannot be loaded: " +
                  board->library_.errorString().toStdString();
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
        problem = "Board library " + file.toStdString() + " lacks " + missing + "; it is not used.";
        return nullptr;
    }
    return board;
}

LibraryBoard::~LibraryBoard() = default;  // the library stays loaded until the process ends

}  // namespace blokpost
