#pragma once
#include <cstdint>

#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline files {

class OutputFile;

// Data bytes per written record: "HexLineLen", which the configuration keeps even and
// within 2 to 254; any other value is taken as the default 32, as the configuration
// would correct it.
std::uint32_t RecordLength(const Context& ctx);

// Writes n bytes from data as data records, the first at start. A full-length record of
// blank bytes is written only with "FFSave" on. Returns the number of bytes whose lines
// it went through; after a failed line, which it reports, that count includes the
// line's bytes and stops there.
std::uint32_t WriteIntelBlock(Context& ctx, OutputFile& out, const std::uint8_t* data,
                              std::uint32_t start, std::uint32_t n);
std::uint32_t WriteMotorolaBlock(Context& ctx, OutputFile& out, const std::uint8_t* data,
                                 std::uint32_t start, std::uint32_t n);

// The Intel address records written before a block: type 02 (segment = byteAddress / 16)
// or type 04 (byteAddress / 65536). False when the line could not be written.
bool WriteIntelSegmentRecord(OutputFile& out, std::uint32_t byteAddress);
bool WriteIntelLinearRecord(OutputFile& out, std::uint32_t byteAddress);
bool WriteIntelEndRecord(OutputFile& out);

// The S-record framing: header, identification record (formats 7 and 8; nothing to do
// for 6), end record of the format.
bool WriteMotorolaHeader(OutputFile& out);
bool WriteMotorolaIdentification(OutputFile& out, DataFormat format);
bool WriteMotorolaEndRecord(OutputFile& out, DataFormat format);

}  // namespace merlinox::inline files
