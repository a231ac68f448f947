#pragma once
#include <cstdint>
#include <string_view>

#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline files {

// The line-numbered messages of the text readers and writers, shown with ShowInfo. The
// readers' messages name MemoryImage::lineNumber.
void ShowLineLengthError(Context& ctx, long found, long expected);
void ShowLineStartError(Context& ctx);
void ShowChecksumError(Context& ctx, unsigned found, unsigned computed);
void ShowDoubleCellError(Context& ctx);
// lineNumber counts every line written to the current output file, from 1.
void ShowLineWriteError(Context& ctx, std::uint32_t lineNumber);
// A line longer than InputFile::kMaxLine characters.
void ShowLineTooLongError(Context& ctx);

// The report for a data file that could not be opened or read: a directory, a FIFO or
// device, a text file past its bound get texts of their own, the rest the file-error
// report.
void ShowInputError(Context& ctx, std::string_view path, int errorNumber);

// The storing rule the text readers share: an address at 0x40000 or above is not stored
// (the caller still counts it for highestAddress); a cell that no longer holds 0xFF is
// written twice, which shows the double-cell message and fails the line. Returns
// kLineDone or kLineFailed.
inline LineResult StoreByte(Context& ctx, MemoryImage& image, std::uint64_t address,
                            std::uint8_t value) {
    image.hasData = true;
    if (address >= MemoryImage::kSize) return kLineDone;
    std::uint8_t& cell = image.bytes[static_cast<std::size_t>(address)];
    if (cell != 0xFF) {
        ShowDoubleCellError(ctx);
        return kLineFailed;
    }
    cell = value;
    return kLineDone;
}

// highestAddress only grows; addresses past 32 bits count as the largest one.
inline void RaiseHighestAddress(MemoryImage& image, std::uint64_t address) {
    const std::uint32_t clipped =
        address > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(address);
    if (clipped > image.highestAddress) image.highestAddress = clipped;
}

}  // namespace merlinox::inline files
