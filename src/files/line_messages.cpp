#include "files/line_messages.h"

#include <cerrno>

#include "core/context.h"
#include "core/input_file.h"
#include "core/message_port.h"

namespace merlinox::inline files {

void ShowLineLengthError(Context& ctx, long found, long expected) {
    ShowInfo(ctx, ctx.messageBuffer.Format(
                      "Länge der HEX-Zeile %lu stimmt nicht !\n\nGelesen %ld\nBerechnet %ld\n",
                      static_cast<unsigned long>(ctx.image.lineNumber), found, expected));
}

void ShowLineStartError(Context& ctx) {
    ShowInfo(ctx,
             ctx.messageBuffer.Format("Zeilenanfang in Zeile %lu\nder Hex-Datei nicht gefunden !",
                                      static_cast<unsigned long>(ctx.image.lineNumber)));
}

void ShowChecksumError(Context& ctx, unsigned found, unsigned computed) {
    ShowInfo(ctx,
             ctx.messageBuffer.Format(
                 "Prüfsumme der HEX-Zeile %lu stimmt nicht !\n\nGelesen 0x%04X\nBerechnet 0x%04X\n",
                 static_cast<unsigned long>(ctx.image.lineNumber), found, computed));
}

void ShowDoubleCellError(Context& ctx) {
    ShowInfo(ctx, ctx.messageBuffer.Format(
                      "Eine oder mehrere Speicherzellen werden\nin dieser HEX-Datei "
                      "doppelt belegt !\n\nGefunden in Zeile %ld\n",
                      static_cast<long>(ctx.image.lineNumber)));
}

void ShowLineWriteError(Context& ctx, std::uint32_t lineNumber) {
    ShowInfo(ctx, ctx.messageBuffer.Format("Hex-Zeile %lu\nkonnte nicht geschrieben werden",
                                           static_cast<unsigned long>(lineNumber)));
}

}  // namespace merlinox::inline files

namespace merlinox::inline files {

void ShowLineTooLongError(Context& ctx) {
    ShowInfo(ctx, ctx.messageBuffer.Format(
                      "Die HEX-Zeile %lu ist zu lang !\n\nErlaubt sind %lu Zeichen je Zeile.\n",
                      static_cast<unsigned long>(ctx.image.lineNumber),
                      static_cast<unsigned long>(InputFile::kMaxLine)));
}

void ShowInputError(Context& ctx, std::string_view path, int errorNumber) {
    const int shown = static_cast<int>(path.size());
    if (errorNumber == EISDIR) {
        ShowInfo(ctx, ctx.messageBuffer.Format("%.*s\n\nist ein Verzeichnis und keine Datendatei !",
                                               shown, path.data()));
    } else if (errorNumber == InputFile::kNotRegularFile) {
        ShowInfo(ctx, ctx.messageBuffer.Format(
                          "%.*s\n\nist keine gewöhnliche Datei (Gerät, FIFO oder Socket)\n"
                          "und wird nicht als Datendatei gelesen !",
                          shown, path.data()));
    } else if (errorNumber == InputFile::kFileTooLarge) {
        ShowInfo(ctx, ctx.messageBuffer.Format(
                          "%.*s\n\nist zu groß für eine Datendatei (mehr als %lu MB) !", shown,
                          path.data(), static_cast<unsigned long>(InputFile::kMaxTextBytes >> 20)));
    } else {
        ShowFileError(ctx, path, errorNumber);
    }
}

}  // namespace merlinox::inline files
