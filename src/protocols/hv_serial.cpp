#include "protocols/hv_serial.h"

#include "core/link_context.h"
#include "link/latch_bits.h"
#include "link/latch_ops.h"
#include "link/timing.h"
#include "link/transport.h"
#include "protocols/device_check.h"

namespace merlinox::inline protocols {
namespace {

// SII instructions: the parallel interface's XA1, XA0, BS1, WR, OE, BS2, PAGEL as bits.
constexpr std::uint8_t kLoadCommand = 0x4C;
constexpr std::uint8_t kLoadAddressLow = 0x0C;
constexpr std::uint8_t kLoadAddressHigh = 0x1C;
constexpr std::uint8_t kLoadDataLow = 0x2C;
constexpr std::uint8_t kLoadDataHigh = 0x3C;
constexpr std::uint8_t kWriteLow = 0x64;   // WR low, low byte
constexpr std::uint8_t kIdleLow = 0x6C;    // WR and OE high: ends a write or a read
constexpr std::uint8_t kWriteHigh = 0x74;  // WR low, high byte
constexpr std::uint8_t kIdleHigh = 0x7C;
constexpr std::uint8_t kReadLow = 0x68;         // OE low, low byte
constexpr std::uint8_t kReadHigh = 0x78;        // OE low, high byte
constexpr std::uint8_t kLatchFlashPage = 0x7D;  // PAGEL: the loaded word into the page buffer
constexpr std::uint8_t kLatchEepromPage = 0x6D;

// Command bytes, loaded with kLoadCommand.
constexpr std::uint8_t kCmdWriteFuse = 0x40;
constexpr std::uint8_t kCmdWriteLock = 0x20;
constexpr std::uint8_t kCmdWriteFlash = 0x10;
constexpr std::uint8_t kCmdWriteEeprom = 0x11;
constexpr std::uint8_t kCmdReadSignature = 0x08;
constexpr std::uint8_t kCmdReadFlash = 0x02;
constexpr std::uint8_t kCmdReadEeprom = 0x03;
constexpr std::uint8_t kCmdNoOperation = 0x00;

// The ATtiny15 counts 16 SCI periods per frame bit.
constexpr std::uint32_t kSlowClockCode = 0x9006;
constexpr int kSlowClockExtraPulses = 15;

std::uint8_t Low(std::uint32_t value) { return static_cast<std::uint8_t>(value); }
std::uint8_t High(std::uint32_t value) { return static_cast<std::uint8_t>(value >> 8); }

void SciPulse(LinkContext& ctx) {
    SetDataBit(ctx, bits::kDataSciPair, true);
    SetDataBit(ctx, bits::kDataSciPair, false);
}

void ClockPulse(LinkContext& ctx) {
    SciPulse(ctx);
    if (ctx.device.deviceCode == kSlowClockCode) {
        for (int i = 0; i < kSlowClockExtraPulses; ++i) SciPulse(ctx);
    }
}

bool SdoHigh(LinkContext& ctx) { return (ReadBoardByte(ctx) & bits::kReadSdo) != 0; }

// Waits until SDO shows ready or limit passes have been made (at least one).
void ReadyPoll(LinkContext& ctx, std::uint32_t limit) {
    std::uint32_t count = 0;
    do {
        Wait100us(ctx, 1);
        ++count;
    } while (!SdoHigh(ctx) && count < limit);
}

void Frame(LinkContext& ctx, std::uint8_t sdi, std::uint8_t sii) { HvspInstruction(ctx, sdi, sii); }

void LoadCommand(LinkContext& ctx, std::uint8_t command) { Frame(ctx, command, kLoadCommand); }

std::uint16_t ReadWordFrames(LinkContext& ctx) {
    Frame(ctx, 0x00, kReadLow);
    const std::uint8_t low = HvspInstruction(ctx, 0x00, kIdleLow);
    Frame(ctx, 0x00, kReadHigh);
    const std::uint8_t high = HvspInstruction(ctx, 0x00, kIdleHigh);
    return static_cast<std::uint16_t>(high << 8 | low);
}

void WriteStrobe(LinkContext& ctx, bool high) {
    Frame(ctx, 0x00, high ? kWriteHigh : kWriteLow);
    Frame(ctx, 0x00, high ? kIdleHigh : kIdleLow);
}

}  // namespace

std::uint8_t HvspInstruction(LinkContext& ctx, std::uint8_t sdi, std::uint8_t sii) {
    SetDataBit(ctx, bits::kDataSdo, true);  // released, so that the chip can drive SDO
    std::uint8_t result = 0;
    SetDataBit(ctx, bits::kDataSdi, false);
    SetDataBit(ctx, bits::kDataSii, false);
    ClockPulse(ctx);
    if (SdoHigh(ctx)) result |= 0x80;
    std::uint8_t mask = 0x40;
    for (int bit = 7; bit >= 0; --bit) {
        SetDataBit(ctx, bits::kDataSdi, ((sdi >> bit) & 1) != 0);
        SetDataBit(ctx, bits::kDataSii, ((sii >> bit) & 1) != 0);
        ClockPulse(ctx);
        if (SdoHigh(ctx)) result |= mask;  // the sample after the last bit meets mask 0
        mask = static_cast<std::uint8_t>(mask >> 1);
    }
    SetDataBit(ctx, bits::kDataSdi, false);
    SetDataBit(ctx, bits::kDataSii, false);
    ClockPulse(ctx);
    ClockPulse(ctx);
    return result;
}

std::uint8_t HvspReadSignatureByte(LinkContext& ctx, std::uint8_t index) {
    LoadCommand(ctx, kCmdReadSignature);
    Frame(ctx, index & 0x03, kLoadAddressLow);
    Frame(ctx, 0x00, kReadLow);
    return HvspInstruction(ctx, 0x00, kIdleLow);
}

// --- PAR3 -------------------------------------------------------------------------

void Par3WriteAVRWord(LinkContext& ctx, std::uint16_t wordAddress, std::uint16_t word) {
    CheckDeviceCode(ctx, kPar3Codes, "Par3WriteAVRWord");
    const std::uint32_t code = ctx.device.deviceCode;
    LoadCommand(ctx, kCmdWriteFlash);
    Frame(ctx, High(wordAddress), kLoadAddressHigh);
    Frame(ctx, Low(wordAddress), kLoadAddressLow);
    Frame(ctx, Low(word), kLoadDataLow);
    WriteStrobe(ctx, false);
    ReadyPoll(ctx, ctx.device.flashWriteDelay);
    if (IsOneOf(code, {0x9004, 0x9005, 0x9006})) {
        Frame(ctx, High(word), kLoadDataHigh);
    } else if (IsOneOf(code, {0x9102, 0x9103})) {
        Frame(ctx, High(word), kLoadDataLow);
    }
    WriteStrobe(ctx, true);
    ReadyPoll(ctx, ctx.device.flashWriteDelay);
}

std::uint16_t Par3ReadAVRWord(LinkContext& ctx, std::uint16_t wordAddress) {
    if (!CheckDeviceCode(ctx, kPar3Codes, "Par3ReadAVRWord")) return 0x0000;
    LoadCommand(ctx, kCmdReadFlash);
    Frame(ctx, High(wordAddress), kLoadAddressHigh);
    Frame(ctx, Low(wordAddress), kLoadAddressLow);
    return ReadWordFrames(ctx);
}

void Par3WriteAVRByte(LinkContext& ctx, std::uint8_t address, std::uint8_t byte) {
    CheckDeviceCode(ctx, kPar3Codes, "Par3WriteAVRByte");
    // The ATtiny11 (0x9004) has no EEPROM.
    if (!IsOneOf(ctx.device.deviceCode, {0x9005, 0x9006, 0x9102, 0x9103})) return;
    LoadCommand(ctx, kCmdWriteEeprom);
    Frame(ctx, address, kLoadAddressLow);
    Frame(ctx, byte, kLoadDataLow);
    WriteStrobe(ctx, false);
    ReadyPoll(ctx, ctx.device.eepromWriteDelay);
}

std::uint8_t Par3ReadAVRByte(LinkContext& ctx, std::uint8_t address) {
    CheckDeviceCode(ctx, kPar3Codes, "Par3ReadAVRByte");
    if (!IsOneOf(ctx.device.deviceCode, {0x9005, 0x9006, 0x9102, 0x9103})) return 0xFF;
    LoadCommand(ctx, kCmdReadEeprom);
    Frame(ctx, address, kLoadAddressLow);
    Frame(ctx, 0x00, kReadLow);
    return HvspInstruction(ctx, 0x00, kIdleLow);
}

void Par3WriteLockBits(LinkContext& ctx, std::uint8_t lockBits) {
    CheckDeviceCode(ctx, kPar3Codes, "Par3WriteLockBits");
    const std::uint32_t code = ctx.device.deviceCode;
    // Lock1 and Lock2 go to data bits 1 and 2.
    auto v = static_cast<std::uint8_t>(lockBits << 1);
    if (IsOneOf(code, {0x9102, 0x9103})) v |= 0xF9;
    if (IsOneOf(code, {0x9004, 0x9005, 0x9006})) v &= 0x06;
    LoadCommand(ctx, kCmdWriteLock);
    Frame(ctx, v, kLoadDataLow);
    WriteStrobe(ctx, false);
    ReadyPoll(ctx, ctx.device.flashWriteDelay);
}

void Par3WriteFuseBits(LinkContext& ctx, std::uint8_t fuseLow) {
    CheckDeviceCode(ctx, kPar3Codes, "Par3WriteFuseBits");
    const std::uint32_t code = ctx.device.deviceCode;
    std::uint8_t v = fuseLow;
    if (code == 0x9004) v &= 0x1F;
    if (code == 0x9006) v |= 0x0C;
    if (code == 0x9102 || (code == 0x9103 && ctx.device.fuseD0 == 1)) v |= 0xDE;
    LoadCommand(ctx, kCmdWriteFuse);
    Frame(ctx, v, kLoadDataLow);
    WriteStrobe(ctx, false);
    if (IsOneOf(code, {0x9004, 0x9102, 0x9103})) {
        Wait100us(ctx, ctx.device.flashWriteDelay);
    } else if (IsOneOf(code, {0x9005, 0x9006})) {
        ReadyPoll(ctx, ctx.device.flashWriteDelay);
    }
}

// --- PAR4 -------------------------------------------------------------------------

void Par4LoadWriteFlashCommand(LinkContext& ctx) {
    CheckDeviceCode(ctx, kPar4Codes, "Par4LoadWriteFlashCommand");
    LoadCommand(ctx, kCmdWriteFlash);
}

void Par4LoadWriteEepromCommand(LinkContext& ctx) {
    CheckDeviceCode(ctx, kPar4Codes, "Par4LoadWriteEepromCommand");
    LoadCommand(ctx, kCmdWriteEeprom);
}

void Par4LoadNoOperation(LinkContext& ctx) {
    CheckDeviceCode(ctx, kPar4Codes, "Par4LoadNoOperation");
    LoadCommand(ctx, kCmdNoOperation);
}

void Par4WriteAVRWord(LinkContext& ctx, std::uint16_t wordAddress, std::uint16_t word) {
    CheckDeviceCode(ctx, kPar4Codes, "Par4WriteAVRWord");
    Frame(ctx, Low(wordAddress), kLoadAddressLow);
    Frame(ctx, Low(word), kLoadDataLow);
    Frame(ctx, High(word), kLoadDataHigh);
    Frame(ctx, 0x00, kLatchFlashPage);
    Frame(ctx, 0x00, kIdleHigh);
}

void Par4StartWritePageAVRWord(LinkContext& ctx, std::uint16_t wordAddress) {
    CheckDeviceCode(ctx, kPar4Codes, "Par4StartWritePageAVRWord");
    Frame(ctx, High(wordAddress), kLoadAddressHigh);
    WriteStrobe(ctx, false);
    ReadyPoll(ctx, ctx.device.flashWriteDelay);
}

std::uint16_t Par4ReadAVRWord(LinkContext& ctx, std::uint16_t wordAddress) {
    // Reports itself under the PAR3 name, as it always has.
    CheckDeviceCode(ctx, kPar4Codes, "Par3ReadAVRWord");
    LoadCommand(ctx, kCmdReadFlash);
    Frame(ctx, Low(wordAddress), kLoadAddressLow);
    Frame(ctx, High(wordAddress), kLoadAddressHigh);
    return ReadWordFrames(ctx);
}

void Par4LoadPageAVRByte(LinkContext& ctx, std::uint16_t address, std::uint8_t byte) {
    CheckDeviceCode(ctx, kPar4Codes, "Par4LoadPageAVRByte");
    Frame(ctx, Low(address), kLoadAddressLow);
    Frame(ctx, byte, kLoadDataLow);
    Frame(ctx, 0x00, kLatchEepromPage);
    Frame(ctx, 0x00, kIdleLow);
}

void Par4StartWritePageAVRByte(LinkContext& ctx, std::uint16_t address) {
    CheckDeviceCode(ctx, kPar4Codes, "Par4StartWritePageAVRByte");
    // The page address takes its high bits from the address high byte, which nothing
    // else sets for an EEPROM page; without it a part with more than 256 bytes of
    // EEPROM (the ATtiny85) would write its upper pages into the lower half.
    if (ctx.device.eepromBytes > 256) Frame(ctx, High(address), kLoadAddressHigh);
    WriteStrobe(ctx, false);
    ReadyPoll(ctx, ctx.device.eepromWriteDelay);
}

std::uint8_t Par4ReadAVRByte(LinkContext& ctx, std::uint16_t address) {
    CheckDeviceCode(ctx, kPar4Codes, "Par4ReadAVRByte");
    LoadCommand(ctx, kCmdReadEeprom);
    Frame(ctx, Low(address), kLoadAddressLow);
    Frame(ctx, High(address), kLoadAddressHigh);
    Frame(ctx, 0x00, kReadLow);
    return HvspInstruction(ctx, 0x00, kIdleLow);
}

void Par4WriteLockBits(LinkContext& ctx, std::uint8_t lockBits) {
    CheckDeviceCode(ctx, kPar4Codes, "Par4WriteLockBits");
    LoadCommand(ctx, kCmdWriteLock);
    Frame(ctx, lockBits & 0x03, kLoadDataLow);
    WriteStrobe(ctx, false);
    ReadyPoll(ctx, ctx.device.flashWriteDelay);
}

void Par4WriteFuseBits(LinkContext& ctx, const FuseBytes& fuses) {
    CheckDeviceCode(ctx, kPar4Codes, "Par4WriteFuseBits");
    LoadCommand(ctx, kCmdWriteFuse);
    Frame(ctx, fuses.low, kLoadDataLow);
    WriteStrobe(ctx, false);
    ReadyPoll(ctx, ctx.device.flashWriteDelay);
    // The ATtiny13's high fuse byte has five bits. The ATtiny25/45/85 use all eight
    // (SPIEN, DWEN and RSTDISBL on top): masking theirs would program those three.
    std::uint8_t high = fuses.high;
    if (ctx.device.deviceCode == 0x9007) high &= 0x1F;
    LoadCommand(ctx, kCmdWriteFuse);
    Frame(ctx, high, kLoadDataLow);
    WriteStrobe(ctx, true);
    ReadyPoll(ctx, ctx.device.flashWriteDelay);
}

}  // namespace merlinox::inline protocols
