#include "board/driver_board.h"

namespace blokpost {

std::int32_t DriverBoard::OpenDevice(std::int32_t address) {
    if (!opener_) return -1;
    std::unique_ptr<Board> device = opener_(address);
    if (!device) return -1;
    device_ = std::move(device);
    return 0;
}

}  // namespace blokpost
