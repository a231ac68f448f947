#pragma once
#include "core/board_link.h"
#include "core/device_record.h"
#include "core/message_port.h"
#include "core/port_access.h"

namespace merlinox::inline core {

// What the board link and the programming protocols work with: the port, the link
// state with its latch shadows, time-out and priority, the message port and the device
// record that picks the sequences. Tests and benchmarks of those layers build one of
// these without the rest of a programmer.
struct LinkContext : MessageContext {
    explicit LinkContext(MessagePort& port) : MessageContext(port) {}

    PortAccess* port = nullptr;  // null until port access is set up
    BoardLink link;
    DeviceRecord device;
};

}  // namespace merlinox::inline core
