#pragma once
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "core/context.h"
#include "files/line_messages.h"
#include "files/output_file.h"

namespace merlinox::inline files {

// The record loop that the Intel and Motorola block writers share: n bytes from data in
// records of `length` bytes, the first at start. format(line, address, bytes, count)
// builds one record with its line end and returns the position after it. A record of
// `length` blank bytes is left out unless "FFSave" is on, so a shorter last record is
// always written. Returns the bytes whose records were gone through; a failed line is
// reported and ends the loop with its bytes counted.
template <typename Format>
std::uint32_t WriteRecords(Context& ctx, OutputFile& out, const std::uint8_t* data,
                           std::uint32_t start, std::uint32_t n, std::uint32_t length,
                           Format format) {
    const bool ffSave = ctx.settings.ffSave != 0;
    std::uint32_t remaining = n;
    std::uint32_t address = start;
    std::uint32_t offset = 0;
    std::uint32_t count = 0;
    char line[32 + 2 * 256];
    for (;;) {
        const std::uint32_t c = remaining < length ? remaining : length;
        const std::uint8_t* bytes = data + offset;
        const auto blank =
            static_cast<std::uint32_t>(std::count(bytes, bytes + c, std::uint8_t{0xFF}));
        count += c;
        if (blank < length || ffSave) {
            const char* end = format(line, address, bytes, c);
            if (!out.WriteLine(std::string_view(line, static_cast<std::size_t>(end - line)))) {
                ShowLineWriteError(ctx, out.LinesOnDisk() + 1);
                return count;
            }
        }
        address += length;
        offset += length;
        if (remaining <= length) return count;
        remaining -= length;
    }
}

}  // namespace merlinox::inline files
