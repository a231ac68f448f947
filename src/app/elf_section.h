#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace merlinox::inline app {

// The contents of the named section of an ELF file (any class and byte order), or
// nothing when the file is no such file, has no such section, the section is larger than
// maxSize or any table points outside the file. The file is mapped, not read, so a large
// executable costs only the pages of its headers and of the section.
std::optional<std::string> ReadElfSection(const std::string& path, std::string_view name,
                                          std::size_t maxSize);

// The same for an ELF image already in memory.
std::optional<std::string> ReadElfSection(std::span<const std::uint8_t> bytes,
                                          std::string_view name, std::size_t maxSize);

}  // namespace merlinox::inline app
