#include "operations/cell_access.h"

#include "core/context.h"
#include "operations/interface_ops.h"
#include "protocols/parallel.h"

namespace merlinox::inline operations {

// Without a mode there is nothing to read: the cell shows as blank.
std::uint16_t ReadFlashWordAt(Context& ctx, std::uint32_t wordAddress) {
    const InterfaceOps* ops = FindInterfaceOps(ctx.device.programmingMode);
    return ops != nullptr ? ops->flash.read(ctx, wordAddress) : 0xFFFF;
}

std::uint8_t ReadEepromByteAt(Context& ctx, std::uint32_t address) {
    const InterfaceOps* ops = FindInterfaceOps(ctx.device.programmingMode);
    return ops != nullptr ? static_cast<std::uint8_t>(ops->eeprom.read(ctx, address)) : 0xFF;
}

std::uint16_t ReadCellAt(Context& ctx, MemoryKind kind, std::uint32_t address) {
    return kind == kFlash ? ReadFlashWordAt(ctx, address) : ReadEepromByteAt(ctx, address);
}

void LoadReadCommand(Context& ctx, MemoryKind kind) {
    const MemoryAccess& memory = MemoryOf(ctx, kind);
    if (memory.prepareRead != nullptr) memory.prepareRead(ctx);
}

void ParLoadEepromAddress(Context& ctx, std::uint32_t address) {
    if (ctx.device.eepromBytes < 256) {
        ParLoadAddressLow(ctx, static_cast<std::uint8_t>(address));
    } else {
        ParLoadAddress(ctx, static_cast<std::uint16_t>(address));
    }
}

}  // namespace merlinox::inline operations
