#include "config/windows_path.h"

#include <filesystem>
#include <system_error>

namespace merlinox::inline config {

WindowsPathParts SplitWindowsPath(std::string_view path) {
    WindowsPathParts parts;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = std::string(path.substr(0, 2));
        path.remove_prefix(2);
    }
    const auto lastSeparator = path.find_last_of("\\/");
    if (lastSeparator != std::string_view::npos) {
        parts.directory = std::string(path.substr(0, lastSeparator + 1));
        path.remove_prefix(lastSeparator + 1);
    }
    const auto dot = path.rfind('.');
    if (dot != std::string_view::npos) {
        parts.extension = std::string(path.substr(dot));
        path = path.substr(0, dot);
    }
    parts.baseName = std::string(path);
    return parts;
}

std::string DiskPathFromStored(std::string_view stored) {
    if (stored.size() >= 2 && stored[1] == ':') stored.remove_prefix(2);
    std::string disk(stored);
    for (char& c : disk) {
        if (c == '\\') c = '/';
    }
    return disk;
}

std::string StoredPathFromDisk(std::string_view diskPath) {
    std::string stored(diskPath);
    for (char& c : stored) {
        if (c == '/') c = '\\';
    }
    return stored;
}

std::string WorkingDirectoryFile(std::string_view fileName) {
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    if (error) return std::string(fileName);
    return (directory / fileName).string();
}

}  // namespace merlinox::inline config
