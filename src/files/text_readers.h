#pragma once
#include <string_view>

#include "core/memory_image.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline files {

// The line readers: each reads and processes one line of ctx.files.inputFile.
LineResult ReadIntelLine(Context& ctx);
LineResult ReadMotorolaLine(Context& ctx);
LineResult ReadROMLine(Context& ctx, MemoryKind kind);

// The next line of the input file for a reader, with lineNumber already counted.
// kLineDone with the line; kLineEnd at the end of the file; kLineFailed after a read
// error, a line that is too long or a Cancel, each reported. A file that ends without
// an end record has ended all the same; whether it held data is the loader's check.
LineResult NextInputLine(Context& ctx, std::string_view& line);

// Every line is cut before its length is checked, so that a trailing space, carriage
// return or line feed does not count.
constexpr std::size_t kCutLimit = 2048;

}  // namespace merlinox::inline files
