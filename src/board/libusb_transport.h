#pragma once
// The real USB connection through libusb-1.0's asynchronous interface. The
// kernel's generic HID layer leaves this board alone (no hidraw node), so the
// program claims the interface itself, taking it from a data-acquisition
// driver that holds it.

#include "board/usb_transport.h"

namespace blokpost {

// Finds the board with card address 0..3 on the bus, checks its endpoints
// and claims it; null when it is absent, and `problem` says in the operator's
// words what went wrong when it is present but cannot be used.
std::unique_ptr<UsbTransport> openLibusbTransport(int address, std::string& problem);

}  // namespace blokpost
