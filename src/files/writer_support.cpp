#include "core/context.h"
#include "core/message_port.h"
#include "files/data_writers.h"

namespace merlinox {

bool CheckProgrammingMode(Context& ctx, std::string_view operation) {
    const std::int32_t mode = ctx.device.programmingMode;
    if (mode >= kPar1 && mode <= kMspi2) return true;
    ShowInfo(ctx, ctx.messageBuffer.Format("Programmiermodus fehlt in %.*s()",
                                           static_cast<int>(operation.size()), operation.data()));
    return false;
}

}  // namespace merlinox
