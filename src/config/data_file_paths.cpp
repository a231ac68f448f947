#include "config/data_file_paths.h"

#include "config/windows_path.h"

namespace merlinox::inline config {

void SetDataFile(DataFilePaths& paths, std::string_view storedPath) {
    const WindowsPathParts parts = SplitWindowsPath(storedPath);
    paths.filePath = std::string(storedPath);
    paths.fileName = parts.baseName + parts.extension;
    paths.directory = parts.drive + parts.directory;
    paths.eepromPath = parts.drive + parts.directory + parts.baseName + ".eep";
}

void SetDataFileFromDisk(DataFilePaths& paths, std::string_view diskPath) {
    SetDataFile(paths, StoredPathFromDisk(diskPath));
}

std::string DataFileOnDisk(const DataFilePaths& paths) {
    return DiskPathFromStored(paths.filePath);
}

std::string EepromFileOnDisk(const DataFilePaths& paths) {
    return DiskPathFromStored(paths.eepromPath);
}

std::string DirectoryOnDisk(const DataFilePaths& paths) {
    return DiskPathFromStored(paths.directory);
}

}  // namespace merlinox::inline config
