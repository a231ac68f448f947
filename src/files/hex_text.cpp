#include "files/hex_text.h"

namespace merlinox {

std::string_view CutLine(std::string_view line, std::size_t max) {
    const std::size_t limit = line.size() < max ? line.size() : max;
    for (std::size_t i = 0; i < limit; ++i) {
        const char c = line[i];
        if (c <= ' ' && (c == ' ' || c == '\r' || c == '\n')) return line.substr(0, i);
    }
    return line.substr(0, limit);
}

char* PutHex(char* out, std::uint64_t value, int minDigits) {
    int digits = 1;
    while (digits < 16 && (value >> (4 * digits)) != 0) ++digits;
    if (digits < minDigits) digits = minDigits;
    for (int i = digits - 1; i >= 0; --i) *out++ = hex_detail::kUpperDigits[(value >> (4 * i)) & 0xF];
    return out;
}

}  // namespace merlinox
