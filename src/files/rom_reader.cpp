#include "core/context.h"
#include "core/message_port.h"
#include "files/hex_text.h"
#include "files/line_messages.h"
#include "files/text_readers.h"

namespace merlinox::inline files {

namespace {

constexpr std::string_view kColonMissing = "Das ':' fehlt in der Zeile";

// The colon where the memory's lines have it, then the length: 7 for "AAAA:DD", 11 for
// "WWWWWW:VVVV". A line of the other memory fails the colon test.
bool IsWellFormed(Context& ctx, std::string_view line, std::size_t colon, std::size_t length) {
    if (line.size() <= colon || line[colon] != ':') {
        ShowInfo(ctx, kColonMissing);
        return false;
    }
    const std::string_view cut = CutLine(line, kCutLimit);
    if (cut.size() != length) {
        ShowLineLengthError(ctx, static_cast<long>(cut.size()), static_cast<long>(length));
        return false;
    }
    return true;
}

// "AAAA:DD": byte address and byte.
LineResult ReadEepromCell(Context& ctx, std::string_view line) {
    if (!IsWellFormed(ctx, line, 4, 7)) return kLineFailed;
    const std::uint32_t address = HexValue(line, 0, 4);
    const auto value = static_cast<std::uint8_t>(HexByte(line, 5));
    if (StoreByte(ctx, ctx.image, address, value) != kLineDone) return kLineFailed;
    RaiseHighestAddress(ctx.image, address);
    return kLineDone;
}

// "WWWWWW:VVVV": word address and word, high byte first in the text, low byte first in
// the image.
LineResult ReadFlashCell(Context& ctx, std::string_view line) {
    if (!IsWellFormed(ctx, line, 6, 11)) return kLineFailed;
    const std::uint32_t low = 2 * HexValue(line, 0, 6);
    RaiseHighestAddress(ctx.image, low + 1);
    const std::uint32_t value = HexValue(line, 7, 4);
    if (low >= MemoryImage::kSize) {
        ctx.image.hasData = true;  // beyond the image, but data: the size check refuses it
        return kLineDone;
    }
    if (StoreByte(ctx, ctx.image, low, static_cast<std::uint8_t>(value)) != kLineDone ||
        StoreByte(ctx, ctx.image, low + 1, static_cast<std::uint8_t>(value >> 8)) != kLineDone) {
        return kLineFailed;
    }
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

}  // namespace merlinox::inline files
