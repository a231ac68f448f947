#include "config/number_text.h"

namespace merlinox::inline config {

namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Skips white space and reads an optional sign; returns true for '-'.
bool SkipSpaceAndSign(std::string_view text, std::size_t& pos, bool (*isSpace)(char)) {
    while (pos < text.size() && isSpace(text[pos])) ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) return text[pos++] == '-';
    return false;
}

bool IsProfileSpace(char c) { return static_cast<unsigned char>(c) <= ' ' && c != '\0'; }

bool HasHexPrefix(std::string_view text, std::size_t pos) {
    return pos + 1 < text.size() && text[pos] == '0' &&
           (text[pos + 1] == 'x' || text[pos + 1] == 'X');
}

}  // namespace

std::uint32_t ProfileIntFromText(std::string_view text) {
    std::size_t pos = 0;
    const bool negative = SkipSpaceAndSign(text, pos, IsProfileSpace);
    std::uint32_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10u + static_cast<std::uint32_t>(text[pos] - '0');
    }
    return negative ? 0u - value : value;
}

std::optional<std::uint32_t> HexFromText(std::string_view text) {
    std::size_t pos = 0;
    const bool negative = SkipSpaceAndSign(text, pos, IsCSpace);
    if (HasHexPrefix(text, pos) && pos + 2 < text.size() && DigitValue(text[pos + 2]) < 16)
        pos += 2;
    if (pos >= text.size() || DigitValue(text[pos]) >= 16) return std::nullopt;
    std::uint32_t value = 0;
    for (; pos < text.size() && DigitValue(text[pos]) < 16; ++pos) {
        value = value * 16u + static_cast<std::uint32_t>(DigitValue(text[pos]));
    }
    return negative ? 0u - value : value;
}

std::uint32_t CNumberFromText(std::string_view text) {
    std::size_t pos = 0;
    const bool negative = SkipSpaceAndSign(text, pos, IsCSpace);
    std::uint32_t base = 10;
    if (HasHexPrefix(text, pos) && pos + 2 < text.size() && DigitValue(text[pos + 2]) < 16) {
        base = 16;
        pos += 2;
    } else if (pos < text.size() && text[pos] == '0') {
        base = 8;
    }
    std::uint64_t value = 0;
    bool overflow = false;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos]);
        if (digit >= static_cast<int>(base)) break;
        value = value * base + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0xFFFFFFFFu;
        }
    }
    if (overflow) return 0xFFFFFFFFu;
    const auto result = static_cast<std::uint32_t>(value);
    return negative ? 0u - result : result;
}

}  // namespace merlinox::inline config
