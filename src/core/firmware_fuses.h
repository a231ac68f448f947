#pragma once
#include <array>
#include <cstdint>
#include <optional>

namespace merlinox::inline core {

// The lock and fuse bytes a firmware file carries for the chip (avr-libc's LOCKBITS and
// FUSES), in the panel's order: lock, low, high, extended. A byte the file leaves out is
// empty; the formats without such sections leave them all empty.
struct FirmwareFuses {
    std::array<std::optional<std::uint8_t>, 4> bytes;

    bool Any() const {
        for (const auto& byte : bytes) {
            if (byte) return true;
        }
        return false;
    }
};

}  // namespace merlinox::inline core
