#include <cstdint>

#include "core/context.h"
#include "core/message_port.h"
#include "link/timing.h"
#include "operations/cell_access.h"
#include "operations/programming.h"
#include "operations/progress.h"
#include "protocols/hv_serial.h"
#include "protocols/parallel.h"
#include "protocols/spi.h"

namespace merlinox {

namespace {

constexpr int kPassFailed = 7;

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

// The read-back reports: kIdRetry goes on with the next cell, kIdCancel ends the pass.
// A pass that reported anything fails at its end all the same, so that a run whose
// every report was answered with Retry does not close with "Keine Fehler beim Brennen"
// (and the command line does not exit with 0); the verify passes count the same way.
int ReportWord(Context& ctx, std::uint32_t wordAddress, std::uint16_t expected,
               std::uint16_t read) {
    return AskRetryCancel(
        ctx, ctx.messageBuffer.Format("Programmspeicher Fehler !!\nAdresse: 0x%06lX\n\n"
                                      "Richtig: 0x%04X\nGelesen: 0x%04X\n",
                                      static_cast<unsigned long>(wordAddress), expected, read));
}

int ReportByte(Context& ctx, std::uint32_t address, std::uint8_t expected, std::uint8_t read) {
    return AskRetryCancel(
        ctx, ctx.messageBuffer.Format("Daten-EEPROM Fehler !!\nAdresse: 0x%04lX\n\n"
                                      "Richtig: 0x%02X\nGelesen: 0x%02X\n",
                                      static_cast<unsigned long>(address), expected, read));
}

// The chip operations of a cell-by-cell pass with read-back (PAR3 and SPI).
struct CellOps {
    void (*writeWord)(Context&, std::uint32_t, std::uint16_t);
    std::uint16_t (*readWord)(Context&, std::uint32_t);
    void (*writeByte)(Context&, std::uint32_t, std::uint8_t);
    std::uint8_t (*readByte)(Context&, std::uint32_t);
};

const CellOps kPar3Ops = {
    [](Context& c, std::uint32_t a, std::uint16_t w) {
        Par3WriteAVRWord(c, static_cast<std::uint16_t>(a), w);
    },
    [](Context& c, std::uint32_t a) { return Par3ReadAVRWord(c, static_cast<std::uint16_t>(a)); },
    [](Context& c, std::uint32_t a, std::uint8_t b) {
        Par3WriteAVRByte(c, static_cast<std::uint8_t>(a), b);
    },
    [](Context& c, std::uint32_t a) { return Par3ReadAVRByte(c, static_cast<std::uint8_t>(a)); },
};

const CellOps kSpiOps = {
    [](Context& c, std::uint32_t a, std::uint16_t w) { SpiWriteAVRWord(c, a, w); },
    [](Context& c, std::uint32_t a) { return SpiReadAVRWord(c, a); },
    [](Context& c, std::uint32_t a, std::uint8_t b) { SpiWriteAVRByte(c, a, b); },
    [](Context& c, std::uint32_t a) { return SpiReadAVRByte(c, a); },
};

// Writes each non-blank cell, reads it back and reports a difference.
int ProgramCellsWithReadBack(Context& ctx, MemoryKind kind, const CellOps& ops) {
    const std::uint32_t h = Highest(ctx);
    bool reported = false;
    for (std::uint32_t i = 0; i <= h;) {
        if (kind == kFlash) {
            const std::uint16_t word = ImageWord(ctx, i);
            if (word != 0xFFFF) {
                ops.writeWord(ctx, i / 2, word);
                const std::uint16_t read = ops.readWord(ctx, i / 2);
                if (read != word) {
                    reported = true;
                    if (ReportWord(ctx, i / 2, word, read) == kIdCancel) return kPassFailed;
                }
            }
            i += 2;
        } else {
            const std::uint8_t byte = ImageByte(ctx, i);
            if (byte != 0xFF) {
                ops.writeByte(ctx, i, byte);
                const std::uint8_t read = ops.readByte(ctx, i);
                if (read != byte) {
                    reported = true;
                    if (ReportByte(ctx, i, byte, read) == kIdCancel) return kPassFailed;
                }
            }
            i += 1;
        }
        StepProgress(ctx);
        if (CancelRequested(ctx)) return kPassFailed;
    }
    return reported ? kPassFailed : 0;
}

// The EEPROM of the SPI modes, byte by byte with read-back (also used by MSPI).
int ProgramSpiEeprom(Context& ctx) { return ProgramCellsWithReadBack(ctx, kEeprom, kSpiOps); }

}  // namespace

int ProgramPar12(Context& ctx, MemoryKind kind) {
    const std::uint32_t h = Highest(ctx);
    for (std::uint32_t i = 0; i <= h;) {
        if (kind == kFlash) {
            const std::uint16_t word = ImageWord(ctx, i);
            if (word != 0xFFFF) {
                ParLoadAddress(ctx, static_cast<std::uint16_t>(i / 2));
                ParWriteWord(ctx, word);
            }
            i += 2;
        } else {
            const std::uint8_t byte = ImageByte(ctx, i);
            if (byte != 0xFF) {
                ParLoadEepromAddress(ctx, i);
                ParWriteByte(ctx, byte);
            }
            i += 1;
        }
        StepProgress(ctx);
        if (CancelRequested(ctx)) return kPassFailed;
    }
    return 0;
}

int ProgramPar3(Context& ctx, MemoryKind kind) {
    return ProgramCellsWithReadBack(ctx, kind, kPar3Ops);
}

int ProgramSpi(Context& ctx, MemoryKind kind) {
    return ProgramCellsWithReadBack(ctx, kind, kSpiOps);
}

// PAR4: page by page, blank cells included; the last cell of each page is read back.
int ProgramPar4(Context& ctx, MemoryKind kind) {
    const std::uint32_t h = Highest(ctx);
    if (kind == kFlash) {
        const std::uint32_t pageWords = ctx.device.flashPageWords;
        if (pageWords == 0) return kPassFailed;
        bool reported = false;
        for (std::uint32_t i = 0; i <= h;) {
            Par4LoadWriteFlashCommand(ctx);
            std::uint16_t lastAddress = 0;
            std::uint16_t lastWord = 0xFFFF;
            for (std::uint32_t k = 0; k < pageWords; ++k) {
                lastAddress = static_cast<std::uint16_t>(i / 2);
                lastWord = ImageWord(ctx, i);
                Par4WriteAVRWord(ctx, lastAddress, lastWord);
                i += 2;
                StepProgress(ctx);
                // A page can be as long as the library line says: Cancel is looked at
                // inside it too.
                if (CancelRequested(ctx)) return kPassFailed;
            }
            Par4StartWritePageAVRWord(ctx, lastAddress);
            Par4LoadNoOperation(ctx);
            const std::uint16_t read = Par4ReadAVRWord(ctx, lastAddress);
            if (read != lastWord) {
                reported = true;
                if (ReportWord(ctx, lastAddress, lastWord, read) == kIdCancel) return kPassFailed;
            }
            if (CancelRequested(ctx)) return kPassFailed;
        }
        return reported ? kPassFailed : 0;
    }
    const std::uint32_t pageBytes = ctx.device.eepromPageBytes;
    if (pageBytes == 0) return kPassFailed;
    bool reported = false;
    for (std::uint32_t i = 0; i <= h;) {
        Par4LoadWriteEepromCommand(ctx);
        std::uint16_t lastAddress = 0;
        std::uint8_t lastByte = 0xFF;
        for (std::uint32_t k = 0; k < pageBytes; ++k) {
            lastAddress = static_cast<std::uint16_t>(i);
            lastByte = ImageByte(ctx, i);
            Par4LoadPageAVRByte(ctx, lastAddress, lastByte);
            i += 1;
            StepProgress(ctx);
            if (CancelRequested(ctx)) return kPassFailed;
        }
        Par4StartWritePageAVRByte(ctx, lastAddress);
        Par4LoadNoOperation(ctx);
        const std::uint8_t read = Par4ReadAVRByte(ctx, lastAddress);
        if (read != lastByte) {
            reported = true;
            if (ReportByte(ctx, lastAddress, lastByte, read) == kIdCancel) return kPassFailed;
        }
        if (CancelRequested(ctx)) return kPassFailed;
    }
    return reported ? kPassFailed : 0;
}

// MSPI: the flash page by page through the page buffer, the EEPROM byte by byte.
int ProgramMspi(Context& ctx, MemoryKind kind) {
    if (kind == kEeprom) return ProgramSpiEeprom(ctx);
    const std::uint32_t h = Highest(ctx);
    const std::uint32_t pageWords = ctx.device.flashPageWords;
    if (pageWords == 0) return kPassFailed;
    bool reported = false;
    for (std::uint32_t i = 0; i <= h;) {
        std::uint32_t lastAddress = 0;
        std::uint16_t lastWord = 0xFFFF;
        for (std::uint32_t k = 0; k < pageWords; ++k) {
            lastAddress = i / 2;
            lastWord = ImageWord(ctx, i);
            SpiLoadPageAVRWord(ctx, lastAddress, lastWord);
            i += 2;
            StepProgress(ctx);
            if (CancelRequested(ctx)) return kPassFailed;
        }
        SpiWritePageAVRWord(ctx, lastAddress);
        Wait100us(ctx, ctx.device.flashWriteDelay);
        const std::uint16_t read = SpiReadAVRWord(ctx, lastAddress);
        if (read != lastWord) {
            reported = true;
            if (ReportWord(ctx, lastAddress, lastWord, read) == kIdCancel) return kPassFailed;
        }
        if (CancelRequested(ctx)) return kPassFailed;
    }
    return reported ? kPassFailed : 0;
}

}  // namespace merlinox
