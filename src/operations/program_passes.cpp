#include <cstdint>

#include "core/context.h"
#include "core/message_port.h"
#include "operations/interface_ops.h"
#include "operations/programming.h"
#include "operations/progress.h"

namespace merlinox::inline operations {

namespace {

// Image access that stays inside the image: a page may reach past the last loaded
// cell, and those cells are blank.
std::uint8_t ImageByte(const Context& ctx, std::uint32_t i) {
    return i < MemoryImage::kSize ? ctx.image.bytes[i] : 0xFF;
}

std::uint16_t ImageWord(const Context& ctx, std::uint32_t i) {
    return static_cast<std::uint16_t>(ImageByte(ctx, i) | (ImageByte(ctx, i + 1) << 8));
}

std::uint32_t Highest(const Context& ctx) {
    const std::uint32_t h = ctx.image.highestAddress;
    return h < MemoryImage::kSize ? h : MemoryImage::kSize - 1;
}

// A pass walks the image in cells of its memory: a flash word is two image bytes.
struct CellWalk {
    explicit CellWalk(MemoryKind memory) : kind(memory) {}

    std::uint32_t Step() const { return kind == kFlash ? 2 : 1; }
    std::uint32_t Address(std::uint32_t i) const { return i / Step(); }
    std::uint16_t Blank() const { return kind == kFlash ? 0xFFFF : 0xFF; }
    std::uint16_t Value(const Context& ctx, std::uint32_t i) const {
        return kind == kFlash ? ImageWord(ctx, i) : ImageByte(ctx, i);
    }

    MemoryKind kind;
};

// The read-back reports: kIdRetry goes on with the next cell, kIdCancel ends the pass.
// A pass that reported anything fails at its end all the same, so that a run whose
// every report was answered with Retry does not close with "Keine Fehler beim Brennen"
// (and the command line does not exit with 0); the verify passes count the same way.
int ReportCell(Context& ctx, MemoryKind kind, std::uint32_t address, std::uint16_t expected,
               std::uint16_t read) {
    if (kind == kFlash) {
        return AskRetryCancel(
            ctx, ctx.messageBuffer.Format("Programmspeicher Fehler !!\nAdresse: 0x%06lX\n\n"
                                          "Richtig: 0x%04X\nGelesen: 0x%04X\n",
                                          static_cast<unsigned long>(address), expected, read));
    }
    return AskRetryCancel(
        ctx, ctx.messageBuffer.Format("Daten-EEPROM Fehler !!\nAdresse: 0x%04lX\n\n"
                                      "Richtig: 0x%02X\nGelesen: 0x%02X\n",
                                      static_cast<unsigned long>(address), expected, read));
}

// Reads a written cell back; a difference is reported. False when the report was
// answered with Cancel.
bool ReadBack(Context& ctx, const MemoryAccess& memory, MemoryKind kind, std::uint32_t address,
              std::uint16_t written, bool& reported) {
    const std::uint16_t read = memory.read(ctx, address);
    if (read == written) return true;
    reported = true;
    return ReportCell(ctx, kind, address, written, read) != kIdCancel;
}

// Cell by cell: each non-blank cell is written and, where the family can, read back.
int ProgramCells(Context& ctx, MemoryKind kind, const MemoryAccess& memory) {
    const CellWalk walk(kind);
    const std::uint32_t h = Highest(ctx);
    bool reported = false;
    for (std::uint32_t i = 0; i <= h; i += walk.Step()) {
        const std::uint16_t value = walk.Value(ctx, i);
        if (value != walk.Blank()) {
            memory.write(ctx, walk.Address(i), value);
            if (memory.readBack && !ReadBack(ctx, memory, kind, walk.Address(i), value, reported)) {
                return kProgrammingFailed;
            }
        }
        StepProgress(ctx);
        if (CancelRequested(ctx)) return kProgrammingFailed;
    }
    return reported ? kProgrammingFailed : kOk;
}

// Page by page, blank cells included; the last cell of each page is read back.
int ProgramPages(Context& ctx, MemoryKind kind, const MemoryAccess& memory) {
    const PageWrite& pages = *memory.pages;
    const std::uint32_t pageCells =
        kind == kFlash ? ctx.device.flashPageWords : ctx.device.eepromPageBytes;
    if (pageCells == 0) return kProgrammingFailed;
    const CellWalk walk(kind);
    const std::uint32_t h = Highest(ctx);
    bool reported = false;
    for (std::uint32_t i = 0; i <= h;) {
        if (pages.open != nullptr) pages.open(ctx);
        std::uint32_t lastAddress = 0;
        std::uint16_t lastValue = walk.Blank();
        for (std::uint32_t k = 0; k < pageCells; ++k) {
            lastAddress = walk.Address(i) & pages.addressMask;
            lastValue = walk.Value(ctx, i);
            pages.load(ctx, lastAddress, lastValue);
            i += walk.Step();
            StepProgress(ctx);
            // A page can be as long as the library line says: Cancel is looked at
            // inside it too.
            if (CancelRequested(ctx)) return kProgrammingFailed;
        }
        pages.write(ctx, lastAddress);
        if (!ReadBack(ctx, memory, kind, lastAddress, lastValue, reported)) {
            return kProgrammingFailed;
        }
        if (CancelRequested(ctx)) return kProgrammingFailed;
    }
    return reported ? kProgrammingFailed : kOk;
}

}  // namespace

int ProgramMemory(Context& ctx, MemoryKind kind) {
    const MemoryAccess& memory = MemoryOf(ctx, kind);
    return memory.pages != nullptr ? ProgramPages(ctx, kind, memory)
                                   : ProgramCells(ctx, kind, memory);
}

}  // namespace merlinox::inline operations
