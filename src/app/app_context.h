#pragma once
#include "app/messages.h"
#include "core/context.h"
#include "protocols/spi.h"

namespace merlinox::inline app {

// A programmer as the window and the command line run it: its messages shown by the
// application's helpers, and PowerOn ending the serial modes with the real
// synchronisation.
struct AppContext : Context {
    explicit AppContext(UserInterface& userInterface)
        : Context(userInterface, standardMessages), standardMessages(userInterface, settings) {
        link.spiSync = &SPISync;
    }

    StandardMessages standardMessages;
};

}  // namespace merlinox::inline app
