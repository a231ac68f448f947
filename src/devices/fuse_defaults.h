#pragma once

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline devices {

// Sets the lock and fuse bytes of the settings to the current device's defaults. The
// lock byte's default is "nothing locked" (0xFF) for every device, also before a device
// was read, so that a failed library read never leaves a locking value behind.
void ApplyFuseDefaults(Context& ctx);

}  // namespace merlinox::inline devices
