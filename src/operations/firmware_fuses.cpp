#include "operations/firmware_fuses.h"

#include <string>

#include "core/context.h"
#include "devices/fuse_layout.h"
#include "devices/fuse_panel.h"

namespace merlinox::inline operations {

std::array<std::optional<std::uint8_t>, 4> FirmwareFuseValues(const Context& ctx) {
    std::array<std::optional<std::uint8_t>, 4> values;
    for (int b = 0; b < kFuseByteCount; ++b) {
        const auto& fromFile = ctx.files.firmwareFuses.bytes[static_cast<std::size_t>(b)];
        if (!fromFile) continue;
        const std::uint8_t fixed = FixedBitsOf(ctx.device, static_cast<FuseByte>(b));
        values[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(*fromFile | fixed);
    }
    return values;
}

void AppendFirmwareFuses(const Context& ctx, MessageBuffer& buffer) {
    if (!ctx.files.firmwareFuses.Any()) return;
    const auto values = FirmwareFuseValues(ctx);
    buffer.Append("Fuses aus der Datei:");
    for (int b = 0; b < kFuseByteCount; ++b) {
        const auto& value = values[static_cast<std::size_t>(b)];
        if (!value) continue;
        const std::string key(FuseByteKey(static_cast<FuseByte>(b)));
        buffer.Append(" %s=0x%02X", key.c_str(), static_cast<unsigned>(*value));
    }
    buffer.Append("\n\n");
}

void ApplyFirmwareFuses(Context& ctx) {
    const auto values = FirmwareFuseValues(ctx);
    for (int b = 0; b < kFuseByteCount; ++b) {
        const auto& value = values[static_cast<std::size_t>(b)];
        if (value) FuseByteOf(ctx.settings, static_cast<FuseByte>(b)) = *value;
    }
}

}  // namespace merlinox::inline operations
