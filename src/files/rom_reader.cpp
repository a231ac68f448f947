#include "app/context.h"
#include "app/messages.h"
#include "files/hex_text.h"
#include "files/line_messages.h"
#include "files/text_readers.h"

namespace merlinox {

namespace {

constexpr std::string_view kColonMissing = "Das ':' fehlt in der Zeile";

// "AAAA:DD": byte address and byte.
LineResult ReadEepromCell(Context& ctx, std::string_view line) {
    if (line.size() <= 4 || line[4] != ':') {
        ShowInfo(ctx, kColonMissing);
        return kLineFailed;
    }
    const std::string_view cut = CutLine(line, kCutLimit);
    if (cut.size() != 7) {
        ShowLineLengthError(ctx, static_cast<long>(cut.size()), 7);
        return kLineFailed;
    }
    const std::uint32_t address = HexValue(line, 0, 4);
    const std::uint32_t value = HexByte(line, 5);
    if (StoreByte(ctx, ctx.image, address, static_cast<std::uint8_t>(value)) != kLineDone)
        return kLineFailed;
    RaiseHighestAddress(ctx.image, address);
    return kLineDone;
}

// "WWWWWW:VVVV": word address and word, high byte first in the text, low byte first in
// the image.
LineResult ReadFlashCell(Context& ctx, std::string_view line) {
    if (line.size() <= 6 || line[6] != ':') {
        ShowInfo(ctx, kColonMissing);
        return kLineFailed;
    }
    const std::string_view cut = CutLine(line, kCutLimit);
    if (cut.size() != 11) {
        ShowLineLengthError(ctx, static_cast<long>(cut.size()), 11);
        return kLineFailed;
    }
    const std::uint32_t word = HexValue(line, 0, 6);
    const std::uint32_t low = 2 * word;
    RaiseHighestAddress(ctx.image, low + 1);
    const std::uint32_t value = HexValue(line, 7, 4);
    if (low >= MemoryImage::kSize) return kLineDone;
    if (StoreByte(ctx, ctx.image, low, static_cast<std::uint8_t>(value & 0xFF)) != kLineDone)
        return kLineFailed;
    if (StoreByte(ctx, ctx.image, low + 1, static_cast<std::uint8_t>(value >> 8)) != kLineDone)
        return kLineFailed;
    return kLineDone;
}

}  // namespace

// One cell per line; whether a line is a flash word or an EEPROM byte depends only on
// the memory being loaded. No checksum, no end record.
LineResult ReadROMLine(Context& ctx, MemoryKind kind) {
    std::string_view line;
    const LineResult next = NextInputLine(ctx, line);
    if (next != kLineDone) return next;
    return kind == kEeprom ? ReadEepromCell(ctx, line) : ReadFlashCell(ctx, line);
}

}  // namespace merlinox
