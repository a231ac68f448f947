#pragma once
#include <array>
#include <cstdint>

#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

struct ChipFuseBytes;

// What each interface family does for the operations, one row per family: the
// operations look the row up from the device's mode and call it, so that a new mode of
// an existing family needs nothing here, and a new family needs one row.

// Writing a memory page by page: open the page where the family needs that, load its
// cells into the chip's page buffer, then write the page at the address of its last
// cell. Addresses are cut to the width the family's page instructions take.
struct PageWrite {
    void (*open)(Context& ctx) = nullptr;  // null: nothing to send before the cells
    void (*load)(Context& ctx, std::uint32_t address, std::uint16_t value) = nullptr;
    void (*write)(Context& ctx, std::uint32_t lastAddress) = nullptr;
    std::uint32_t addressMask = 0xFFFFFFFF;
};

// How a family reaches one memory, whose cells are flash words or EEPROM bytes.
struct MemoryAccess {
    std::uint16_t (*read)(Context& ctx, std::uint32_t address) = nullptr;
    // Written cell by cell (pages null): the write, and whether each written cell is
    // read back and compared.
    void (*write)(Context& ctx, std::uint32_t address, std::uint16_t value) = nullptr;
    bool readBack = false;
    const PageWrite* pages = nullptr;
    // The command a pass over the memory loads first; null where there is none.
    void (*prepareRead)(Context& ctx) = nullptr;
    void (*prepareWrite)(Context& ctx) = nullptr;
};

using ChipSignature = std::array<std::uint8_t, 3>;

struct InterfaceOps {
    MemoryAccess flash;
    MemoryAccess eeprom;
    ChipSignature (*readSignature)(Context& ctx);
    bool (*erase)(Context& ctx);  // false: failed, or cancelled during the erase delay
    // kOk, or kProgrammingFailed when a read-back showed other bits (message shown).
    int (*writeFuses)(Context& ctx);
    int (*writeLock)(Context& ctx);
    int (*readFuses)(Context& ctx, ChipFuseBytes& out);  // kOk or kProgrammingFailed
};

// The row of the mode's family; null without a programming mode.
const InterfaceOps* FindInterfaceOps(std::int32_t mode);

// The row of the current device, for the operations behind the mode guard. A device
// without a mode (which the guard turns away first) gets the paged SPI row, so that no
// caller ever meets a missing row.
const InterfaceOps& InterfaceOf(const Context& ctx);
const MemoryAccess& MemoryOf(const Context& ctx, MemoryKind kind);

}  // namespace merlinox::inline operations
