#include <string_view>

#include "core/context.h"
#include "files/hex_records.h"
#include "files/hex_text.h"
#include "files/output_file.h"
#include "files/record_writer.h"

namespace merlinox::inline files {

std::uint32_t RecordLength(const Context& ctx) {
    const std::uint32_t length = ctx.settings.hexLineLen;
    return length >= 2 && length <= 254 ? length : 32;
}

std::uint32_t WriteIntelBlock(Context& ctx, OutputFile& out, const std::uint8_t* data,
                              std::uint32_t start, std::uint32_t n) {
    return WriteRecords(
        ctx, out, data, start, n, RecordLength(ctx),
        [](char* p, std::uint32_t address, const std::uint8_t* bytes, std::uint32_t c) {
            *p++ = ':';
            p = PutHex(p, c, 2);
            p = PutHex(p, address, 4);
            *p++ = '0';
            *p++ = '0';
            std::uint32_t sum = c + ((address >> 8) & 0xFF) + (address & 0xFF);
            for (std::uint32_t i = 0; i < c; ++i) {
                p = PutHexByte(p, bytes[i]);
                sum += bytes[i];
            }
            p = PutHexByte(p, (0u - sum) & 0xFF);
            *p++ = '\n';
            return p;
        });
}

namespace {

bool WriteAddressRecord(OutputFile& out, std::uint32_t type, std::uint32_t value) {
    value &= 0xFFFF;
    char line[24];
    char* p = line;
    for (const char c : std::string_view(":020000")) *p++ = c;
    p = PutHex(p, type, 2);
    p = PutHex(p, value, 4);
    p = PutHex(p, (0u - (2 + type + (value >> 8) + (value & 0xFF))) & 0xFF, 2);
    *p++ = '\n';
    return out.WriteLine(std::string_view(line, static_cast<std::size_t>(p - line)));
}

}  // namespace

bool WriteIntelSegmentRecord(OutputFile& out, std::uint32_t byteAddress) {
    return WriteAddressRecord(out, 0x02, byteAddress / 16);
}

bool WriteIntelLinearRecord(OutputFile& out, std::uint32_t byteAddress) {
    return WriteAddressRecord(out, 0x04, byteAddress / 65536);
}

bool WriteIntelEndRecord(OutputFile& out) { return out.WriteLine(":00000001FF\n"); }

}  // namespace merlinox::inline files
