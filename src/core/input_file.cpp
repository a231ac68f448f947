#include "core/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace merlinox::inline core {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// The first carriage return or line feed in [p, p + n), or nullptr.
const char* FindLineEnd(const char* p, std::size_t n) {
    const auto* lf = static_cast<const char*>(std::memchr(p, '\n', n));
    const std::size_t before = lf ? static_cast<std::size_t>(lf - p) : n;
    const auto* cr = static_cast<const char*>(std::memchr(p, '\r', before));
    return cr ? cr : lf;
}

}  // namespace

InputFile::InputFile() : buffer_(new char[kBufferSize]) {}

InputFile::~InputFile() { Close(); }

int InputFile::Open(const std::string& path, bool binary) {
    Close();
    // Without O_NONBLOCK the open of a FIFO would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : kNotRegularFile;
        ::close(fd);
        return error;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    binary_ = binary;
    size_ = static_cast<std::uint64_t>(info.st_size);
    return 0;
}

void InputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ended_ = false;
    atStart_ = true;
    skipLinefeed_ = false;
    errorNumber_ = 0;
    size_ = consumed_ = 0;
    begin_ = end_ = 0;
}

bool InputFile::Refill() {
    if (ended_ || fd_ < 0) return false;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.get(), kBufferSize);
        if (got > 0) {
            begin_ = 0;
            end_ = static_cast<std::size_t>(got);
            consumed_ += end_;
            if (!binary_ && consumed_ > kMaxTextBytes) break;
            return true;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) errorNumber_ = errno;
        ended_ = true;
        return false;
    }
    // A text file past the bound (it may also be growing while it is read).
    errorNumber_ = kFileTooLarge;
    ended_ = true;
    begin_ = end_ = 0;
    return false;
}

InputFile::ReadStatus InputFile::ReadLine(std::string_view& line) {
    std::size_t kept = 0;  // characters in line_
    bool sawAny = false;
    bool tooLong = false;
    for (;;) {
        if (begin_ == end_ && !Refill()) {
            if (errorNumber_ != 0) return ReadStatus::Error;
            if (!sawAny) return ReadStatus::End;
            line = std::string_view(line_, kept);  // last line without a line end
            return tooLong ? ReadStatus::TooLong : ReadStatus::Line;
        }
        const char* start = buffer_.get() + begin_;
        std::size_t avail = end_ - begin_;
        if (atStart_) {
            atStart_ = false;
            if (avail >= 3 && std::memcmp(start, kByteOrderMark, 3) == 0) {
                begin_ += 3;
                continue;
            }
        }
        if (skipLinefeed_) {
            // The line feed of a CR LF pair that a buffer boundary separated.
            skipLinefeed_ = false;
            if (*start == '\n') {
                ++begin_;
                continue;
            }
        }
        sawAny = true;
        const char* lineEnd = FindLineEnd(start, avail);
        const std::size_t body = lineEnd ? static_cast<std::size_t>(lineEnd - start) : avail;
        const std::size_t room = kMaxLine - kept;
        const std::size_t take = body < room ? body : room;
        std::memcpy(line_ + kept, start, take);
        kept += take;
        if (body > room) tooLong = true;
        if (lineEnd == nullptr) {
            begin_ = end_;
            continue;
        }
        begin_ += body + 1;
        if (*lineEnd == '\r') {
            if (begin_ < end_) {
                if (buffer_[begin_] == '\n') ++begin_;
            } else {
                skipLinefeed_ = true;
            }
        }
        line_[kept++] = '\n';
        line = std::string_view(line_, kept);
        return tooLong ? ReadStatus::TooLong : ReadStatus::Line;
    }
}

long InputFile::ReadBytes(std::uint8_t* target, std::size_t max) {
    std::size_t total = 0;
    const std::size_t buffered = end_ - begin_ < max ? end_ - begin_ : max;
    std::memcpy(target, buffer_.get() + begin_, buffered);
    begin_ += buffered;
    total += buffered;
    while (total < max && !ended_ && fd_ >= 0) {
        const ssize_t got = ::read(fd_, target + total, max - total);
        if (got > 0) {
            total += static_cast<std::size_t>(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            if (got < 0) errorNumber_ = errno;
            ended_ = true;
        }
    }
    consumed_ += total;
    // A read that failed part-way gives an incomplete image: report it like a failed one.
    if (errorNumber_ != 0) return -1;
    return static_cast<long>(total);
}

}  // namespace merlinox::inline core
