#pragma once
#include <cstdint>

namespace merlinox {

// The link state: register addresses, the poll limit and the shadows of the board's
// latches. Latch changes are made on a shadow first and the whole shadow is then sent,
// so that the other bits keep their state.
struct BoardLink {
    std::uint16_t dataPort = 0;
    std::uint16_t statusPort = 0;
    std::uint16_t controlPort = 0;
    std::uint32_t timeoutCount = 1000000;
    std::uint8_t lastControl = 0;
    std::uint8_t lastStatus = 0;
    std::uint8_t controlLatch = 0;
    std::uint8_t signalLatch = 0;
    std::uint8_t clockLatch = 0;
    std::uint8_t powerLatch = 0;
    std::uint8_t dataLatch = 0;
    std::uint8_t vccCode = 0;
    std::uint8_t vppCode = 0;
    bool demoMode = false;
};

}  // namespace merlinox
