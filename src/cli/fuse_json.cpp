#include "cli/fuse_json.h"

#include <string>

#include "cli/device_listing.h"
#include "cli/json_text.h"
#include "core/context.h"
#include "devices/fuse_layout.h"
#include "devices/fuse_panel.h"

namespace merlinox::cli {

void PrintFusesJson(const Context& ctx, std::FILE* out) {
    const DeviceRecord& device = ctx.device;
    const FuseBits bits = DescribeFuseBits(device);
    std::fprintf(out, "{\n  \"device\": %s,\n  \"mode\": \"%s\",\n  \"bytes\": {",
                 JsonString(device.name).c_str(), ModeKeyword(device.programmingMode));
    for (int b = 0; b < kFuseByteCount; ++b) {
        const auto byte = static_cast<FuseByte>(b);
        const unsigned value = FuseByteOf(ctx.settings, byte);
        std::fprintf(out, "%s\n    %s: {\"value\": %u, \"bits\": [", b ? "," : "",
                     JsonString(FuseByteKey(byte)).c_str(), value);
        const char* separator = "";
        for (int bit = 7; bit >= 0; --bit) {
            const FuseBit& f = bits.At(byte, bit);
            if (f.label == kUnusedBitLabel) continue;
            // 0 means programmed, as on the chip.
            std::fprintf(out, "%s{\"name\": %s, \"bit\": %d, \"value\": %u, \"fixed\": %s}",
                         separator, JsonString(f.label).c_str(), bit, (value >> bit) & 1u,
                         f.enabled ? "false" : "true");
            separator = ", ";
        }
        std::fprintf(out, "]}");
    }
    std::fprintf(out, "\n  }\n}\n");
}

}  // namespace merlinox::cli
