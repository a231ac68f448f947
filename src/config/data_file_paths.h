#pragma once
#include <string>
#include <string_view>

namespace merlinox {

// The current data file and its EEPROM companion. The values are kept the way they are
// stored in the configuration: Windows style, with backslashes and an optional drive
// letter (config/windows_path.h converts them to the path used on disk).
struct DataFilePaths {
    std::string filePath;    // full path of the flash data file
    std::string fileName;    // name and extension, as the main window shows it
    std::string directory;   // drive and directory; initial directory of the file dialogs
    std::string eepromPath;  // drive, directory and base name of filePath with ".eep"
};

// Sets filePath to a stored (Windows-style) path and derives the other three from it.
void SetDataFile(DataFilePaths& paths, std::string_view storedPath);
// The same for a path chosen on disk, for example in a file dialog.
void SetDataFileFromDisk(DataFilePaths& paths, std::string_view diskPath);

// Where the data file and its companion are on disk.
std::string DataFileOnDisk(const DataFilePaths& paths);
std::string EepromFileOnDisk(const DataFilePaths& paths);
std::string DirectoryOnDisk(const DataFilePaths& paths);

}  // namespace merlinox
