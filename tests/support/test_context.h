#pragma once
#include "core/context.h"
#include "protocols/spi.h"
#include "support/scripted_ui.h"

namespace merlinox::testing {

// A programmer whose boxes and messages all go to one scripted user interface.
struct TestContext : Context {
    explicit TestContext(ScriptedUi& ui) : Context(ui, ui) { link.spiSync = &SPISync; }
};

}  // namespace merlinox::testing
