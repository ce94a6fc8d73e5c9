#include "board/board_choice.h"

#include "board/library_board.h"

namespace blokpost {

std::unique_ptr<Board> chooseBoard(const DataPaths& paths, std::string& problem, DriverBoard::Opener usbOpener) {
    if (auto library = LibraryBoard::load(paths.find(boardLibraryName()), problem)) return library;
    return std::make_unique<DriverBoard>(std::move(usbOpener));
}

}  // namespace blokpost
