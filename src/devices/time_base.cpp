#include "devices/time_base.h"

#include "core/context.h"

namespace merlinox::inline devices {

std::uint32_t TimeBase(const Context& ctx, std::uint32_t microseconds) {
    return TimeBase(ctx.settings.timeBaseKorr, microseconds);
}

std::uint32_t TimeBase(std::uint32_t correction, std::uint32_t microseconds) {
    // The configuration load keeps it in 1..100; a context set up by hand must not
    // divide by zero either.
    if (correction == 0) correction = 85;
    const std::uint32_t units = microseconds * 100u / 100u / correction;
    return units == 0 ? 1 : units;
}

}  // namespace merlinox::inline devices
