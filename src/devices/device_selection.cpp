#include "devices/device_selection.h"

#include <algorithm>
#include <string_view>

#include "core/context.h"
#include "devices/library_reader.h"

namespace merlinox::inline devices {

namespace {

constexpr std::string_view kNoManufacturers = "Keine Hersteller";
constexpr std::string_view kNoDevices = "Keine Bausteine";

// The stored index selects its entry; an index beyond the last one falls back to the
// first entry. A negative index is left alone and then selects nothing.
void SettleIndex(std::int32_t& index, int last) {
    if (index > last) index = 0;
}

// The end of a list: one that stayed empty holds its placeholder.
SelectionList Finished(SelectionList list, std::string_view placeholder, int selected) {
    list.selected = selected;
    list.result = list.entries.empty() ? kLibraryEnd : kOk;
    if (list.entries.empty()) list.entries.emplace_back(placeholder);
    return list;
}

}  // namespace

SelectionList ListManufacturers(Context& ctx) {
    SelectionList list;
    if (OpenLibrary(ctx) != kOk) return Finished(list, kNoManufacturers, ctx.settings.manufIndex);
    while (NextManufacturer(ctx) != kLibraryEnd) {
        list.entries.push_back(ctx.library.manufacturerName);
    }
    SettleIndex(ctx.settings.manufIndex, static_cast<int>(list.entries.size()) - 1);
    CloseLibrary(ctx);
    return Finished(list, kNoManufacturers, ctx.settings.manufIndex);
}

SelectionList ListDevices(Context& ctx) {
    SelectionList list;
    std::vector<int>& lines = ctx.library.deviceListLines;
    lines.clear();
    if (OpenLibrary(ctx) != kOk) return Finished(list, kNoDevices, ctx.settings.deviceIndex);
    // After a failure the next read meets the end of the file: the list stays empty.
    FindManufacturer(ctx);
    DeviceRecord scratch;
    // Every active line counts for the library index, parsed or not, as it does when
    // the selected device is loaded; only the parsed ones are listed.
    int line = 0;
    for (int result = NextDevice(ctx, scratch); result != kLibraryEnd;
         result = NextDevice(ctx, scratch), ++line) {
        if (result != kOk) continue;  // the line's message has been shown
        list.entries.push_back(scratch.name);
        lines.push_back(line);
    }
    CloseLibrary(ctx);
    // The stored index names a library line; one that is not listed (beyond the last,
    // or a line that does not parse) falls back to the first entry.
    int position = ListPosition(ctx, ctx.settings.deviceIndex);
    if (position < 0 && ctx.settings.deviceIndex >= 0 && !lines.empty()) {
        position = 0;
        ctx.settings.deviceIndex = lines.front();
    }
    return Finished(list, kNoDevices, position);
}

int ListPosition(const Context& ctx, int libraryIndex) {
    const std::vector<int>& lines = ctx.library.deviceListLines;
    const auto found = std::find(lines.begin(), lines.end(), libraryIndex);
    return found == lines.end() ? -1 : static_cast<int>(found - lines.begin());
}

int LibraryIndexAt(const Context& ctx, int position) {
    const std::vector<int>& lines = ctx.library.deviceListLines;
    if (position < 0 || static_cast<std::size_t>(position) >= lines.size()) return position;
    return lines[static_cast<std::size_t>(position)];
}

}  // namespace merlinox::inline devices
