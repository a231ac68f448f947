#include "protocols/device_check.h"

#include "core/link_context.h"
#include "core/message_port.h"

namespace merlinox::inline protocols {

bool IsOneOf(std::uint32_t code, std::initializer_list<std::uint32_t> codes) {
    for (std::uint32_t c : codes) {
        if (c == code) return true;
    }
    return false;
}

bool CheckDeviceCode(LinkContext& ctx, std::initializer_list<std::uint32_t> codes,
                     const char* operation) {
    if (IsOneOf(ctx.device.deviceCode, codes)) return true;
    ShowInfo(ctx,
             ctx.messageBuffer.Format("Devicecode 0x%04X fehlt in %s",
                                      static_cast<unsigned>(ctx.device.deviceCode), operation));
    return false;
}

}  // namespace merlinox::inline protocols
