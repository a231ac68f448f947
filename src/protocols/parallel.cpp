#include "protocols/parallel.h"

#include "core/link_context.h"
#include "link/latch_bits.h"
#include "link/latch_ops.h"
#include "link/timing.h"
#include "link/transport.h"

namespace merlinox::inline protocols {
namespace {

// Units of Wait100us that WR stays low for a fuse write (the old parts' t_WLWH_PFB).
constexpr std::uint32_t kFusePulseUnits = 200;

void Xtal1Pulse(LinkContext& ctx) {
    SetClock(ctx, static_cast<std::uint8_t>(ctx.link.clockLatch | bits::kClkXtal1));
    SetClock(ctx, ctx.link.clockLatch & static_cast<std::uint8_t>(~bits::kClkXtal1));
}

// The data bus is driven straight from the byte; the data-latch shadow is not used.
void PutOnBus(LinkContext& ctx, std::uint8_t value) { SendCommand(ctx, CmdData, value); }

void Prologue(LinkContext& ctx, bool xa1, bool xa0, bool bs) {
    SetSignalBit(ctx, bits::kSigOe, true);
    SetControlBit(ctx, bits::kCtrlXa1, xa1);
    SetControlBit(ctx, bits::kCtrlXa0, xa0);
    SetControlBit(ctx, bits::kCtrlBs, bs);
}

void LoadAddressByte(LinkContext& ctx, bool high, std::uint8_t value) {
    SetControlBit(ctx, bits::kCtrlBs, high);
    PutOnBus(ctx, value);
    Xtal1Pulse(ctx);
}

// Load data (XA1 XA0 = 01) must have been selected.
void LoadAndWrite(LinkContext& ctx, std::uint8_t value, bool high, std::uint32_t lowUnits) {
    PutOnBus(ctx, value);
    Xtal1Pulse(ctx);
    SetControlBit(ctx, bits::kCtrlBs, high);
    SetControlBit(ctx, bits::kCtrlWr, false);
    if (lowUnits != 0) Wait100us(ctx, lowUnits);
    SetControlBit(ctx, bits::kCtrlWr, true);
    Wait100us(ctx, ctx.device.flashWriteDelay);
}

void SelectLoadData(LinkContext& ctx) {
    SetSignalBit(ctx, bits::kSigOe, true);
    SetControlBit(ctx, bits::kCtrlXa1, false);
    SetControlBit(ctx, bits::kCtrlXa0, true);
}

std::uint8_t ReadSelected(LinkContext& ctx, bool high) {
    PutOnBus(ctx, 0xFF);  // released, so that the chip can drive the bus
    SetSignalBit(ctx, bits::kSigOe, false);
    SetControlBit(ctx, bits::kCtrlBs, high);
    const std::uint8_t value = ReadBoardByte(ctx);
    SetSignalBit(ctx, bits::kSigOe, true);
    return value;
}

}  // namespace

void ParLoadCommand(LinkContext& ctx, std::uint8_t command) {
    Prologue(ctx, true, false, false);
    PutOnBus(ctx, command);
    Xtal1Pulse(ctx);
}

void ParLoadAddressLow(LinkContext& ctx, std::uint8_t address) {
    Prologue(ctx, false, false, false);
    PutOnBus(ctx, address);
    Xtal1Pulse(ctx);
}

void ParLoadAddress(LinkContext& ctx, std::uint16_t address) {
    SetSignalBit(ctx, bits::kSigOe, true);
    SetControlBit(ctx, bits::kCtrlXa1, false);
    SetControlBit(ctx, bits::kCtrlXa0, false);
    const auto low = static_cast<std::uint8_t>(address);
    const auto high = static_cast<std::uint8_t>(address >> 8);
    if (ctx.device.pinCount == 28) {
        LoadAddressByte(ctx, true, high);
        LoadAddressByte(ctx, false, low);
    } else {
        LoadAddressByte(ctx, false, low);
        LoadAddressByte(ctx, true, high);
    }
}

void ParWriteWord(LinkContext& ctx, std::uint16_t word) {
    SelectLoadData(ctx);
    LoadAndWrite(ctx, static_cast<std::uint8_t>(word), false, 0);
    LoadAndWrite(ctx, static_cast<std::uint8_t>(word >> 8), true, 0);
}

void ParWriteByte(LinkContext& ctx, std::uint8_t byte) {
    SelectLoadData(ctx);
    LoadAndWrite(ctx, byte, false, 0);
}

void ParWriteFuseByte(LinkContext& ctx, std::uint8_t byte) {
    SelectLoadData(ctx);
    LoadAndWrite(ctx, byte, false, kFusePulseUnits);
}

std::uint16_t ParReadWord(LinkContext& ctx) {
    PutOnBus(ctx, 0xFF);
    SetSignalBit(ctx, bits::kSigOe, false);
    SetControlBit(ctx, bits::kCtrlBs, false);
    const std::uint8_t low = ReadBoardByte(ctx);
    SetControlBit(ctx, bits::kCtrlBs, true);
    const std::uint8_t high = ReadBoardByte(ctx);
    SetSignalBit(ctx, bits::kSigOe, true);
    return static_cast<std::uint16_t>(high << 8 | low);
}

std::uint8_t ParReadByteLow(LinkContext& ctx) { return ReadSelected(ctx, false); }
std::uint8_t ParReadByteHigh(LinkContext& ctx) { return ReadSelected(ctx, true); }

}  // namespace merlinox::inline protocols
