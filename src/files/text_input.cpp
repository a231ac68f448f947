#include "core/context.h"
#include "core/input_file.h"
#include "core/message_port.h"
#include "files/line_messages.h"
#include "files/text_readers.h"

namespace merlinox::inline files {

namespace {

// Lines between two looks at the window and the Cancel flag: a large file then still
// answers to Cancel (and to a signal, which the command line turns into one).
constexpr std::uint32_t kLinesPerPump = 1024;

bool LoadCancelled(Context& ctx) {
    if (ctx.image.lineNumber % kLinesPerPump != 0) return false;
    ctx.ui->PumpMessages();
    if (ctx.operation.cancelRequested == 0) return false;
    ShowInfo(ctx, "Lesen der Datei abgebrochen !");
    return true;
}

}  // namespace

LineResult NextInputLine(Context& ctx, std::string_view& line) {
    switch (ctx.files.inputFile.ReadLine(line)) {
    case InputFile::ReadStatus::Line:
        ++ctx.image.lineNumber;
        return LoadCancelled(ctx) ? kLineFailed : kLineDone;
    case InputFile::ReadStatus::TooLong:
        ++ctx.image.lineNumber;
        ShowLineTooLongError(ctx);
        return kLineFailed;
    case InputFile::ReadStatus::End:
        return kLineEnd;
    case InputFile::ReadStatus::Error:
        break;
    }
    ShowInputError(ctx, ctx.files.inputPath, ctx.files.inputFile.ErrorNumber());
    return kLineFailed;
}

}  // namespace merlinox::inline files
