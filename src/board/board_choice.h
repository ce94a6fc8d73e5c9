#pragma once

#include "base/paths.h"
#include "board/driver_board.h"

#include <memory>
#include <string>

namespace blokpost {

// The board library in the data folder when there is a usable one, else the
// program's own driver. A library that cannot be used is described in `problem`.
std::unique_ptr<Board> chooseBoard(const DataPaths& paths, std::string& problem,
                                   DriverBoard::Opener usbOpener = {});
// The own driver's way to the board: the K8055 on this machine's USB bus.
DriverBoard::Opener usbBoardOpener();

}  // namespace blokpost
