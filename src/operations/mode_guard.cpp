#include "operations/mode_guard.h"

#include "core/context.h"
#include "core/message_port.h"

namespace merlinox {

bool ModeGuard(Context& ctx, std::string_view operation) {
    const int mode = ctx.device.programmingMode;
    if (mode >= kPar1 && mode <= kMspi2) return true;
    ShowInfo(ctx, ctx.messageBuffer.Format("Programmiermodus fehlt in %.*s()",
                                           static_cast<int>(operation.size()), operation.data()));
    return false;
}

bool IsParallelMode(int mode) { return mode == kPar1 || mode == kPar2; }

bool IsSpiMode(int mode) { return mode >= kSpi1 && mode <= kMspi2; }

}  // namespace merlinox
