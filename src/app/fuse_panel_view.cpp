#include "app/fuse_panel_view.h"

#include "core/context.h"
#include "core/main_view.h"
#include "devices/fuse_layout.h"
#include "devices/fuse_panel.h"

namespace merlinox::inline app {

void EnableFuses(Context& ctx, MainView& view) {
    const FusePanel panel = LayOutFusePanel(ctx);
    for (const FuseBox& box : panel.boxes) {
        view.SetText(box.controlId, box.label);
        view.Enable(box.controlId, box.enabled);
    }
    ReportMissingFuseRow(ctx, panel);
    for (const FuseBox& box : panel.boxes) view.SetChecked(box.controlId, box.checked);
    view.Redraw();
}

void OnFuseBoxClicked(Context& ctx, MainView& view, int controlId) {
    if (!FuseBoxOf(controlId)) return;
    const auto following = ApplyFuseClick(ctx.settings, controlId, view.IsChecked(controlId));
    if (following) view.SetChecked(following->controlId, following->checked);
}

}  // namespace merlinox::inline app
