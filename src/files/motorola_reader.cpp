#include "app/context.h"
#include "files/hex_text.h"
#include "files/line_messages.h"
#include "files/text_readers.h"

namespace merlinox {

// One record per line: "S" and the type digit, byte count c (address bytes + data bytes
// + checksum), A address bytes, data, checksum: the complement of the sum of the count,
// address and data bytes.
LineResult ReadMotorolaLine(Context& ctx) {
    std::string_view line;
    const LineResult next = NextInputLine(ctx, line);
    if (next != kLineDone) return EndOfRecords(ctx, next);

    MemoryImage& image = ctx.image;
    const char type = line.size() >= 2 && line[0] == 'S' ? line[1] : '\0';
    if (type == '0') return kLineSkipped;  // header: anything goes
    if (type == '7' || type == '8' || type == '9') return kLineEnd;
    if (type != '1' && type != '2' && type != '3') {
        // Lower-case types, S4 to S6 (the count records among them) and non-records.
        ShowLineStartError(ctx);
        return kLineFailed;
    }
    const std::uint32_t addressBytes = static_cast<std::uint32_t>(type - '0') + 1;
    const std::uint32_t count = HexByte(line, 2);
    if (count == addressBytes + 1) return kLineSkipped;  // a data record without data

    const std::string_view cut = CutLine(line, kCutLimit);
    if (count < addressBytes + 1) {
        // No room for the address and the checksum: refused before anything is read.
        ShowLineLengthError(ctx, static_cast<long>(cut.size()),
                            2 * static_cast<long>(addressBytes + 1) + 4);
        return kLineFailed;
    }
    const long expected = 2 * static_cast<long>(count) + 4;
    if (static_cast<long>(cut.size()) != expected) {
        ShowLineLengthError(ctx, static_cast<long>(cut.size()), expected);
        return kLineFailed;
    }

    // The address is read as one number, like every other hex field: digits up to the
    // first one that is not a hex digit.
    std::uint64_t address = HexValue(line, 4, 2 * static_cast<int>(addressBytes));
    std::uint32_t sum = count;
    for (std::uint32_t i = 0; i < addressBytes; ++i)
        sum += static_cast<std::uint32_t>(address >> (8 * i)) & 0xFF;
    std::uint8_t data[255];
    const std::uint32_t dataCount = count - addressBytes - 1;
    HexBytes(line, 4 + 2 * addressBytes, dataCount, data);
    for (std::uint32_t i = 0; i < dataCount; ++i, ++address) {
        sum += data[i];
        if (StoreByte(ctx, ctx.image, address, data[i]) != kLineDone) return kLineFailed;
    }
    RaiseHighestAddress(image, address - 1);

    if (ctx.settings.testChecksum != 0) {
        const unsigned computed = ~sum & 0xFF;
        const unsigned found = HexByte(line, 2 + 2 * count);
        if (found != computed) {
            ShowChecksumError(ctx, found, computed);
            return kLineFailed;
        }
    }
    return kLineDone;
}

}  // namespace merlinox
