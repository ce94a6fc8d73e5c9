#pragma once
// The real USB connection through libusb-1.0. The kernel's generic HID layer
// leaves this board alone (no hidraw node), so the program claims the
// interface itself, taking it from a data-acquisition driver that holds it.

#include "board/usb_transport.h"

namespace blokpost {

// Finds the board with card address 0..3 on the bus and claims it; null when
// it is absent, and `problem` names what went wrong when it is present but
// cannot be used (no permission, interface busy).
std::unique_ptr<UsbTransport> openLibusbTransport(int address, std::string& problem);

}  // namespace blokpost
