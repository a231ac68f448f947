#include "devices/fuse_defaults.h"

#include "core/context.h"

namespace merlinox::inline devices {

void ApplyFuseDefaults(Context& ctx) {
    ctx.settings.lockBits = 0xFF;
    ctx.settings.fuseLow = ctx.device.lowFuseDefault;
    ctx.settings.fuseHigh = ctx.device.highFuseDefault;
    ctx.settings.fuseExt = ctx.device.extFuseDefault;
}

}  // namespace merlinox::inline devices
