#include <string_view>

#include "app/context.h"
#include "files/hex_records.h"
#include "files/hex_text.h"
#include "files/line_messages.h"
#include "files/output_file.h"

namespace merlinox {

std::uint32_t RecordLength(const Context& ctx) {
    const std::uint32_t length = ctx.settings.hexLineLen;
    return length >= 2 && length <= 254 ? length : 32;
}

std::uint32_t WriteIntelBlock(Context& ctx, OutputFile& out, const std::uint8_t* data,
                              std::uint32_t start, std::uint32_t n) {
    const std::uint32_t length = RecordLength(ctx);
    const bool ffSave = ctx.settings.ffSave != 0;
    std::uint32_t remaining = n;
    std::uint32_t address = start;
    std::uint32_t offset = 0;
    std::uint32_t count = 0;
    char line[16 + 2 * 256];
    for (;;) {
        const std::uint32_t c = remaining < length ? remaining : length;
        char* p = line;
        *p++ = ':';
        p = PutHex(p, c, 2);
        p = PutHex(p, address, 4);
        *p++ = '0';
        *p++ = '0';
        std::uint32_t sum = c + ((address >> 8) & 0xFF) + (address & 0xFF);
        std::uint32_t blank = 0;
        for (std::uint32_t i = 0; i < c; ++i) {
            const std::uint8_t value = data[offset + i];
            p = PutHexByte(p, value);
            sum += value;
            blank += value == 0xFF;
        }
        p = PutHex(p, (0u - sum) & 0xFF, 2);
        *p++ = '\n';
        count += c;
        // A full record of blank cells is left out unless blank cells are to be saved.
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

}  // namespace merlinox
