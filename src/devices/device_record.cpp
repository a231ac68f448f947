#include "devices/device_record.h"

#include "app/context.h"

namespace merlinox {

void ApplyFuseDefaults(Context& ctx) {
    ctx.settings.lockBits = 0xFF;
    ctx.settings.fuseLow = ctx.device.lowFuseDefault;
    ctx.settings.fuseHigh = ctx.device.highFuseDefault;
    ctx.settings.fuseExt = ctx.device.extFuseDefault;
}

}  // namespace merlinox
