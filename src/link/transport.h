#pragma once
#include <cstdint>

namespace merlinox::inline core {
struct LinkContext;
}  // namespace merlinox::inline core

namespace merlinox::inline link {

// The latch command codes (control-register values; the strobe bit is never part of one).
enum BoardCommand : std::uint8_t {
    CmdControl = 0x00,
    CmdAux = 0x02,
    CmdSignal = 0x04,  // its transfer shows the low read-back nibble
    CmdClock = 0x06,
    CmdPower = 0x08,  // its transfer shows the high read-back nibble
    CmdData = 0x0A,
    CmdProbeC = 0x0C,
    CmdProbeE = 0x0E,
};

// One handshake transfer: kOk when the board acknowledged, kHandshakeTimeout after a
// timeout (whose message has been shown).
int SendCommand(LinkContext& ctx, std::uint8_t command, std::uint8_t data);

// The read-back byte, assembled from the status bytes of two transfers that re-send
// the signal and power latches unchanged.
std::uint8_t ReadBoardByte(LinkContext& ctx);

void ShowTimeoutMessage(LinkContext& ctx);
void ShowDemoMessage(LinkContext& ctx);

}  // namespace merlinox::inline link
