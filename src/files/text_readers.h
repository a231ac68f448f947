#pragma once
#include <string_view>

#include "files/memory_image.h"

namespace merlinox {

struct Context;

// The line readers: each reads and processes one line of ctx.files.inputFile.
LineResult ReadIntelLine(Context& ctx);
LineResult ReadMotorolaLine(Context& ctx);
LineResult ReadROMLine(Context& ctx, MemoryKind kind);

// The next line of the input file for a reader, with lineNumber already counted.
// kLineDone with the line; kLineEnd at the end of the file; kLineFailed after a read
// error, which has been reported with the file-error report.
LineResult NextInputLine(Context& ctx, std::string_view& line);

// What an Intel or Motorola reader returns when no line came: at the end of the file the
// data have ended, but a file that gave no data above address 0 fails without a message.
LineResult EndOfRecords(const Context& ctx, LineResult next);

// Every line is cut before its length is checked, so that a trailing space, carriage
// return or line feed does not count.
constexpr std::size_t kCutLimit = 2048;

}  // namespace merlinox
