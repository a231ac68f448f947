#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace merlinox::inline files {

// The hexadecimal text routines the text readers and writers share. Reading never goes
// past the end of the text: a position at or beyond the end reads like a character that
// is not a hex digit. They run for every byte of a file, hence inline and table-driven.

namespace hex_detail {

constexpr std::array<std::int8_t, 256> MakeDigitTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& entry : table) entry = -1;
    for (int i = 0; i < 10; ++i)
        table[static_cast<std::size_t>('0' + i)] = static_cast<std::int8_t>(i);
    for (int i = 0; i < 6; ++i) {
        table[static_cast<std::size_t>('A' + i)] = static_cast<std::int8_t>(10 + i);
        table[static_cast<std::size_t>('a' + i)] = static_cast<std::int8_t>(10 + i);
    }
    return table;
}

inline constexpr std::array<std::int8_t, 256> kDigitValue = MakeDigitTable();
inline constexpr char kUpperDigits[] = "0123456789ABCDEF";

// The two upper-case digits of every byte value, one after the other.
constexpr std::array<char, 512> MakePairTable() {
    std::array<char, 512> table{};
    for (std::size_t i = 0; i < 256; ++i) {
        table[2 * i] = kUpperDigits[i >> 4];
        table[2 * i + 1] = kUpperDigits[i & 0xF];
    }
    return table;
}

inline constexpr std::array<char, 512> kDigitPairs = MakePairTable();

}  // namespace hex_detail

// The value of n characters at pos read as a hexadecimal number (0-9, A-F, a-f), n from
// 1 to 8. Reading stops at the first character that is not a hex digit; the value is
// that of the digits before it, 0 if there are none.
inline std::uint32_t HexValue(std::string_view text, std::size_t pos, int n) {
    std::uint32_t value = 0;
    for (int i = 0; i < n && pos < text.size(); ++i, ++pos) {
        const int digit = hex_detail::kDigitValue[static_cast<unsigned char>(text[pos])];
        if (digit < 0) break;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// The value of the two characters at pos, read as HexValue reads them.
inline std::uint32_t HexByte(std::string_view text, std::size_t pos) {
    if (pos + 1 < text.size()) {
        const int high = hex_detail::kDigitValue[static_cast<unsigned char>(text[pos])];
        const int low = hex_detail::kDigitValue[static_cast<unsigned char>(text[pos + 1])];
        if ((high | low) >= 0) return static_cast<std::uint32_t>(high * 16 + low);
    }
    return HexValue(text, pos, 2);
}

// HexByte for count bytes in a row from pos on, into out.
inline void HexBytes(std::string_view text, std::size_t pos, std::uint32_t count,
                     std::uint8_t* out) {
    if (pos + 2 * std::size_t{count} <= text.size()) {
        // The usual case, every character a hex digit, without testing each pair apart.
        int invalid = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            const int high = hex_detail::kDigitValue[static_cast<unsigned char>(text[pos + 2 * i])];
            const int low =
                hex_detail::kDigitValue[static_cast<unsigned char>(text[pos + 2 * i + 1])];
            invalid |= high | low;
            out[i] = static_cast<std::uint8_t>(high * 16 + low);
        }
        if (invalid >= 0) return;
    }
    for (std::uint32_t i = 0; i < count; ++i)
        out[i] = static_cast<std::uint8_t>(HexByte(text, pos + 2 * i));
}

// The line ended at the first carriage return, line feed or space among its first max
// characters; a line without one keeps its length (at most max).
std::string_view CutLine(std::string_view line, std::size_t max);

// Writes value as upper-case hex digits, at least minDigits of them (like "%0*lX"), and
// returns the position after them.
char* PutHex(char* out, std::uint64_t value, int minDigits);

// Writes one byte as two upper-case hex digits.
inline char* PutHexByte(char* out, std::uint32_t value) {
    const char* pair = &hex_detail::kDigitPairs[2 * (value & 0xFF)];
    out[0] = pair[0];
    out[1] = pair[1];
    return out + 2;
}

}  // namespace merlinox::inline files
