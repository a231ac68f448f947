// The serial programming instructions for flash, EEPROM, signature, lock and fuse bits.
#include "core/link_context.h"
#include "link/timing.h"
#include "protocols/device_check.h"
#include "protocols/spi.h"

namespace merlinox::inline protocols {
namespace {

// Instruction bytes.
constexpr std::uint8_t kWriteFlashLow = 0x40;  // byte write, or page-buffer load on paged parts
constexpr std::uint8_t kWriteFlashHigh = 0x48;
constexpr std::uint8_t kReadFlashLow = 0x20;
constexpr std::uint8_t kReadFlashHigh = 0x28;
constexpr std::uint8_t kWriteFlashPage = 0x4C;
constexpr std::uint8_t kLoadExtendedAddress = 0x4D;
constexpr std::uint8_t kWriteEeprom = 0xC0;
constexpr std::uint8_t kReadEeprom = 0xA0;
constexpr std::uint8_t kReadSignature = 0x30;
constexpr std::uint8_t kProgrammingCommand = 0xAC;  // lock and fuse writes, chip erase
constexpr std::uint8_t kWriteLockNew = 0xFF;        // second byte of the new lock form
constexpr std::uint8_t kWriteFuseLow = 0xA0;
constexpr std::uint8_t kWriteFuseHigh = 0xA8;
constexpr std::uint8_t kWriteFuseExt = 0xA4;

// Delay units of the first wait after a byte write, and of each poll step.
constexpr std::uint32_t kFirstWaitUnits = 40;
constexpr std::uint32_t kPollStepUnits = 5;

std::uint8_t Byte0(std::uint32_t value) { return static_cast<std::uint8_t>(value); }
std::uint8_t Byte1(std::uint32_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t Byte2(std::uint32_t value) { return static_cast<std::uint8_t>(value >> 16); }

void Send(LinkContext& ctx, std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    SpiSendByte(ctx, a);
    SpiSendByte(ctx, b);
    SpiSendByte(ctx, c);
    SpiSendByte(ctx, d);
}

std::uint8_t Read(LinkContext& ctx, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    SpiSendByte(ctx, a);
    SpiSendByte(ctx, b);
    SpiSendByte(ctx, c);
    return SpiReceiveByte(ctx);
}

void LoadExtendedAddress(LinkContext& ctx, std::uint32_t wordAddress) {
    if (ctx.device.extendedAddressing == 1)
        Send(ctx, kLoadExtendedAddress, 0x00, Byte2(wordAddress), 0x00);
}

// Writes one byte and waits until it reads back, or for the whole delay when the
// value is one a busy chip shows itself.
void WriteAndPoll(LinkContext& ctx, std::uint8_t write, std::uint8_t read, std::uint32_t address,
                  std::uint8_t value, std::uint32_t limit, bool (*unpollable)(std::uint8_t)) {
    Send(ctx, write, Byte1(address), Byte0(address), value);
    Wait100us(ctx, kFirstWaitUnits);
    if (unpollable(value)) {
        Wait100us(ctx, limit);
        return;
    }
    std::uint32_t t = 0;
    std::uint8_t r = 0;
    do {
        r = Read(ctx, read, Byte1(address), Byte0(address));
        if (r != value) Wait100us(ctx, kPollStepUnits);
        t += kPollStepUnits;
    } while (r != value && t < limit);
}

// While a flash byte is written the old parts read 0xFF or 0x7F there.
bool FlashUnpollable(std::uint8_t value) { return value == 0xFF || value == 0x7F; }

// While an EEPROM byte is written the old parts read 0x00 or 0x80 first and 0xFF or 0x7F
// after their auto-erase; polling for one of these would end at once, and the next
// write would reach a chip that is still busy.
bool EepromUnpollable(std::uint8_t value) {
    return value == 0xFF || value == 0x7F || value == 0x00 || value == 0x80;
}

}  // namespace

void SpiWriteAVRWord(LinkContext& ctx, std::uint32_t wordAddress, std::uint16_t word) {
    const DeviceRecord& device = ctx.device;
    const auto low = Byte0(word);
    const auto high = Byte1(word);
    if (device.deviceCode == 0x9001) {
        Send(ctx, kWriteFlashLow, Byte1(wordAddress), Byte0(wordAddress), low);
        Wait100us(ctx, device.flashWriteDelay);
        Send(ctx, kWriteFlashHigh, Byte1(wordAddress), Byte0(wordAddress), high);
        Wait100us(ctx, device.flashWriteDelay);
        return;
    }
    WriteAndPoll(ctx, kWriteFlashLow, kReadFlashLow, wordAddress, low, device.flashWriteDelay,
                 FlashUnpollable);
    WriteAndPoll(ctx, kWriteFlashHigh, kReadFlashHigh, wordAddress, high, device.flashWriteDelay,
                 FlashUnpollable);
}

std::uint16_t SpiReadAVRWord(LinkContext& ctx, std::uint32_t wordAddress) {
    LoadExtendedAddress(ctx, wordAddress);
    const std::uint8_t low = Read(ctx, kReadFlashLow, Byte1(wordAddress), Byte0(wordAddress));
    const std::uint8_t high = Read(ctx, kReadFlashHigh, Byte1(wordAddress), Byte0(wordAddress));
    return static_cast<std::uint16_t>(high << 8 | low);
}

void SpiLoadPageAVRWord(LinkContext& ctx, std::uint32_t wordAddress, std::uint16_t word) {
    const auto index =
        static_cast<std::uint8_t>(Byte0(wordAddress) & (ctx.device.flashPageWords - 1));
    Send(ctx, kWriteFlashLow, 0x00, index, Byte0(word));
    Send(ctx, kWriteFlashHigh, 0x00, index, Byte1(word));
}

void SpiWritePageAVRWord(LinkContext& ctx, std::uint32_t wordAddress) {
    const auto page =
        static_cast<std::uint8_t>(Byte0(wordAddress) & ~(ctx.device.flashPageWords - 1));
    LoadExtendedAddress(ctx, wordAddress);
    Send(ctx, kWriteFlashPage, Byte1(wordAddress), page, 0x00);
}

void SpiWriteAVRByte(LinkContext& ctx, std::uint32_t address, std::uint8_t byte) {
    WriteAndPoll(ctx, kWriteEeprom, kReadEeprom, address, byte, ctx.device.eepromWriteDelay,
                 EepromUnpollable);
}

std::uint8_t SpiReadAVRByte(LinkContext& ctx, std::uint32_t address) {
    return Read(ctx, kReadEeprom, Byte1(address), Byte0(address));
}

std::uint8_t SpiReadSignatureByte(LinkContext& ctx, std::uint8_t index) {
    // The ATtiny13 wants the second byte's upper bits 0.
    const std::uint8_t second = ctx.device.deviceCode == 0x9007 ? 0x1F : 0x3F;
    return Read(ctx, kReadSignature, second, index);
}

void SpiWriteLockBits(LinkContext& ctx, std::uint8_t lockBits) {
    const DeviceRecord& device = ctx.device;
    if (IsOneOf(device.deviceCode, {0x9001, 0x9101, 0x9201, 0x9301, 0x9105, 0x9203, 0x9102, 0x9103,
                                    0x9202, 0x9303, 0x9701, 0x9005, 0x9006, 0x9601})) {
        // Old form: Lock1 and Lock2 in bits 1 and 2 of the second byte.
        const auto v = static_cast<std::uint8_t>(lockBits << 1 | 0xF9);
        Send(ctx, kProgrammingCommand, v, 0x00, 0x00);
    } else if (device.deviceCode == 0x9109) {
        // The ATtiny26 takes Lock1 and Lock2 from bits 0 and 1 of the second byte and
        // ignores the fourth: the 0xFF of the new form would leave it unlocked.
        const auto v = static_cast<std::uint8_t>(device.lockFixedBits | lockBits);
        Send(ctx, kProgrammingCommand, static_cast<std::uint8_t>(0xFC | (v & 0x03)), 0x00, v);
    } else {
        const auto v = static_cast<std::uint8_t>(device.lockFixedBits | lockBits);
        Send(ctx, kProgrammingCommand, kWriteLockNew, 0x00, v);
    }
    Wait100us(ctx, device.flashWriteDelay);
}

void SpiWriteFuseBits(LinkContext& ctx, const FuseBytes& fuses) {
    const DeviceRecord& device = ctx.device;
    const std::uint32_t code = device.deviceCode;
    if (IsOneOf(code, {0x9001, 0x9101, 0x9201, 0x9301})) return;  // no serial fuse access
    bool oldForm = IsOneOf(code, {0x9105, 0x9203, 0x9102, 0x9202, 0x9303, 0x9701, 0x9601});
    if (code == 0x9103) {
        if (device.fuseD0 == 0) return;
        // The AT90S2343 (fuseD0 1) takes RCEN from bit 0 of the second byte as the old
        // form sends it; the new form would program RCEN whatever FuseLow says.
        oldForm = device.fuseD0 == 1 || device.fuseD0 == 2;
    }
    if (oldForm) {
        // The fuse bits travel in the second byte.
        Send(ctx, kProgrammingCommand, static_cast<std::uint8_t>((fuses.low & 0x1F) | 0xA0), 0x00,
             0x00);
        Wait100us(ctx, device.flashWriteDelay);
        return;
    }
    if (device.fuseCount >= 1) {
        Send(ctx, kProgrammingCommand, kWriteFuseLow, 0x00,
             static_cast<std::uint8_t>(device.lowFuseFixedBits | fuses.low));
        Wait100us(ctx, device.flashWriteDelay);
    }
    if (device.fuseCount >= 2) {
        Send(ctx, kProgrammingCommand, kWriteFuseHigh, 0x00,
             static_cast<std::uint8_t>(device.highFuseFixedBits | fuses.high));
        Wait100us(ctx, device.flashWriteDelay);
    }
    if (device.fuseCount >= 3) {
        Send(ctx, kProgrammingCommand, kWriteFuseExt, 0x00,
             static_cast<std::uint8_t>(device.extFuseFixedBits | fuses.ext));
        Wait100us(ctx, device.flashWriteDelay);
    }
}

}  // namespace merlinox::inline protocols
