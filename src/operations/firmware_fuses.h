#pragma once
#include <array>
#include <cstdint>
#include <optional>

namespace merlinox::inline core {
struct Context;
class MessageBuffer;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// The fuse and lock bytes that the flash file of the run brought (ELF firmware with
// avr-libc's FUSES and LOCKBITS), as the run writes them: the bits the device does not
// have are forced to 1, as the panel and `fuses --set` force them. In the panel's order:
// lock, low, high, extended; a byte the file leaves out is empty.
std::array<std::optional<std::uint8_t>, 4> FirmwareFuseValues(const Context& ctx);

// The programming confirmation's line naming those bytes; nothing when there are none.
void AppendFirmwareFuses(const Context& ctx, MessageBuffer& buffer);

// Makes those bytes the device's settings, which the fuse and lock pass writes and the
// configuration keeps, as `fuses --set` would.
void ApplyFirmwareFuses(Context& ctx);

}  // namespace merlinox::inline operations
