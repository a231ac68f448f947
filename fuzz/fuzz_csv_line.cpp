// ReadCSV on one device line: any bytes, as the library reader hands them over.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/app_context.h"
#include "devices/device_line.h"
#include "silent_ui.h"

using merlinox::fuzzing::SilentUi;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SilentUi ui;
    merlinox::AppContext ctx(ui);
    ctx.library.libraryPath = "/fuzz/at90list.csv";
    if (size > 0) {
        ctx.settings.timeBaseKorr = data[0] % 101;  // 0 included: never set so, never fatal
        ++data;
        --size;
    }
    ctx.library.line.assign(reinterpret_cast<const char*>(data), size);
    merlinox::DeviceRecord record;
    const int result = merlinox::ReadCSV(ctx, record);
    if (result != 0 && result != 13 && result != 17) __builtin_trap();
    if (result == 0 &&
        (record.flashWords == 0 || record.flashWords > 131072 || record.fuseD0 > 2 ||
         record.programmingMode < 1 || record.programmingMode > 8 || record.fuseCount > 3)) {
        __builtin_trap();
    }
    return 0;
}
