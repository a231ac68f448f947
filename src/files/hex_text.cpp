#include "files/hex_text.h"

#include <cstring>

namespace merlinox::inline files {

std::string_view CutLine(std::string_view line, std::size_t max) {
    const std::size_t limit = line.size() < max ? line.size() : max;
    std::size_t i = 0;
    // Eight characters at a time while none of them is a control character or a space.
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    for (; i + 8 <= limit; i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, line.data() + i, 8);
        if (((chunk - kOnes * 0x21) & ~chunk & kHighBits) != 0) break;
    }
    for (; i < limit; ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\r' || c == '\n') return line.substr(0, i);
    }
    return line.substr(0, limit);
}

char* PutHex(char* out, std::uint64_t value, int minDigits) {
    int digits = 1;
    while (digits < 16 && (value >> (4 * digits)) != 0) ++digits;
    if (digits < minDigits) digits = minDigits;
    for (int i = digits - 1; i >= 0; --i)
        *out++ = hex_detail::kUpperDigits[(value >> (4 * i)) & 0xF];
    return out;
}

}  // namespace merlinox::inline files
