#include "operations/pass_file.h"

#include "core/context.h"
#include "files/data_loader.h"

namespace merlinox::inline operations {

int RunPassOnFile(Context& ctx, const std::string& path, int first, MemoryKind kind,
                  ImagePass pass) {
    const PassLoad load = LoadFileForPass(ctx, path, kind);
    if (load.result != kLoadOk) return load.result;
    if (load.format == kFormatNone) return kOk;
    const int r = pass(ctx, load.format, first, kind);
    CloseInputFile(ctx);
    return r;
}

std::uint32_t ImageCells(const Context& ctx, MemoryKind kind) {
    const std::uint32_t highest = ctx.image.highestAddress;
    return kind == kFlash ? highest / 2 + 1 : highest + 1;
}

}  // namespace merlinox::inline operations
