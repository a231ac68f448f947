// The whole load path of a programming run on any bytes: the flash file and, the same
// bytes again, an EEPROM companion found by a name that differs in case. Recognition,
// line ends, byte order mark, count records, the size checks and the refusals must
// never crash, hang or leave data beyond the device.
#include <fcntl.h>

#include "load_fuzz_support.h"

namespace {

void WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
    close(fd);
}

void CheckPass(merlinox::Context& ctx, const std::string& path, merlinox::MemoryKind kind,
               std::uint32_t limit) {
    using namespace merlinox;
    const PassLoad load = LoadFileForPass(ctx, path, kind);
    CloseInputFile(ctx);
    fuzzing::Check(load.result == kLoadOk || load.result == kLoadFailed, "pass result");
    if (load.result != kLoadOk || load.format == kFormatNone) return;
    fuzzing::Check(ctx.image.hasData && ctx.image.highestAddress < limit, "size check holds");
    const std::vector<std::uint8_t> blank(MemoryImage::kSize - limit, 0xFF);
    fuzzing::Check(std::memcmp(ctx.image.bytes.data() + limit, blank.data(), blank.size()) == 0,
                   "nothing beyond the device");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace merlinox;
    fuzzing::SilentUi ui;
    auto ctx = std::make_unique<AppContext>(ui);
    ctx->device.programmingMode = kMspi2;
    ctx->device.flashWords = 0x1000;
    ctx->device.eepromBytes = 0x200;
    ctx->settings.testChecksum = size % 2;

    fuzzing::ScratchFile scratch;
    const std::string flash = scratch.Directory() + "/fw.hex";
    const std::string eeprom = scratch.Directory() + "/FW.eep";
    WriteBytes(flash, data, size);
    WriteBytes(eeprom, data, size);
    CheckPass(*ctx, flash, kFlash, 2 * ctx->device.flashWords);
    CheckPass(*ctx, scratch.Directory() + "/fw.eep", kEeprom, ctx->device.eepromBytes);
    unlink(flash.c_str());
    unlink(eeprom.c_str());
    return 0;
}
