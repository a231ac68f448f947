#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace merlinox {

// A data file opened for reading, in text or binary mode.
//
// Text mode reads the way data files have always been read on the platform they come
// from: a carriage return followed by a line feed comes back as one "\n", and so does a
// lone line feed; any other carriage return is an ordinary character. A line is handed
// out with at most kMaxLine characters (its "\n" included); the rest of a longer line is
// passed over, so that every physical line counts once for the line numbers.
class InputFile {
public:
    static constexpr std::size_t kMaxLine = 2047;

    enum class ReadStatus { Line, End, Error };

    InputFile();
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens path; returns 0 or the error number of the failed open. An open file is
    // closed first.
    int Open(const std::string& path, bool binary);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    bool IsBinary() const { return binary_; }

    // Text mode: the next line, valid until the next call. NUL bytes are characters.
    ReadStatus ReadLine(std::string_view& line);

    // Binary mode: reads up to max bytes into target. Returns the count read, or -1
    // after a read error (ErrorNumber tells which).
    long ReadBytes(std::uint8_t* target, std::size_t max);

    // The error number of the last failed read.
    int ErrorNumber() const { return errorNumber_; }

private:
    bool Refill();  // false at the end of the file or after an error

    static constexpr std::size_t kBufferSize = 1 << 16;
    int fd_ = -1;
    bool binary_ = false;
    bool ended_ = false;
    int errorNumber_ = 0;
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    char line_[kMaxLine + 1] = {};
    char lastRaw_ = 0;  // the byte before the current read position
};

}  // namespace merlinox
