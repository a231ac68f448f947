#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace merlinox::inline config {

// A configuration file with the semantics of the platform's private-profile functions,
// which the sibling program sharing the file relies on:
// - "[Section]" lines and "Key=Value" lines; names compare without regard to case and
//   to surrounding blanks; the first occurrence of a key wins.
// - A missing file, section or key reads as the caller's default. Values lose their
//   surrounding blanks and one pair of enclosing quotes.
// - Writing a key replaces its value in place, or adds it at the end of its section
//   (after the section's last key), or adds the section at the end of the file.
// - Every other byte of the file (foreign sections and keys, comments, blank lines,
//   their line ends) is written back unchanged; new lines end with CR LF.
// The file is Windows-1252 on disk; names and values are UTF-8 at this interface.
class IniFile {
public:
    // Reads the file at diskPath. A missing file reads as an empty one (result 0);
    // any other failure leaves the contents empty and returns its errno. Only a regular
    // file is read (EISDIR, EINVAL otherwise), so a FIFO in its place does not block.
    int Load(const std::string& diskPath);

    // Writes a temporary file beside diskPath and renames it over diskPath, so that a
    // failure or a crash leaves either the old file or the new one, never a truncated
    // one. A symbolic link is followed. A file that is not a regular file, or that has
    // no write permission (made read-only on purpose), is not replaced (EINVAL, EISDIR
    // or EACCES). Returns 0 or the errno of the failed step.
    int Save(const std::string& diskPath) const;

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;

    // An integer as the profile functions read it (see ProfileIntFromText). A missing
    // key and an empty value (key followed by '=' and nothing else) both give the
    // default: that is what the platform's integer reader does for an empty value.
    std::uint32_t GetInt(std::string_view section, std::string_view key,
                         std::uint32_t defaultValue) const;

    // Line breaks in value are written as blanks: a value is one line.
    void SetString(std::string_view section, std::string_view key, std::string_view value);
    void SetInt(std::string_view section, std::string_view key, std::int32_t value);

    // The file's bytes as Save writes them.
    std::string Bytes() const;

private:
    struct Line {
        std::string text;  // Windows-1252, without the line end
        std::string end;   // "\r\n", "\n" or "" (the last line of a file without one)
    };
    struct Position {
        std::size_t sectionLine;  // index of the "[Section]" line
        std::size_t keyLine;      // index of the "Key=" line, or lines_.size() if none
    };

    std::optional<Position> Locate(std::string_view section, std::string_view key) const;

    std::vector<Line> lines_;
};

// Reads the file at diskPath as it is on disk now, lets change edit it and saves it,
// holding an exclusive lock on the file's directory for just that time, so that two
// programs saving at once each keep what the other wrote. 0 or an errno; a file that
// exists but cannot be read is not touched.
int UpdateProfile(const std::string& diskPath, const std::function<void(IniFile&)>& change);

// One read or write on the file at diskPath, as the profile functions do it for a
// single key. The writer keeps the rest of the file and returns 0 or an errno; it does
// not touch a file that exists but cannot be read.
std::string ReadProfileString(const std::string& diskPath, std::string_view section,
                              std::string_view key, std::string_view defaultValue);
std::uint32_t ReadProfileInt(const std::string& diskPath, std::string_view section,
                             std::string_view key, std::uint32_t defaultValue);
int WriteProfileString(const std::string& diskPath, std::string_view section, std::string_view key,
                       std::string_view value);
int WriteProfileInt(const std::string& diskPath, std::string_view section, std::string_view key,
                    std::int32_t value);

}  // namespace merlinox::inline config
