#include "link/transport.h"

#include "core/link_context.h"
#include "core/message_port.h"
#include "core/result_code.h"
#include "link/latch_bits.h"

namespace merlinox::inline link {

namespace {

// Waits for the wanted level of the ready line. status holds the byte already read;
// the poll budget is timeoutCount - 1 and the read that spends the last unit is not
// tested, so a budget of 0 fails at once. Returns true when the level was seen.
inline bool AwaitReady(PortAccess& port, std::uint32_t timeoutCount, bool wantSet,
                       std::uint8_t& status) {
    std::uint32_t budget = timeoutCount > 0 ? timeoutCount - 1 : 0;
    while (budget != 0) {
        if (((status & bits::kStatusReady) != 0) == wantSet) return true;
        status = port.ReadStatus();
        --budget;
    }
    return false;
}

}  // namespace

int SendCommand(LinkContext& ctx, std::uint8_t command, std::uint8_t data) {
    BoardLink& link = ctx.link;
    PortAccess* port = ctx.port;
    // Inside an operation a board that timed out once is taken as gone: the rest of the
    // operation's transfers fail at once, without polling and without another message.
    // Outside one every transfer polls and reports for itself. Switching the chip off is
    // always tried (safeDown).
    if (link.stopAfterTimeout && link.boardLost && !link.safeDown) return kHandshakeTimeout;
    if (port == nullptr) {
        // No port was set up: the same as a board that never answers.
        ShowTimeoutMessage(ctx);
        return kHandshakeTimeout;
    }
    port->WriteData(data);
    port->WriteControl(command);
    link.lastControl = command;
    std::uint8_t status = port->ReadStatus();
    if (!AwaitReady(*port, link.timeoutCount, true, status)) {
        ShowTimeoutMessage(ctx);
        return kHandshakeTimeout;
    }
    const auto strobed = static_cast<std::uint8_t>(command | bits::kControlStrobe);
    port->WriteControl(strobed);
    link.lastControl = strobed;
    status = port->ReadStatus();
    if (!AwaitReady(*port, link.timeoutCount, false, status)) {
        ShowTimeoutMessage(ctx);
        return kHandshakeTimeout;
    }
    link.lastStatus = status;
    return kOk;
}

std::uint8_t ReadBoardByte(LinkContext& ctx) {
    BoardLink& link = ctx.link;
    // A failed transfer leaves lastStatus alone, so its nibble repeats the previous one.
    SendCommand(ctx, CmdSignal, link.signalLatch);
    const std::uint8_t low = bits::NibbleFromStatus(link.lastStatus);
    SendCommand(ctx, CmdPower, link.powerLatch);
    const std::uint8_t high = bits::NibbleFromStatus(link.lastStatus);
    return static_cast<std::uint8_t>(low | (high << 4));
}

void ShowTimeoutMessage(LinkContext& ctx) {
    BoardLink& link = ctx.link;
    ++link.failedTransfers;
    // Inside an operation the lost board is reported once, however many transfers of the
    // safe-down sequences still try it.
    const bool reported = link.stopAfterTimeout && link.boardLost;
    if (link.stopAfterTimeout) link.boardLost = true;
    if (reported) return;
    std::string text =
        "\nTimeout-Fehler bei Datenübertragung !!\n\nMögliche Fehler:\n\n"
        "Brenner nicht eingeschaltet.\n"
        "Brenner an der falschen Schnittstelle oder\ngar nicht angeschlossen.\n"
        "Falsche Port-Adresse in den PREFS.\n"
        "Kabel defekt oder viel zu lang.\n"
        "Ein Druckerumschalter falsch geschaltet ?\n"
        "Baustein im Sockel vergessen !!";
    // A port that failed in the system says why; that beats every guess above.
    if (ctx.port != nullptr) {
        if (const std::string problem = ctx.port->Problem(); !problem.empty()) {
            text += "\n\n" + problem;
        }
    }
    ShowInfo(ctx, text);
}

void ShowDemoMessage(LinkContext& ctx) {
    ShowInfo(ctx, "Keine Aktionen des Brenners möglich !\n\nProgramm läuft im Demomodus.");
}

}  // namespace merlinox::inline link
