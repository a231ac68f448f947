// The whole library walk on one file: the manufacturer list, every device list and
// LoadSelectedDevice for an index taken from the input.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/app_context.h"
#include "devices/library_reader.h"
#include "silent_ui.h"

using merlinox::fuzzing::SilentUi;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int fd = memfd_create("at90list", 0);
    if (fd < 0) return 0;
    if (write(fd, data + 2, size - 2) != static_cast<ssize_t>(size - 2)) {
        close(fd);
        return 0;
    }
    SilentUi ui;
    merlinox::AppContext ctx(ui);
    ctx.library.libraryPath = "/proc/self/fd/" + std::to_string(fd);

    int manufacturers = 0;
    if (merlinox::OpenLibrary(ctx) == 0) {
        while (merlinox::NextManufacturer(ctx) == 0) ++manufacturers;
        merlinox::CloseLibrary(ctx);
    }
    for (int m = 0; m <= manufacturers && m < 8; ++m) {
        ctx.settings.manufIndex = m;
        if (merlinox::OpenLibrary(ctx) != 0) break;
        merlinox::FindManufacturer(ctx);
        merlinox::DeviceRecord scratch;
        int guard = 0;
        while (merlinox::NextDevice(ctx, scratch) != merlinox::kLibraryEnd) {
            if (++guard > 1000000) __builtin_trap();  // the walk always ends
        }
        merlinox::CloseLibrary(ctx);
    }
    ctx.settings.manufIndex = static_cast<std::int8_t>(data[0]) % 8;
    ctx.settings.deviceIndex = static_cast<std::int8_t>(data[1]) % 16;
    merlinox::LoadSelectedDevice(ctx);
    if (ctx.library.file) __builtin_trap();  // every operation closes the library again
    close(fd);
    return 0;
}
