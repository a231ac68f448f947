#pragma once
#include <cstddef>
#include <string_view>

namespace merlinox::inline core {

// The shared text buffer in which messages are composed before they are shown. It is
// fixed at 2048 bytes like the boxes' texts have always been; a message that would not
// fit is cut (at a character boundary, the text is UTF-8) and never written past the end.
class MessageBuffer {
public:
    static constexpr std::size_t kSize = 2048;

    // printf-style composition into the buffer; returns the composed text.
    std::string_view Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Appends printf-style output to the text already in the buffer.
    std::string_view Append(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Replaces the buffer's text by plain text (cut like Format).
    std::string_view Set(std::string_view text);

    std::string_view View() const { return {text_, length_}; }
    const char* CStr() const { return text_; }
    std::size_t Length() const { return length_; }
    void Clear();

private:
    void CutToCharacterBoundary();

    char text_[kSize] = {};
    std::size_t length_ = 0;
};

}  // namespace merlinox::inline core
