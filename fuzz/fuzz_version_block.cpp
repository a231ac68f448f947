// The program file's version block is read out of whatever file is called "kestrel" in
// the working directory: any bytes must be refused or read without harm.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "app/elf_section.h"
#include "app/version_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto section =
        merlinox::ReadElfSection(std::span(data, size), merlinox::kVersionSection, 64 * 1024);
    merlinox::VersionInfo version;
    version.LoadBlock(section ? *section : bytes);
    (void)version.ShortVersion();
    (void)version.GetString("ProductName", 0x040904E4);
    return 0;
}
