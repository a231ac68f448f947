#include "operations/cell_access.h"

#include "core/context.h"
#include "operations/mode_guard.h"
#include "protocols/hv_serial.h"
#include "protocols/parallel.h"
#include "protocols/spi.h"

namespace merlinox {

namespace {

constexpr std::uint8_t kParReadFlash = 0x02;
constexpr std::uint8_t kParReadEeprom = 0x03;

}  // namespace

std::uint16_t ReadFlashWordAt(Context& ctx, std::uint32_t wordAddress) {
    switch (ctx.device.programmingMode) {
    case kPar1:
    case kPar2:
        ParLoadAddress(ctx, static_cast<std::uint16_t>(wordAddress));
        return ParReadWord(ctx);
    case kPar3:
        return Par3ReadAVRWord(ctx, static_cast<std::uint16_t>(wordAddress));
    case kPar4:
        return Par4ReadAVRWord(ctx, static_cast<std::uint16_t>(wordAddress));
    case kSpi1:
    case kSpi2:
    case kMspi1:
    case kMspi2:
        return SpiReadAVRWord(ctx, wordAddress);
    default:
        return 0xFFFF;
    }
}

std::uint8_t ReadEepromByteAt(Context& ctx, std::uint32_t address) {
    switch (ctx.device.programmingMode) {
    case kPar1:
    case kPar2:
        ParLoadEepromAddress(ctx, address);
        return ParReadByteLow(ctx);
    case kPar3:
        return Par3ReadAVRByte(ctx, static_cast<std::uint8_t>(address));
    case kPar4:
        return Par4ReadAVRByte(ctx, static_cast<std::uint16_t>(address));
    case kSpi1:
    case kSpi2:
    case kMspi1:
    case kMspi2:
        return SpiReadAVRByte(ctx, address);
    default:
        return 0xFF;
    }
}

std::uint16_t ReadCellAt(Context& ctx, MemoryKind kind, std::uint32_t address) {
    return kind == kFlash ? ReadFlashWordAt(ctx, address) : ReadEepromByteAt(ctx, address);
}

void LoadReadCommand(Context& ctx, MemoryKind kind) {
    if (!IsParallelMode(ctx.device.programmingMode)) return;
    ParLoadCommand(ctx, kind == kFlash ? kParReadFlash : kParReadEeprom);
}

void ParLoadEepromAddress(Context& ctx, std::uint32_t address) {
    if (ctx.device.eepromBytes < 256) {
        ParLoadAddressLow(ctx, static_cast<std::uint8_t>(address));
    } else {
        ParLoadAddress(ctx, static_cast<std::uint16_t>(address));
    }
}

}  // namespace merlinox
