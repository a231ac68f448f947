#include "core/context.h"
#include "files/hex_text.h"
#include "files/line_messages.h"
#include "files/text_readers.h"

namespace merlinox::inline files {

namespace {

constexpr std::uint32_t kData = 0x00;
constexpr std::uint32_t kEndOfFile = 0x01;
constexpr std::uint32_t kSegmentAddress = 0x02;
constexpr std::uint32_t kLinearAddress = 0x04;

}  // namespace

// One record per line: ':', byte count c, 16-bit address, type, c payload bytes,
// checksum; all bytes of the record add up to 0 modulo 256.
LineResult ReadIntelLine(Context& ctx) {
    std::string_view line;
    const LineResult next = NextInputLine(ctx, line);
    if (next != kLineDone) return next;  // the end of the file ends the records too

    MemoryImage& image = ctx.image;
    if (line.empty() || line[0] != ':') {
        ShowLineStartError(ctx);
        return kLineFailed;
    }
    const std::uint32_t count = HexByte(line, 1);
    const std::uint32_t type = HexByte(line, 7);
    std::uint32_t sum = count + type;
    if (type == kEndOfFile && count == 0) return kLineEnd;  // nothing else of it is examined

    const std::string_view cut = CutLine(line, kCutLimit);
    const long expected = 2 * static_cast<long>(count) + 11;
    if (static_cast<long>(cut.size()) != expected) {
        ShowLineLengthError(ctx, static_cast<long>(cut.size()), expected);
        return kLineFailed;
    }
    const std::uint32_t address = HexValue(line, 3, 4);
    sum += (address >> 8) + (address & 0xFF);
    // A record that leaves highestAddress at 0 (a lone byte at address 0, an empty record
    // first) goes on: the records after it may hold the data, and a file that has none is
    // refused with the no-data message once it ends.
    if (count == 0 || type == kEndOfFile) return kLineDone;

    if (type == kSegmentAddress) image.hexAddressBase = HexValue(line, 9, 4) * 16;
    if (type == kLinearAddress) image.hexAddressBase = HexValue(line, 9, 4) * 65536;
    // 64 bits: base plus address plus count may pass the 32-bit limit, and must not wrap
    // around into the image.
    std::uint64_t target = static_cast<std::uint64_t>(address) + image.hexAddressBase;
    std::uint8_t payload[255];
    HexBytes(line, 9, count, payload);
    for (std::uint32_t i = 0; i < count; ++i) sum += payload[i];
    if (type == kData) {
        for (std::uint32_t i = 0; i < count; ++i, ++target) {
            if (StoreByte(ctx, ctx.image, target, payload[i]) != kLineDone) return kLineFailed;
        }
        RaiseHighestAddress(image, target - 1);
    } else {
        RaiseHighestAddress(image, target);  // a linear address record alone raises it to its base
    }

    if (ctx.settings.testChecksum != 0) {
        const unsigned computed = (0u - sum) & 0xFF;
        const unsigned found = HexByte(line, 9 + 2 * count);
        if (found != computed) {
            ShowChecksumError(ctx, found, computed);
            return kLineFailed;
        }
    }
    if (type == kSegmentAddress || type == kLinearAddress) return kLineSkipped;
    return kLineDone;
}

}  // namespace merlinox::inline files
