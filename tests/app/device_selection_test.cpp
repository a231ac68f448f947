#include "devices/device_selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/device_lists.h"
#include "core/control_ids.h"
#include "devices/library_reader.h"
#include "support/operation_rig.h"

namespace merlinox::testing {
namespace {

// A library line that does not parse is left out of the window's list; the entries after
// it must still name the library lines that "DeviceIndex" and kestrel-cli count.
TEST(DeviceSelection, WindowListNamesTheLibraryLinesTheCommandLineCounts) {
    OperationRig rig("ATmega8 (ISP)");
    std::string library = rig.dir.Read("at90list.csv");
    std::size_t field = library.find("\nAT90S1200 (ISP);") + 1;
    for (int i = 0; i < 20; ++i) field = library.find(';', field) + 1;
    library[field] = '7';  // the SPI sync mode, 0 or 1 only
    rig.dir.Write("at90list.csv", library);

    const auto mega8 = PlaceOf(rig.ctx, "ATmega8 (ISP)");
    ASSERT_TRUE(mega8.has_value());
    rig.ctx.settings.manufIndex = mega8->manufacturer;
    rig.ctx.settings.deviceIndex = mega8->device;
    FillDeviceList(rig.ctx, rig.view);
    const auto& items = rig.view.Items(kDeviceList);
    const int shown = rig.view.SelectedIndex(kDeviceList);
    ASSERT_GE(shown, 0);
    ASSERT_LT(static_cast<std::size_t>(shown) + 1, items.size());
    EXPECT_EQ(items[static_cast<std::size_t>(shown)], "ATmega8 (ISP)");
    EXPECT_EQ(std::count(items.begin(), items.end(), "AT90S1200 (ISP)"), 0);
    EXPECT_EQ(LibraryIndexAt(rig.ctx, shown), mega8->device);
    EXPECT_EQ(ListPosition(rig.ctx, mega8->device), shown);

    const std::string picked = items[static_cast<std::size_t>(shown) + 1];
    const auto expected = PlaceOf(rig.ctx, picked);
    ASSERT_TRUE(expected.has_value());
    rig.view.UserSelects(kDeviceList, shown + 1);
    OnDeviceSelected(rig.ctx, rig.view);
    EXPECT_EQ(rig.ctx.settings.deviceIndex, expected->device);
    ASSERT_EQ(LoadSelectedDevice(rig.ctx), 0);
    EXPECT_EQ(rig.ctx.device.name, picked);
}

}  // namespace
}  // namespace merlinox::testing
