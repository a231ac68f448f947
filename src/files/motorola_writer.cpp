#include <string_view>

#include "app/context.h"
#include "files/hex_records.h"
#include "files/hex_text.h"
#include "files/line_messages.h"
#include "files/output_file.h"

namespace merlinox {

namespace {

// The byte count of an S-record is one byte and includes up to five bytes of address
// and checksum, so a record carries at most 250 data bytes whatever "HexLineLen" says.
constexpr std::uint32_t kMaxMotorolaData = 250;

}  // namespace

std::uint32_t WriteMotorolaBlock(Context& ctx, OutputFile& out, const std::uint8_t* data,
                                 std::uint32_t start, std::uint32_t n) {
    std::uint32_t length = RecordLength(ctx);
    if (length > kMaxMotorolaData) length = kMaxMotorolaData;
    const bool ffSave = ctx.settings.ffSave != 0;
    std::uint32_t remaining = n;
    std::uint32_t address = start;
    std::uint32_t offset = 0;
    std::uint32_t count = 0;
    char line[16 + 2 * 256];
    for (;;) {
        const std::uint32_t c = remaining < length ? remaining : length;
        int addressBytes = 4;
        char type = '3';
        if (address < 0x10000) {
            addressBytes = 2;
            type = '1';
        } else if (address <= 0xFFFFFF) {
            addressBytes = 3;
            type = '2';
        }
        const std::uint32_t byteCount = c + static_cast<std::uint32_t>(addressBytes) + 1;
        char* p = line;
        *p++ = 'S';
        *p++ = type;
        p = PutHex(p, byteCount, 2);
        p = PutHex(p, address, 2 * addressBytes);
        std::uint32_t sum = byteCount;
        for (int i = 0; i < addressBytes; ++i) sum += (address >> (8 * i)) & 0xFF;
        std::uint32_t blank = 0;
        for (std::uint32_t i = 0; i < c; ++i) {
            const std::uint8_t value = data[offset + i];
            p = PutHexByte(p, value);
            sum += value;
            blank += value == 0xFF;
        }
        p = PutHex(p, ~sum & 0xFF, 2);
        *p++ = '\n';
        count += c;
        if (blank < length || ffSave) {
            if (!out.WriteLine(std::string_view(line, static_cast<std::size_t>(p - line)))) {
                ShowLineWriteError(ctx, out.LinesWritten() + 1);
                return count;
            }
        }
        address += length;
        offset += length;
        if (remaining <= length) return count;
        remaining -= length;
    }
}

bool WriteMotorolaHeader(OutputFile& out) {
    // The header's data bytes spell the module text "TOLVANE 7.1".
    return out.WriteLine("S00E0000544F4C56414E4520372E3122\n");
}

bool WriteMotorolaIdentification(OutputFile& out, DataFormat format) {
    // An empty data record in the second line tells the format recognition that the
    // S1 records that follow belong to an S2 or S3 file.
    if (format == kFormatS2) return out.WriteLine("S204000000FB\n");
    if (format == kFormatS3) return out.WriteLine("S30500000000FA\n");
    return true;
}

bool WriteMotorolaEndRecord(OutputFile& out, DataFormat format) {
    if (format == kFormatS2) return out.WriteLine("S804000000FB\n");
    if (format == kFormatS3) return out.WriteLine("S70500000000FA\n");
    return out.WriteLine("S9030000FC\n");
}

}  // namespace merlinox
