#pragma once
#include "core/context.h"
#include "support/scripted_ui.h"

namespace merlinox::testing {

// A programmer whose boxes and messages all go to one scripted user interface. PowerOn
// ends the serial modes without a synchronisation: the rigs that power SPI chips
// install the protocols' one.
struct TestContext : Context {
    explicit TestContext(ScriptedUi& ui) : Context(ui, ui) {}
};

}  // namespace merlinox::testing
