#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace merlinox::inline config {

// The three ways our text files turn text into numbers. None of them fails on bad
// text; each says below what such text gives.

// An integer value of the configuration file, read the way the platform's profile
// functions read one: blanks and control characters are skipped, then an optional '+'
// or '-', then decimal digits up to the first non-digit. No digits read as 0. The
// result is taken modulo 2^32, so "-3" gives 0xFFFFFFFD (-3 once stored in a signed
// field) and "4294967297" gives 1.
std::uint32_t ProfileIntFromText(std::string_view text);

// A hexadecimal number as "%x" scans it: white space, an optional sign, an optional
// "0x", then at least one hexadecimal digit (taken modulo 2^32). Without a digit there
// is no number.
std::optional<std::uint32_t> HexFromText(std::string_view text);

// A number of the device library: the C conversion of base 0 into an unsigned 32-bit
// value. White space, an optional sign, "0x"/"0X" for hexadecimal, a leading 0 for
// octal, else decimal; the number ends at the first character that does not belong to
// it; text without a number reads 0; a value beyond 32 bits reads 0xFFFFFFFF; a '-'
// negates modulo 2^32.
std::uint32_t CNumberFromText(std::string_view text);

}  // namespace merlinox::inline config
