#pragma once
#include <cstdio>

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::cli {

// The selected device's stored lock and fuse bytes (its settings, which the next program
// writes) as one JSON object: each byte with its value and its bits with the names the
// panel gives them (names may repeat across bytes); unused bits are left out.
void PrintFusesJson(const Context& ctx, std::FILE* out);

}  // namespace merlinox::cli
