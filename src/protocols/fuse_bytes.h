#pragma once
#include <cstdint>

namespace merlinox::inline protocols {

// The fuse bytes a fuse write puts into the chip, as the fuse panel holds them (a bit
// value of 0 programs the fuse). Each interface takes the bytes its parts have and adds
// the part's fixed bits.
struct FuseBytes {
    std::uint8_t low = 0xFF;
    std::uint8_t high = 0xFF;
    std::uint8_t ext = 0xFF;
};

}  // namespace merlinox::inline protocols
