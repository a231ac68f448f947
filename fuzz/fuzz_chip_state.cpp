// The chip state file is outside input: whatever it holds, parsing must not crash and a
// state it accepts must format and parse back to the same contents.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/chip_state_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<merlinox::sim::ChipState> state =
        merlinox::sim::ParseChipState(text, error);
    if (!state) {
        if (error.empty()) std::abort();
        return 0;
    }
    const std::string again = merlinox::sim::FormatChipState(*state->facts, state->contents);
    const std::optional<merlinox::sim::ChipState> reparsed =
        merlinox::sim::ParseChipState(again, error);
    if (!reparsed || reparsed->facts != state->facts ||
        reparsed->contents.flash != state->contents.flash ||
        reparsed->contents.eeprom != state->contents.eeprom ||
        reparsed->contents.lock != state->contents.lock)
        std::abort();
    return 0;
}
