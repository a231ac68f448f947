#pragma once
#include <string>

namespace merlinox::inline files {

// Where the EEPROM companion of a data file is on disk. Names on Linux differ by case,
// and files made elsewhere pair FW.HEX with FW.EEP or fw.hex with fw.EEP: when the exact
// name does not exist, a single name in the same directory that equals it without
// regard to case is the companion.
struct CompanionFile {
    std::string path;   // the file to read; the exact name when none is found
    int error = 0;      // EISDIR or InputFile::kNotRegularFile: refused as such
    std::string other;  // set with path when two names differ only in case: refused
};

CompanionFile FindCompanionFile(const std::string& exactPath);

}  // namespace merlinox::inline files
