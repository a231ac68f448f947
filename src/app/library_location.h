#pragma once
#include <string>

namespace merlinox::inline app {

// Where the device library comes from, in this order: "at90list.csv" in the working
// directory (where the configuration lives too), then the file the user names, then
// the copy installed with the program (share/merlinox beside the program's bin/).
struct LibraryCandidates {
    std::string workingDirectory;
    std::string given;      // empty when the user named none
    std::string installed;  // empty when the program's own place is unknown
};

// The first candidate that exists; a named file wins over the installed copy even when
// it is missing, so that the error names what the user typed. With none at all the
// working directory's, whose absence the library reader reports.
std::string PickLibraryFile(const LibraryCandidates& candidates);

// The candidates of the running program: the working directory, given, and the copy
// installed relative to /proc/self/exe.
std::string LibraryFileFor(const std::string& given);

}  // namespace merlinox::inline app
