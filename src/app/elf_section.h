#pragma once
#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace merlinox {

// The contents of the named section of an ELF file (32 or 64 bit, little-endian), or
// nothing when the stream is no such file, has no such section, the section is larger
// than maxSize or any table points outside the file. Reads only the headers and the
// section itself, so a large executable costs a few small reads.
std::optional<std::string> ReadElfSection(std::istream& in, std::string_view name,
                                          std::size_t maxSize);

}  // namespace merlinox
