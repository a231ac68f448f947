#include "app/library_location.h"

#include <filesystem>

#include "config/configuration.h"
#include "config/windows_path.h"

namespace merlinox::inline app {

namespace {

namespace fs = std::filesystem;

// Relative to the directory of the program file, as `cmake --install` lays them out.
constexpr const char* kInstalledDataDirectory = "../share/merlinox";

bool Exists(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

std::string InstalledLibrary() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    const fs::path data = program.parent_path() / kInstalledDataDirectory / kLibraryFileName;
    return data.lexically_normal().string();
}

}  // namespace

std::string PickLibraryFile(const LibraryCandidates& candidates) {
    if (Exists(candidates.workingDirectory)) return candidates.workingDirectory;
    if (!candidates.given.empty()) return candidates.given;
    if (Exists(candidates.installed)) return candidates.installed;
    return candidates.workingDirectory;
}

std::string LibraryFileFor(const std::string& given) {
    return PickLibraryFile({WorkingDirectoryFile(kLibraryFileName), given, InstalledLibrary()});
}

}  // namespace merlinox::inline app
