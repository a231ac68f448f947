#include "app/device_configuration.h"

#include "config/configuration.h"
#include "config/ini_file.h"
#include "core/context.h"
#include "core/message_port.h"
#include "core/result_code.h"
#include "devices/fuse_defaults.h"
#include "devices/library_reader.h"

namespace merlinox::inline app {

int LoadConfiguration(Context& ctx) {
    const IniFile ini = ReadConfigurationFile(ctx);
    LoadGlobalSettings(ctx, ini);
    LoadSelectedDevice(ctx);  // has shown its own messages
    ApplyFuseDefaults(ctx);   // the device's section may replace them
    LoadDeviceSettings(ctx, ini);
    return kOk;
}

void SelectDevice(Context& ctx, int deviceIndex) {
    SaveConfiguration(ctx);
    ctx.settings.deviceIndex = deviceIndex;
    if (const int error = WriteProfileInt(ctx.iniPath, kProgramSection, "DeviceIndex", deviceIndex);
        error != 0) {
        ShowFileError(ctx, ctx.iniPath, error);
    }
    LoadConfiguration(ctx);
}

}  // namespace merlinox::inline app
