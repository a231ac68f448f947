#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace merlinox::inline files {

// A data file being written, in text or binary mode; an existing file is replaced.
//
// The data go into a new file of its own beside the target (created exclusively), which
// replaces the target only when Close has written everything: a cancel, a full disk or
// a crash leaves the old file as it was instead of a cut one.
//
// Text mode writes every "\n" as carriage return and line feed. Output is buffered; once
// a write to the disk has failed, every later write fails too, so that no success can
// follow a lost line. Close reports a failure of the last flush.
class OutputFile {
public:
    OutputFile();
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Returns 0 or the error number of the failed open (EISDIR for a directory).
    int Open(const std::string& path, bool binary);

    // Writes one line (text mode). False when the line, or output before it, could not
    // be written. Every written line counts for LinesWritten.
    bool WriteLine(std::string_view line);

    // Writes bytes as they are (binary mode); returns the count that reached the file.
    std::size_t WriteBytes(const std::uint8_t* data, std::size_t count);

    // Flushes, closes and puts the file in place of the target; returns 0 or the error
    // number of the failed flush, close or rename. A file that already failed returns
    // that error and leaves the target alone.
    int Close();
    // Drops what was written; the target stays as it was. The destructor does the same
    // for a file that was not closed.
    void Abandon();

    bool IsOpen() const { return fd_ >= 0; }
    bool Failed() const { return errorNumber_ != 0; }
    int ErrorNumber() const { return errorNumber_; }
    std::uint32_t LinesWritten() const { return linesWritten_; }
    // The lines that have reached the disk; a failed line is the one after them.
    std::uint32_t LinesOnDisk() const { return linesOnDisk_; }

private:
    void Start(int fd, const std::string& path, const std::string& temp, bool binary);
    bool Flush();
    bool WriteAll(const char* data, std::size_t count);

    static constexpr std::size_t kBufferSize = 1 << 16;
    int fd_ = -1;
    bool binary_ = false;
    int errorNumber_ = 0;
    std::uint32_t linesWritten_ = 0;
    std::uint32_t linesOnDisk_ = 0;
    std::string path_;      // the target
    std::string tempPath_;  // where the data go until Close
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace merlinox::inline files
