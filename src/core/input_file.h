#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace merlinox::inline core {

// A data file opened for reading, in text or binary mode. Only regular files are opened:
// a directory, a FIFO or a device could block the load or never end it.
//
// Text mode: a carriage return, a line feed, or the two together end a line, which
// comes back with one "\n"; files from every platform read alike. A UTF-8 byte order
// mark at the start of the file is passed over. A line may hold at most kMaxLine
// characters before its line end; a longer one is reported as TooLong (with its first
// kMaxLine characters) so that nothing of it is silently lost. The whole file is
// bounded by kMaxTextBytes: a file without line ends or a huge log ends in an error
// instead of a load that never finishes.
class InputFile {
public:
    static constexpr std::size_t kMaxLine = 2047;
    static constexpr std::uint64_t kMaxTextBytes = 64ull << 20;

    // Error numbers of our own beside errno's (which are positive).
    static constexpr int kNotRegularFile = -1;  // FIFO, device, socket
    static constexpr int kFileTooLarge = -2;    // text beyond kMaxTextBytes

    enum class ReadStatus { Line, End, Error, TooLong };

    InputFile();
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens path; returns 0, the error number of the failed open (EISDIR for a
    // directory) or kNotRegularFile. An open file is closed first.
    int Open(const std::string& path, bool binary);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    bool IsBinary() const { return binary_; }
    // The size of the file when it was opened.
    std::uint64_t Size() const { return size_; }

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
    bool atStart_ = true;        // nothing read yet: a byte order mark may follow
    bool skipLinefeed_ = false;  // the last line ended in a carriage return
    int errorNumber_ = 0;
    std::uint64_t size_ = 0;
    std::uint64_t consumed_ = 0;  // bytes read from the file so far
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    char line_[kMaxLine + 2] = {};
};

}  // namespace merlinox::inline core
