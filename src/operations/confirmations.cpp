#include "operations/confirmations.h"

#include <array>

#include "core/context.h"
#include "core/programming_interface.h"
#include "core/message_port.h"
#include "operations/firmware_fuses.h"

namespace merlinox::inline operations {

namespace {

constexpr std::array<std::string_view, 10> kProgramLabels = {
    "",
    "(BIN)",
    "(Atmel ROM)",
    "(Intel8HEX)",
    "(Intel32-Hex)",
    "(IntelMCS86-Hex)",
    "(Motorola Exorciser S1)",
    "(Motorola Exormax S2)",
    "(Motorola 32Bit S3)",
    "(ELF)",
};

constexpr std::array<std::string_view, 10> kVerifyLabels = {
    "",
    "(BIN)",
    "(Atmel ROM)",
    "(Intel8HEX)",
    "(Intel32-HEX)",
    "(IntelMCS86-HEX)",
    "(Motorola Exorciser S1-HEX)",
    "(Motorola Exormax S2-HEX)",
    "(Motorola 32Bit S3-HEX)",
    "(ELF)",
};

std::string_view Label(const std::array<std::string_view, 10>& labels, int format) {
    if (format < 1 || format >= static_cast<int>(labels.size())) return {};
    return labels[static_cast<std::size_t>(format)];
}

// "*** name ***\n\n", the common head of the three confirmations.
void FormatHead(Context& ctx) {
    ctx.messageBuffer.Format("*** %s ***\n\n", ctx.device.name.c_str());
}

void AppendView(MessageBuffer& buffer, std::string_view text) {
    buffer.Append("%.*s", static_cast<int>(text.size()), text.data());
}

}  // namespace

std::string_view BuildSocketHint(Context& ctx) {
    MessageBuffer& hint = ctx.operation.hint;
    const int mode = ctx.device.programmingMode;
    const int pins = ctx.device.pinCount;
    hint.Clear();
    if (pins == 20 && mode == kPar1) {
        hint.Append("\n\nController in Sockel 3 einsetzen.");
        hint.Append("\nNase zeigt zum Hebel");
        return hint.View();
    }
    if (mode == kPar2) {
        hint.Append("\n\nParalleladapter in Sockel 3 einsetzen.");
        hint.Append("\nPin1 zeigt zum Hebel");
    }
    if (pins == 8 && mode == kPar3) {
        hint.Append("\n\nController mit ATTiny11/12/15 Adapter in Sockel 1 einsetzen.");
        hint.Append("\nDIP8 Sockel am unteren Ende, Nase zeigt zum Hebel");
        return hint.View();
    }
    if (UsesSpiAdapter(mode)) {
        hint.Append("\n\nIn System Programmierung über SPI");
        hint.Append("\nSPI-Adapter in Sockel 1 einsetzen.");
        hint.Append("\nBündig am unteren Ende, Pin 1 zeigt zum Hebel");
    }
    if (pins == 8 && (mode == kSpi2 || mode == kMspi2)) {
        hint.Append("\n\nController in Sockel 1 einsetzen.");
        hint.Append("\nBündig am unteren Ende, Nase zeigt zum Hebel");
    }
    return hint.View();
}

int ConfirmOperation(Context& ctx, std::string_view title) {
    BuildSocketHint(ctx);
    FormatHead(ctx);
    AppendView(ctx.messageBuffer, title);
    AppendView(ctx.messageBuffer, ctx.operation.hint.View());
    return AskOkCancel(ctx, ctx.messageBuffer.View());
}

int ConfirmProgram(Context& ctx, std::string_view formatLabel) {
    BuildSocketHint(ctx);
    const unsigned long highest = ctx.image.highestAddress / 2;
    const unsigned long possible = ctx.device.flashWords == 0 ? 0 : ctx.device.flashWords - 1;
    FormatHead(ctx);
    ctx.messageBuffer.Append("*** AVR programmieren ! Format:%.*s ***\n\n",
                             static_cast<int>(formatLabel.size()), formatLabel.data());
    ctx.messageBuffer.Append("Höchste gefundene Adresse: %lu (0x%lX)\n\n", highest, highest);
    ctx.messageBuffer.Append("Höchste mögliche Adresse: %lu (0x%lX)\n\n", possible, possible);
    AppendFirmwareFuses(ctx, ctx.messageBuffer);
    AppendView(ctx.messageBuffer, ctx.operation.hint.View());
    return AskOkCancel(ctx, ctx.messageBuffer.View());
}

int ConfirmVerify(Context& ctx, std::string_view formatLabel) {
    BuildSocketHint(ctx);
    const unsigned long highest = ctx.image.highestAddress / 2;
    FormatHead(ctx);
    ctx.messageBuffer.Append("*** AVR prüfen ! Format:%.*s ***\n\n",
                             static_cast<int>(formatLabel.size()), formatLabel.data());
    ctx.messageBuffer.Append("Höchste Adresse: %lu (0x%lX)\n\n", highest, highest);
    AppendView(ctx.messageBuffer, ctx.operation.hint.View());
    return AskOkCancel(ctx, ctx.messageBuffer.View());
}

std::string_view ProgramFormatLabel(int format) { return Label(kProgramLabels, format); }

std::string_view VerifyFormatLabel(int format) { return Label(kVerifyLabels, format); }

}  // namespace merlinox::inline operations
