#include <cstdint>

#include "core/context.h"
#include "core/message_port.h"
#include "core/mode_guard.h"
#include "operations/blank_check.h"
#include "operations/family_steps.h"
#include "protocols/hv_serial.h"
#include "protocols/parallel.h"
#include "protocols/spi.h"

namespace merlinox::inline operations {

namespace {

constexpr std::uint8_t kParReadSignature = 0x08;

ChipSignature ReadParallelSignatureOnce(Context& ctx) {
    ChipSignature s{};
    ParLoadCommand(ctx, kParReadSignature);
    for (std::uint8_t a = 0; a < 3; ++a) {
        ParLoadAddressLow(ctx, a);
        s[a] = ParReadByteLow(ctx);
    }
    return s;
}

}  // namespace

ChipSignature ReadSignatureParallel(Context& ctx) {
    const ChipSignature s = ReadParallelSignatureOnce(ctx);
    // The larger parallel packages answer reliably only on the second reading.
    const std::uint8_t pins = ctx.device.pinCount;
    return pins == 28 || pins == 40 ? ReadParallelSignatureOnce(ctx) : s;
}

ChipSignature ReadSignatureHighVoltage(Context& ctx) {
    ChipSignature s{};
    for (std::uint8_t a = 0; a < 3; ++a) s[a] = HvspReadSignatureByte(ctx, a);
    return s;
}

ChipSignature ReadSignatureSpi(Context& ctx) {
    ChipSignature s{};
    for (std::uint8_t a = 0; a < 3; ++a) s[a] = SpiReadSignatureByte(ctx, a);
    return s;
}

int CheckID(Context& ctx) {
    if (!ModeGuard(ctx, "CheckID")) return kSignatureMismatch;
    const DeviceRecord& dev = ctx.device;
    const ChipSignature s = InterfaceOf(ctx).readSignature(ctx);
    if (s[0] == dev.manufacturerId && s[1] == dev.deviceId && s[2] == dev.subId) return kOk;
    ShowInfo(ctx, ctx.messageBuffer.Format(
                      "Prozessor-ID's stimmen nicht !!!\n\n"
                      "Richtig:\tHersteller-ID 0x%02X\tBaustein-ID 0x%02X\tSub-ID 0x%02X\n"
                      "Gelesen:\tHersteller-ID 0x%02X\tBaustein-ID 0x%02X\tSub-ID 0x%02X\n",
                      dev.manufacturerId, dev.deviceId, dev.subId, s[0], s[1], s[2]));
    return kSignatureMismatch;
}

bool IdCheckFails(Context& ctx) { return ctx.settings.idCheck != 0 && CheckID(ctx) != kOk; }

}  // namespace merlinox::inline operations
