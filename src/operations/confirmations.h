#pragma once
#include <string_view>

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// Fills the hint buffer with where the chip of the current device goes on the board,
// by its package and programming mode; empty when there is nothing to say.
std::string_view BuildSocketHint(Context& ctx);

// OK/Cancel confirmations naming the device; each returns kIdOk or kIdCancel.
int ConfirmOperation(Context& ctx, std::string_view title);
int ConfirmProgram(Context& ctx, std::string_view formatLabel);
int ConfirmVerify(Context& ctx, std::string_view formatLabel);

// The labels of a data format code (1 to 8, and 9 for ELF) in the two confirmations;
// they differ for codes 4 to 8. Empty for any other code.
std::string_view ProgramFormatLabel(int format);
std::string_view VerifyFormatLabel(int format);

}  // namespace merlinox::inline operations
