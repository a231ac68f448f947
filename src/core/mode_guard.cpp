#include "core/mode_guard.h"

#include "core/context.h"
#include "core/message_port.h"
#include "core/programming_interface.h"

namespace merlinox::inline core {

bool ModeGuard(Context& ctx, std::string_view operation) {
    if (HasProgrammingMode(ctx.device.programmingMode)) return true;
    ShowInfo(ctx, ctx.messageBuffer.Format("Programmiermodus fehlt in %.*s()",
                                           static_cast<int>(operation.size()), operation.data()));
    return false;
}

}  // namespace merlinox::inline core
