#pragma once
#include <string>
#include <string_view>

namespace merlinox::inline config {

// Paths in the configuration file are stored Windows style, with backslashes and an
// optional drive letter, because the sibling program reads the same file. On disk the
// path is the POSIX one: the drive is dropped and every backslash becomes a slash, so
// "C:\daten\test.hex" names /daten/test.hex. A path chosen on disk is stored with
// backslashes and without a drive: /daten/test.hex is stored as "\daten\test.hex".
// Names are UTF-8 on both sides (umlauts pass unchanged); a POSIX name that itself
// contains a backslash cannot be stored faithfully.

// A Windows path taken apart the way the platform's path splitter does it.
struct WindowsPathParts {
    std::string drive;      // "C:" when the path begins with a character and ':'
    std::string directory;  // after the drive up to and including the last '\' or '/'
    std::string baseName;   // the rest up to its last '.'
    std::string extension;  // from that '.' on (with the dot), or empty
};

WindowsPathParts SplitWindowsPath(std::string_view path);

std::string DiskPathFromStored(std::string_view stored);
std::string StoredPathFromDisk(std::string_view diskPath);

// The path on disk of fileName in the current working directory, or just fileName when
// the working directory cannot be determined.
std::string WorkingDirectoryFile(std::string_view fileName);

}  // namespace merlinox::inline config
