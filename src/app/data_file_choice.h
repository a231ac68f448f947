#pragma once

namespace merlinox::inline core {
struct Context;
class MainView;
class FileDialogs;
}  // namespace merlinox::inline core

namespace merlinox::inline app {

// "Neue Datei": the open dialog for the data file. 0 when a file was chosen (it becomes
// the current data file and the file-name field shows it), 3 when the user cancelled.
int ChooseDataFile(Context& ctx, MainView& view, FileDialogs& dialogs);

}  // namespace merlinox::inline app
