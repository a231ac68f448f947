#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "core/firmware_fuses.h"
#include "core/input_file.h"

namespace merlinox::inline core {

class InputFile;  // the loader's reader (core/input_file.h)

// The data-file loader's own state beside the memory image.
struct FileState {
    // The data file of the current pass: opened by LoadFileForPass, open until the pass
    // has ended (CloseInputFile). At most one data file is open for reading at a time.
    InputFile inputFile;
    std::string inputPath;  // the path inputFile was opened with, for the file-error report
    // What the last flash load found for the fuse and lock bytes (ELF files only).
    FirmwareFuses firmwareFuses;

    // Shows a text in the main window's status line and repaints it. Empty where there is
    // no status line (command line, tests).
    std::function<void(std::string_view)> showStatus;
};

}  // namespace merlinox::inline core
