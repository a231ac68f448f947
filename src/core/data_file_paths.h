#pragma once
#include <string>

namespace merlinox::inline core {

// The current data file and its EEPROM companion. The values are kept the way they are
// stored in the configuration: Windows style, with backslashes and an optional drive
// letter (config/windows_path.h converts them to the path used on disk).
struct DataFilePaths {
    std::string filePath;    // full path of the flash data file
    std::string fileName;    // name and extension, as the main window shows it
    std::string directory;   // drive and directory; initial directory of the file dialogs
    std::string eepromPath;  // drive, directory and base name of filePath with ".eep"
};

}  // namespace merlinox::inline core
