#pragma once
#include <cstdint>
#include <initializer_list>

namespace merlinox::inline core {
struct LinkContext;
}  // namespace merlinox::inline core

namespace merlinox::inline protocols {

// The device codes of the high-voltage serial modes: PAR3 byte-wise, PAR4 paged.
using DeviceCodes = std::initializer_list<std::uint32_t>;
inline constexpr DeviceCodes kPar3Codes = {0x9004, 0x9005, 0x9006, 0x9102, 0x9103};
inline constexpr DeviceCodes kPar4Codes = {0x9007, 0x9108, 0x9206, 0x930B};

bool IsOneOf(std::uint32_t code, std::initializer_list<std::uint32_t> codes);

// True when the current device code is in codes; otherwise shows "Devicecode 0x%04X
// fehlt in " and the operation's name, and the caller goes on with what does not
// depend on the code.
bool CheckDeviceCode(LinkContext& ctx, std::initializer_list<std::uint32_t> codes,
                     const char* operation);

}  // namespace merlinox::inline protocols
