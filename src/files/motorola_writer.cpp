#include <algorithm>
#include <string_view>

#include "core/context.h"
#include "files/hex_records.h"
#include "files/hex_text.h"
#include "files/output_file.h"
#include "files/record_writer.h"

namespace merlinox::inline files {

namespace {

// The byte count of an S-record is one byte and includes up to five bytes of address
// and checksum, so a record carries at most 250 data bytes whatever "HexLineLen" says.
constexpr std::uint32_t kMaxMotorolaData = 250;

}  // namespace

std::uint32_t WriteMotorolaBlock(Context& ctx, OutputFile& out, const std::uint8_t* data,
                                 std::uint32_t start, std::uint32_t n) {
    const std::uint32_t length = std::min(RecordLength(ctx), kMaxMotorolaData);
    return WriteRecords(
        ctx, out, data, start, n, length,
        [](char* p, std::uint32_t address, const std::uint8_t* bytes, std::uint32_t c) {
            // The record type follows the address: S1 below 64 KB, S2 below 16 MB.
            const int addressBytes = address < 0x10000 ? 2 : address <= 0xFFFFFF ? 3 : 4;
            const std::uint32_t byteCount = c + static_cast<std::uint32_t>(addressBytes) + 1;
            *p++ = 'S';
            *p++ = static_cast<char>('0' + addressBytes - 1);
            p = PutHex(p, byteCount, 2);
            p = PutHex(p, address, 2 * addressBytes);
            std::uint32_t sum = byteCount;
            for (int i = 0; i < addressBytes; ++i) sum += (address >> (8 * i)) & 0xFF;
            for (std::uint32_t i = 0; i < c; ++i) {
                p = PutHexByte(p, bytes[i]);
                sum += bytes[i];
            }
            p = PutHexByte(p, ~sum & 0xFF);
            *p++ = '\n';
            return p;
        });
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

}  // namespace merlinox::inline files
