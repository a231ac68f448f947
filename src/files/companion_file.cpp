#include "files/companion_file.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "core/input_file.h"

namespace merlinox::inline files {

namespace {

struct DirectoryCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

}  // namespace

CompanionFile FindCompanionFile(const std::string& exactPath) {
    struct stat info {};
    if (::stat(exactPath.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return {exactPath, EISDIR, {}};
        if (!S_ISREG(info.st_mode)) return {exactPath, InputFile::kNotRegularFile, {}};
        return {exactPath, 0, {}};
    }
    if (errno != ENOENT) return {exactPath, 0, {}};  // the load reports what it meets

    const std::size_t slash = exactPath.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : exactPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? exactPath : exactPath.substr(slash + 1);
    const std::string prefix = slash == std::string::npos ? "" : directory;
    std::unique_ptr<DIR, DirectoryCloser> dir(::opendir(directory.c_str()));
    if (!dir) return {exactPath, 0, {}};
    CompanionFile found{exactPath, 0, {}};
    bool matched = false;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (::strcasecmp(entry->d_name, name.c_str()) != 0) continue;
        if (matched) {
            found.other = prefix + entry->d_name;
            break;
        }
        found.path = prefix + entry->d_name;
        matched = true;
    }
    if (matched && found.other.empty() && ::stat(found.path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            found.error = EISDIR;
        else if (!S_ISREG(info.st_mode))
            found.error = InputFile::kNotRegularFile;
    }
    return found;
}

}  // namespace merlinox::inline files
