#pragma once
#include <string>
#include <string_view>

namespace merlinox::inline config {

// Our text files (device library, configuration) are 8-bit Windows-1252; everything in
// memory is UTF-8. The conversion happens where a file is read or written.

// Every byte has a character: the five bytes that Windows-1252 leaves undefined become
// the C1 control characters of the same value, so that decoding never loses a byte and
// EncodeWindows1252 gives the original bytes back.
std::string DecodeWindows1252(std::string_view bytes);

// Characters that Windows-1252 cannot hold, and bytes that are not valid UTF-8, become '?'.
std::string EncodeWindows1252(std::string_view utf8);

// Case-insensitive equality of two Windows-1252 texts, folding the letters of the code
// page (ASCII, the accented letters, Š, Œ, Ž, Ÿ) as the platform's INI functions did.
bool EqualIgnoringCase1252(std::string_view a, std::string_view b);

}  // namespace merlinox::inline config
