#include "core/context.h"
#include "core/message_port.h"
#include "files/hex_text.h"
#include "files/line_messages.h"
#include "files/text_readers.h"

namespace merlinox::inline files {

namespace {

// The length test of a record with byte count c and A address bytes. A count too small
// for the address and the checksum is refused as well; the message then names the
// shortest record there is when the line is as long as its count says, so that the two
// numbers it shows always differ and both are true.
bool HasRecordLength(Context& ctx, std::string_view line, std::uint32_t count,
                     std::uint32_t addressBytes) {
    const long found = static_cast<long>(CutLine(line, kCutLimit).size());
    long expected = 2 * static_cast<long>(count) + 4;
    if (count < addressBytes + 1 && found == expected) {
        expected = 2 * static_cast<long>(addressBytes + 1) + 4;
    }
    if (found == expected) return true;
    ShowLineLengthError(ctx, found, expected);
    return false;
}

bool HasChecksum(Context& ctx, std::string_view line, std::uint32_t count, std::uint32_t sum) {
    if (ctx.settings.testChecksum == 0) return true;
    const unsigned computed = ~sum & 0xFF;
    const unsigned found = HexByte(line, 2 + 2 * count);
    if (found == computed) return true;
    ShowChecksumError(ctx, found, computed);
    return false;
}

// S5 (16-bit) and S6 (24-bit) hold the number of S1 to S3 records before them, as
// srec_cat writes by default. A count that disagrees means lost or extra lines.
LineResult ReadCountRecord(Context& ctx, std::string_view line, char type) {
    const std::uint32_t countBytes = type == '5' ? 2 : 3;
    const std::uint32_t count = HexByte(line, 2);
    if (!HasRecordLength(ctx, line, count, countBytes)) return kLineFailed;
    if (count != countBytes + 1) {  // well formed, but with data beside the count
        ShowLineLengthError(ctx, 2 * static_cast<long>(count) + 4,
                            2 * static_cast<long>(countBytes + 1) + 4);
        return kLineFailed;
    }
    const std::uint32_t stated = HexValue(line, 4, 2 * static_cast<int>(countBytes));
    std::uint32_t sum = count;
    for (std::uint32_t i = 0; i < countBytes; ++i) sum += (stated >> (8 * i)) & 0xFF;
    if (!HasChecksum(ctx, line, count, sum)) return kLineFailed;
    const std::uint32_t mask = type == '5' ? 0xFFFFu : 0xFFFFFFu;
    const std::uint32_t read = ctx.image.dataRecords & mask;
    if (stated == read) return kLineSkipped;
    ShowInfo(ctx, ctx.messageBuffer.Format("Der Zähl-Record S%c in Zeile %lu stimmt nicht !\n\n"
                                           "Angegeben %lu Datensätze\nGelesen %lu Datensätze\n",
                                           type, static_cast<unsigned long>(ctx.image.lineNumber),
                                           static_cast<unsigned long>(stated),
                                           static_cast<unsigned long>(read)));
    return kLineFailed;
}

}  // namespace

// One record per line: "S" and the type digit, byte count c (address bytes + data bytes
// + checksum), A address bytes, data, checksum: the complement of the sum of the count,
// address and data bytes.
LineResult ReadMotorolaLine(Context& ctx) {
    std::string_view line;
    const LineResult next = NextInputLine(ctx, line);
    if (next != kLineDone) return next;  // the end of the file ends the records too

    MemoryImage& image = ctx.image;
    const char type = line.size() >= 2 && line[0] == 'S' ? line[1] : '\0';
    if (type == '0') return kLineSkipped;  // header: anything goes
    if (type == '7' || type == '8' || type == '9') return kLineEnd;
    if (type == '5' || type == '6') return ReadCountRecord(ctx, line, type);
    if (type != '1' && type != '2' && type != '3') {
        // Lower-case types, S4 and non-records.
        ShowLineStartError(ctx);
        return kLineFailed;
    }
    const std::uint32_t addressBytes = static_cast<std::uint32_t>(type - '0') + 1;
    const std::uint32_t count = HexByte(line, 2);
    ++image.dataRecords;
    if (count == addressBytes + 1) return kLineSkipped;  // a data record without data
    // A count without room for the address and the checksum never passes.
    if (!HasRecordLength(ctx, line, count, addressBytes)) return kLineFailed;

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
    return HasChecksum(ctx, line, count, sum) ? kLineDone : kLineFailed;
}

}  // namespace merlinox::inline files
