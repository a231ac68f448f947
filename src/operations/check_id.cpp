#include <array>
#include <cstdint>

#include "core/context.h"
#include "core/message_port.h"
#include "operations/blank_check.h"
#include "operations/mode_guard.h"
#include "protocols/hv_serial.h"
#include "protocols/parallel.h"
#include "protocols/spi.h"

namespace merlinox {

namespace {

constexpr std::uint8_t kParReadSignature = 0x08;

std::array<std::uint8_t, 3> ReadParallelSignature(Context& ctx) {
    std::array<std::uint8_t, 3> s{};
    ParLoadCommand(ctx, kParReadSignature);
    for (std::uint8_t a = 0; a < 3; ++a) {
        ParLoadAddressLow(ctx, a);
        s[a] = ParReadByteLow(ctx);
    }
    return s;
}

}  // namespace

int CheckID(Context& ctx) {
    if (!ModeGuard(ctx, "CheckID")) return 14;
    const DeviceRecord& dev = ctx.device;
    std::array<std::uint8_t, 3> s{};
    if (IsParallelMode(dev.programmingMode)) {
        s = ReadParallelSignature(ctx);
        // The larger parallel packages answer reliably only on the second reading.
        if (dev.pinCount == 28 || dev.pinCount == 40) s = ReadParallelSignature(ctx);
    } else if (IsSpiMode(dev.programmingMode)) {
        for (std::uint8_t a = 0; a < 3; ++a) s[a] = SpiReadSignatureByte(ctx, a);
    } else {
        for (std::uint8_t a = 0; a < 3; ++a) s[a] = HvspReadSignatureByte(ctx, a);
    }
    if (s[0] == dev.manufacturerId && s[1] == dev.deviceId && s[2] == dev.subId) return 0;
    ShowInfo(ctx, ctx.messageBuffer.Format(
                      "Prozessor-ID's stimmen nicht !!!\n\n"
                      "Richtig:\tHersteller-ID 0x%02X\tBaustein-ID 0x%02X\tSub-ID 0x%02X\n"
                      "Gelesen:\tHersteller-ID 0x%02X\tBaustein-ID 0x%02X\tSub-ID 0x%02X\n",
                      dev.manufacturerId, dev.deviceId, dev.subId, s[0], s[1], s[2]));
    return 14;
}

bool IdCheckFails(Context& ctx) { return ctx.settings.idCheck != 0 && CheckID(ctx) != 0; }

}  // namespace merlinox
