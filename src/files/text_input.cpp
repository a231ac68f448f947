#include "app/context.h"
#include "app/messages.h"
#include "files/text_readers.h"

namespace merlinox {

LineResult NextInputLine(Context& ctx, std::string_view& line) {
    switch (ctx.files.inputFile.ReadLine(line)) {
        case InputFile::ReadStatus::Line:
            ++ctx.image.lineNumber;
            return kLineDone;
        case InputFile::ReadStatus::End:
            return kLineEnd;
        case InputFile::ReadStatus::Error:
            break;
    }
    ShowFileError(ctx, ctx.files.inputPath, ctx.files.inputFile.ErrorNumber());
    return kLineFailed;
}

LineResult EndOfRecords(const Context& ctx, LineResult next) {
    if (next == kLineEnd && ctx.image.highestAddress == 0) return kLineFailed;
    return next;
}

}  // namespace merlinox
