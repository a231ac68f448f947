#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/memory_image.h"

namespace merlinox::inline files {

// Where a writer takes the cells it saves, and how it shows its progress. The writers
// never need a finished image: they ask for one cell after the other, so a chip read-out
// feeds them through the cell read of its programming mode, with the progress bar, the
// status line and the Cancel button of the window. ImageCellSource serves a loaded image.
class CellSource {
public:
    virtual ~CellSource() = default;

    // Flash: the 16-bit word at a word address. EEPROM: the byte at a byte address.
    virtual std::uint32_t ReadCell(std::uint32_t address) = 0;

    // Reads count cells from first on into out (flash words low byte first), with
    // StepProgress after each; stops after the cell at which a cancel is requested.
    // Returns the number of cells read.
    virtual std::uint32_t ReadCells(std::uint32_t first, std::uint32_t count, MemoryKind kind,
                                    std::uint8_t* out) {
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t value = ReadCell(first + i);
            *out++ = static_cast<std::uint8_t>(value);
            if (kind == kFlash) *out++ = static_cast<std::uint8_t>(value >> 8);
            StepProgress();
            if (CancelRequested()) return i + 1;
        }
        return count;
    }

    // Shows a text in the status line and repaints it.
    virtual void SetStatus(std::string_view text) { (void)text; }
    virtual void InitProgress(std::uint32_t total) { (void)total; }
    // Counts one cell and services the window, so that a Cancel click can arrive.
    virtual void StepProgress() {}
    // The same while the end of the data is searched from the top: the bar runs down.
    virtual void StepProgressDown() { StepProgress(); }
    virtual bool CancelRequested() { return false; }
    // The output file of a binary save could not be opened: the chip is switched off.
    virtual void BoardOff() {}
};

// The cells of a memory image: flash words low byte first, EEPROM bytes; cells beyond
// size read as blank. The bytes are not copied and may be the context's own image, which
// the writers use as their buffer: they fill it from offset 0 with blocks in ascending
// address order, so a block only ever overwrites cells that were read before.
class ImageCellSource : public CellSource {
public:
    ImageCellSource(const std::uint8_t* bytes, std::uint32_t size, MemoryKind kind)
        : bytes_(bytes), size_(size), kind_(kind) {}

    std::uint32_t ReadCell(std::uint32_t address) override {
        if (kind_ == kEeprom) return address < size_ ? bytes_[address] : 0xFF;
        const std::uint64_t low = 2ull * address;
        const std::uint32_t lowByte = low < size_ ? bytes_[low] : 0xFF;
        const std::uint32_t highByte = low + 1 < size_ ? bytes_[low + 1] : 0xFF;
        return lowByte | highByte << 8;
    }

    std::uint32_t ReadCells(std::uint32_t first, std::uint32_t count, MemoryKind kind,
                            std::uint8_t* out) override {
        const std::uint64_t cellBytes = kind == kFlash ? 2 : 1;
        const std::uint64_t begin = first * cellBytes;
        const std::uint64_t end = begin + count * cellBytes;
        const std::uint64_t copied =
            end <= size_ ? end - begin : (begin < size_ ? size_ - begin : 0);
        if (copied > 0) std::memmove(out, bytes_ + begin, static_cast<std::size_t>(copied));
        std::memset(out + copied, 0xFF, static_cast<std::size_t>(end - begin - copied));
        return count;
    }

private:
    const std::uint8_t* bytes_;
    std::uint32_t size_;
    MemoryKind kind_;
};

}  // namespace merlinox::inline files
