// The SPI byte shifters and the synchronisation that enters programming mode.
#include "core/link_context.h"
#include "core/message_port.h"
#include "core/result_code.h"
#include "link/latch_bits.h"
#include "link/latch_ops.h"
#include "link/timing.h"
#include "link/transport.h"
#include "protocols/spi.h"
#include "protocols/spi_clock.h"

namespace merlinox::inline protocols {
namespace {

constexpr std::uint8_t kEnable[] = {0xAC, 0x53};
constexpr std::uint8_t kEcho = 0x53;
constexpr int kAttemptsSckResync = 64;
constexpr int kAttemptsResetResync = 10;
constexpr std::uint32_t kXtal1PulsesAfterSync = 10;
constexpr std::uint32_t kSettleMs = 100;

// One programming-enable instruction; true when the chip echoed the second byte.
bool EnableAttempt(LinkContext& ctx) {
    SpiSendByte(ctx, kEnable[0]);
    SpiSendByte(ctx, kEnable[1]);
    const std::uint8_t echo = SpiReceiveByte(ctx);
    SpiSendByte(ctx, 0x00);
    return echo == kEcho;
}

}  // namespace

void Xtal1Pulses(LinkContext& ctx, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        SetDataBit(ctx, bits::kDataXtal1, true);
        SetDataBit(ctx, bits::kDataXtal1, false);
    }
}

void Xtal1AfterRisingSck(LinkContext& ctx) {
    if (Xtal1Clocked(ctx.device)) Xtal1Pulses(ctx, ctx.device.sckHighClocks);
}

void Xtal1AfterFallingSck(LinkContext& ctx) {
    if (Xtal1Clocked(ctx.device)) Xtal1Pulses(ctx, ctx.device.sckLowClocks);
}

void SpiSendByte(LinkContext& ctx, std::uint8_t byte) {
    for (int bit = 7; bit >= 0; --bit) {
        SetDataBit(ctx, bits::kDataMosi, ((byte >> bit) & 1) != 0);
        SetDataBit(ctx, bits::kDataSck, true);
        Xtal1AfterRisingSck(ctx);
        SetDataBit(ctx, bits::kDataSck, false);
        Xtal1AfterFallingSck(ctx);
    }
}

std::uint8_t SpiReceiveByte(LinkContext& ctx) {
    SetDataBit(ctx, bits::kDataMiso, true);  // released, so that the chip can drive MISO
    std::uint8_t result = 0;
    for (int i = 0; i < 8; ++i) {
        SetDataBit(ctx, bits::kDataSck, true);
        Xtal1AfterRisingSck(ctx);
        if ((ReadBoardByte(ctx) & bits::kReadMiso) != 0)
            result |= static_cast<std::uint8_t>(0x80 >> i);
        SetDataBit(ctx, bits::kDataSck, false);
        Xtal1AfterFallingSck(ctx);
    }
    return result;
}

int SPISync(LinkContext& ctx) {
    const DeviceRecord& device = ctx.device;
    // The AT90S1200 does not echo; it is taken as in step.
    if (device.deviceCode == 0x9001) {
        SpiSendByte(ctx, kEnable[0]);
        SpiSendByte(ctx, kEnable[1]);
        SpiSendByte(ctx, 0x00);
        SpiSendByte(ctx, 0x00);
        Wait1ms(ctx, kSettleMs);
        return kOk;
    }
    bool inStep = false;
    if (device.spiSyncMode == 1) {
        // Out of step, the chip's framing is walked round one SCK pulse at a time.
        for (int attempt = 1; attempt <= kAttemptsSckResync && !inStep; ++attempt) {
            inStep = EnableAttempt(ctx);
            if (!inStep && attempt < kAttemptsSckResync) {
                SetDataBit(ctx, bits::kDataSck, true);
                SetDataBit(ctx, bits::kDataSck, false);
            }
        }
        if (Xtal1Clocked(device)) Xtal1Pulses(ctx, kXtal1PulsesAfterSync);
        Wait1ms(ctx, kSettleMs);
    } else if (device.spiSyncMode == 0) {
        // Out of step, a positive RESET pulse starts the chip's serial interface afresh.
        for (int attempt = 1; attempt <= kAttemptsResetResync && !inStep; ++attempt) {
            inStep = EnableAttempt(ctx);
            if (!inStep) {
                SetDataBit(ctx, bits::kDataReset, true);
                Wait1ms(ctx, kSettleMs);
                SetDataBit(ctx, bits::kDataReset, false);
                Wait1ms(ctx, kSettleMs);
            }
        }
        if (inStep) Wait1ms(ctx, kSettleMs);
    } else {
        return kOk;
    }
    if (inStep) return kOk;
    ShowInfo(ctx, "SPISync fehlgeschlagen !");
    return kProgrammingFailed;
}

}  // namespace merlinox::inline protocols
