#include "board/board_choice.h"

#include "board/k8055_usb_board.h"
#include "board/libusb_transport.h"
#include "board/library_board.h"

namespace blokpost {

std::unique_ptr<Board> chooseBoard(const DataPaths& paths, std::string& problem, DriverBoard::Opener usbOpener) {
    if (auto library = LibraryBoard::load(paths.find(boardLibraryName()), problem)) return library;
    return std::make_unique<DriverBoard>(std::move(usbOpener));
}

DriverBoard::Opener usbBoardOpener() { return k8055Opener(openLibusbTransport); }

}  // namespace blokpost
