// The configuration file: LoadConfiguration and SaveConfiguration on any file, and the
// writer's promise that a key set is read back while the rest of the file stays.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/app_context.h"
#include "app/device_configuration.h"
#include "config/configuration.h"
#include "config/ini_file.h"
#include "silent_ui.h"

namespace {

using merlinox::fuzzing::SilentUi;

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-ini-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 0;
    const std::filesystem::path dir = pattern;
    const std::string iniPath = (dir / "pendrake.ini").string();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::ofstream(iniPath, std::ios::binary) << bytes;

    SilentUi ui;
    merlinox::AppContext ctx(ui);
    ctx.iniPath = iniPath;
    ctx.library.libraryPath =
        (dir / "at90list.csv").string();  // missing: the device name stays empty
    merlinox::LoadConfiguration(ctx);
    merlinox::SaveConfiguration(ctx);

    // Loading what was saved and saving it again changes nothing.
    merlinox::IniFile saved;
    Check(saved.Load(iniPath) == 0);
    const std::string once = saved.Bytes();
    merlinox::LoadConfiguration(ctx);
    merlinox::SaveConfiguration(ctx);
    merlinox::IniFile again;
    Check(again.Load(iniPath) == 0);
    Check(again.Bytes() == once);

    // A key set in the original file is read back, and a new section only adds to the
    // end of the file: every original byte stays where it was.
    std::ofstream(iniPath, std::ios::binary) << bytes;
    merlinox::IniFile original;
    Check(original.Load(iniPath) == 0);
    const bool fresh =
        !original.Find("Fuzz Section", "Key").has_value() && bytes.find('[') == std::string::npos;
    original.SetInt("Fuzz Section", "Key", -7);
    Check(static_cast<std::int32_t>(original.GetInt("FUZZ SECTION", " key ", 0)) == -7);
    if (fresh) {
        const std::string out = original.Bytes();
        Check(out.compare(0, bytes.size(), bytes) == 0);
        std::string tail = out.substr(bytes.size());
        if (!bytes.empty() && bytes.back() != '\n') Check(tail.rfind("\r\n", 0) == 0);
        Check(tail.size() >= 24 &&
              tail.compare(tail.size() - 24, 24, "[Fuzz Section]\r\nKey=-7\r\n") == 0);
    }
    original.SetString("Hardware", "PortAdress", "2f8");
    Check(original.GetString("hardware", "portadress", "") == "2f8");

    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
