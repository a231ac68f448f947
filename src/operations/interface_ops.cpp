#include "operations/interface_ops.h"

#include "core/context.h"
#include "core/programming_interface.h"
#include "core/result_code.h"
#include "link/timing.h"
#include "operations/cell_access.h"
#include "operations/family_steps.h"
#include "protocols/fuse_bytes.h"
#include "protocols/hv_serial.h"
#include "protocols/parallel.h"
#include "protocols/spi.h"

namespace merlinox::inline operations {

namespace {

constexpr std::uint8_t kParReadFlash = 0x02;
constexpr std::uint8_t kParReadEeprom = 0x03;
constexpr std::uint8_t kParWriteFlash = 0x10;
constexpr std::uint8_t kParWriteEeprom = 0x11;

using Address = std::uint32_t;
using Cell = std::uint16_t;

// The fuse and lock writes of the serial families, which have nothing to check after:
// the bytes the settings hold, written as one byte or as all the device has.
template <auto Write>
int WriteLockThenOk(Context& ctx) {
    Write(ctx, ctx.settings.lockBits);
    return kOk;
}

template <auto Write>
int WriteFusesThenOk(Context& ctx) {
    Write(ctx, FuseBytes{ctx.settings.fuseLow, ctx.settings.fuseHigh, ctx.settings.fuseExt});
    return kOk;
}

int WriteFuseLowThenOk(Context& ctx) {
    Par3WriteFuseBits(ctx, ctx.settings.fuseLow);
    return kOk;
}

constexpr InterfaceOps kParallel = {
    .flash = {
        .read = [](Context& c, Address a) -> Cell {
            ParLoadAddress(c, static_cast<std::uint16_t>(a));
            return ParReadWord(c);
        },
        .write =
            [](Context& c, Address a, Cell w) {
                ParLoadAddress(c, static_cast<std::uint16_t>(a));
                ParWriteWord(c, w);
            },
        .prepareRead = [](Context& c) { ParLoadCommand(c, kParReadFlash); },
        .prepareWrite = [](Context& c) { ParLoadCommand(c, kParWriteFlash); },
    },
    .eeprom = {
        .read = [](Context& c, Address a) -> Cell {
            ParLoadEepromAddress(c, a);
            return ParReadByteLow(c);
        },
        .write =
            [](Context& c, Address a, Cell b) {
                ParLoadEepromAddress(c, a);
                ParWriteByte(c, static_cast<std::uint8_t>(b));
            },
        .prepareRead = [](Context& c) { ParLoadCommand(c, kParReadEeprom); },
        .prepareWrite = [](Context& c) { ParLoadCommand(c, kParWriteEeprom); },
    },
    .readSignature = &ReadSignatureParallel,
    .erase = &EraseParallel,
    .writeFuses = &WriteFusesParallel,
    .writeLock = &WriteLockParallel,
    .readFuses = &ReadFusesParallel,
};

constexpr InterfaceOps kHighVoltageSerial = {
    .flash = {
        .read = [](Context& c, Address a) -> Cell {
            return Par3ReadAVRWord(c, static_cast<std::uint16_t>(a));
        },
        .write = [](Context& c, Address a,
                    Cell w) { Par3WriteAVRWord(c, static_cast<std::uint16_t>(a), w); },
        .readBack = true,
    },
    .eeprom = {
        .read = [](Context& c, Address a) -> Cell {
            return Par3ReadAVRByte(c, static_cast<std::uint8_t>(a));
        },
        .write =
            [](Context& c, Address a, Cell b) {
                Par3WriteAVRByte(c, static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b));
            },
        .readBack = true,
    },
    .readSignature = &ReadSignatureHighVoltage,
    .erase = &EraseHighVoltageSerial,
    .writeFuses = &WriteFuseLowThenOk,
    .writeLock = &WriteLockThenOk<&Par3WriteLockBits>,
    .readFuses = &ReadFusesHighVoltageSerial,
};

// After the page write, "no operation" ends the write instruction before the read-back.
constexpr PageWrite kHighVoltageFlashPages = {
    .open = [](Context& c) { Par4LoadWriteFlashCommand(c); },
    .load = [](Context& c, Address a,
               Cell w) { Par4WriteAVRWord(c, static_cast<std::uint16_t>(a), w); },
    .write =
        [](Context& c, Address last) {
            Par4StartWritePageAVRWord(c, static_cast<std::uint16_t>(last));
            Par4LoadNoOperation(c);
        },
    .addressMask = 0xFFFF,
};

constexpr PageWrite kHighVoltageEepromPages = {
    .open = [](Context& c) { Par4LoadWriteEepromCommand(c); },
    .load =
        [](Context& c, Address a, Cell b) {
            Par4LoadPageAVRByte(c, static_cast<std::uint16_t>(a), static_cast<std::uint8_t>(b));
        },
    .write =
        [](Context& c, Address last) {
            Par4StartWritePageAVRByte(c, static_cast<std::uint16_t>(last));
            Par4LoadNoOperation(c);
        },
    .addressMask = 0xFFFF,
};

constexpr InterfaceOps kHighVoltagePaged = {
    .flash =
        {
            .read = [](Context& c, Address a) -> Cell {
                return Par4ReadAVRWord(c, static_cast<std::uint16_t>(a));
            },
            .readBack = true,
            .pages = &kHighVoltageFlashPages,
        },
    .eeprom =
        {
            .read = [](Context& c, Address a) -> Cell {
                return Par4ReadAVRByte(c, static_cast<std::uint16_t>(a));
            },
            .readBack = true,
            .pages = &kHighVoltageEepromPages,
        },
    .readSignature = &ReadSignatureHighVoltage,
    .erase = &EraseHighVoltagePaged,
    .writeFuses = &WriteFusesThenOk<&Par4WriteFuseBits>,
    .writeLock = &WriteLockThenOk<&Par4WriteLockBits>,
    .readFuses = &ReadFusesHighVoltagePaged,
};

constexpr MemoryAccess kSpiFlashCells = {
    .read = [](Context& c, Address a) -> Cell { return SpiReadAVRWord(c, a); },
    .write = [](Context& c, Address a, Cell w) { SpiWriteAVRWord(c, a, w); },
    .readBack = true,
};

constexpr MemoryAccess kSpiEepromCells = {
    .read = [](Context& c, Address a) -> Cell { return SpiReadAVRByte(c, a); },
    .write = [](Context& c, Address a,
                Cell b) { SpiWriteAVRByte(c, a, static_cast<std::uint8_t>(b)); },
    .readBack = true,
};

constexpr InterfaceOps kSpi = {
    .flash = kSpiFlashCells,
    .eeprom = kSpiEepromCells,
    .readSignature = &ReadSignatureSpi,
    .erase = &EraseSpi,
    .writeFuses = &WriteFusesThenOk<&SpiWriteFuseBits>,
    .writeLock = &WriteLockThenOk<&SpiWriteLockBits>,
    .readFuses = &ReadFusesSpi,
};

// The page is written after the flash write delay, not polled.
constexpr PageWrite kSpiFlashPages = {
    .load = [](Context& c, Address a, Cell w) { SpiLoadPageAVRWord(c, a, w); },
    .write =
        [](Context& c, Address last) {
            SpiWritePageAVRWord(c, last);
            Wait100us(c, c.device.flashWriteDelay);
        },
};

// Only the flash has a page buffer; the EEPROM goes byte by byte as in the SPI modes.
constexpr InterfaceOps kPagedSpi = {
    .flash =
        {
            .read = kSpiFlashCells.read,
            .readBack = true,
            .pages = &kSpiFlashPages,
        },
    .eeprom = kSpiEepromCells,
    .readSignature = kSpi.readSignature,
    .erase = kSpi.erase,
    .writeFuses = kSpi.writeFuses,
    .writeLock = kSpi.writeLock,
    .readFuses = kSpi.readFuses,
};

}  // namespace

const InterfaceOps* FindInterfaceOps(std::int32_t mode) {
    switch (InterfaceFamilyOf(mode)) {
    case InterfaceFamily::kParallel:
        return &kParallel;
    case InterfaceFamily::kHighVoltageSerial:
        return &kHighVoltageSerial;
    case InterfaceFamily::kHighVoltagePaged:
        return &kHighVoltagePaged;
    case InterfaceFamily::kSpi:
        return &kSpi;
    case InterfaceFamily::kPagedSpi:
        return &kPagedSpi;
    case InterfaceFamily::kNone:
        break;
    }
    return nullptr;
}

const InterfaceOps& InterfaceOf(const Context& ctx) {
    const InterfaceOps* ops = FindInterfaceOps(ctx.device.programmingMode);
    return ops != nullptr ? *ops : kPagedSpi;
}

const MemoryAccess& MemoryOf(const Context& ctx, MemoryKind kind) {
    const InterfaceOps& ops = InterfaceOf(ctx);
    return kind == kFlash ? ops.flash : ops.eeprom;
}

}  // namespace merlinox::inline operations
