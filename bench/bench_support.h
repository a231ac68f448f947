#pragma once
#include <cstdint>
#include <string_view>

#include "core/user_interface.h"

namespace merlinox::bench {

// A user who answers every box with OK and hears nothing: the passes run unattended.
class QuietUi : public UserInterface {
public:
    int ShowBox(BoxKind, std::string_view) override { return kIdOk; }
    void Beep() override {}
};

// The data word written at a flash word address: varied enough that a slip in the
// address or byte order reads back as a difference.
inline std::uint16_t Pattern(std::uint32_t word) {
    return static_cast<std::uint16_t>((word * 0x9E37u) ^ (word >> 5) ^ 0x0C94u);
}

}  // namespace merlinox::bench
