#pragma once
#include <string>
#include <string_view>

#include "core/data_file_paths.h"

namespace merlinox::inline config {

// Sets filePath to a stored (Windows-style) path and derives the other three from it.
void SetDataFile(DataFilePaths& paths, std::string_view storedPath);
// The same for a path chosen on disk, for example in a file dialog.
void SetDataFileFromDisk(DataFilePaths& paths, std::string_view diskPath);

// Where the data file and its companion are on disk.
std::string DataFileOnDisk(const DataFilePaths& paths);
std::string EepromFileOnDisk(const DataFilePaths& paths);
std::string DirectoryOnDisk(const DataFilePaths& paths);

}  // namespace merlinox::inline config
