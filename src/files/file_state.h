#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "files/input_file.h"

namespace merlinox {

// The data-file loader's own state beside the memory image.
struct FileState {
    // The data file of the current pass: opened by LoadFileForPass, open until the pass
    // has ended (CloseInputFile). At most one data file is open for reading at a time.
    InputFile inputFile;
    std::string inputPath;  // the path inputFile was opened with, for the file-error report

    // Shows a text in the main window's status line and repaints it. Empty where there is
    // no status line (command line, tests).
    std::function<void(std::string_view)> showStatus;
};

}  // namespace merlinox
