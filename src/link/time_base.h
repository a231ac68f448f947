#pragma once
#include <cstdint>

#include "config/settings.h"

namespace merlinox {

// Microseconds into delay units with "TimeBaseKorr": the product by 100 wraps at 32 bits
// as it always has, and a result of 0 becomes 1. A correction of 0 never reaches here
// from the configuration; it is treated as the default rather than divided by.
// TODO(link): replace by the library's TimeBase once it is on main.
inline std::uint32_t DelayUnits(const Settings& settings, std::uint32_t microseconds) {
    const std::uint32_t korr = settings.timeBaseKorr != 0 ? settings.timeBaseKorr : 85u;
    const std::uint32_t units = microseconds * 100u / 100u / korr;
    return units != 0 ? units : 1u;
}

}  // namespace merlinox
