#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "core/control_ids.h"

namespace merlinox::inline core {

// The main window as the presenter sees it: controls addressed by their ids
// (control_ids.h). The Qt window implements it with one widget per id; the scripted
// double of the tests records every call. Setting a state from here never counts as a
// user's click: only the user's own actions reach the presenter's handlers.
class MainView {
public:
    virtual ~MainView() = default;

    // Label of a button, check box or static text; content of the file-name field.
    virtual void SetText(int id, std::string_view text) = 0;
    virtual std::string Text(int id) const = 0;

    virtual void Enable(int id, bool enabled) = 0;
    virtual bool IsEnabled(int id) const = 0;

    virtual void SetChecked(int id, bool checked) = 0;
    virtual bool IsChecked(int id) const = 0;

    // The two drop-down lists. Selecting an index outside the list, -1 included, leaves
    // no entry selected; SelectedIndex is -1 when none is.
    virtual void ResetList(int id) = 0;
    virtual void AppendToList(int id, std::string_view text) = 0;
    virtual void SelectInList(int id, int index) = 0;
    virtual int SelectedIndex(int id) const = 0;

    // The progress bar. A position beyond the range is passed on unchanged; the bar
    // shows it as full.
    virtual void SetProgressRange(int id, int low, int high) = 0;
    virtual void SetProgressPosition(int id, int position) = 0;

    virtual void SetTitle(std::string_view title) = 0;
    // The window's upper-left corner on the screen.
    virtual void MoveTo(int x, int y) = 0;
    virtual int Left() const = 0;
    virtual int Top() const = 0;

    // Paints the window now, without waiting for the event loop.
    virtual void Redraw() = 0;

    // Convenience for the status line (1016), which names the step in progress.
    void SetStatus(std::string_view text) { SetText(kStatusLine, text); }
};

// The open and save dialogs. Filters come in the "text|pattern|text|pattern||" form;
// filter indexes count from 1. Paths are paths on disk.
struct FileDialogRequest {
    std::string_view filter;
    int filterIndex = 1;
    std::string initialDirectory;
    std::string initialName;
    std::string_view defaultExtension;  // appended by a save dialog to a bare name
    bool mustExist = false;             // open: only existing files
    bool confirmOverwrite = false;      // save: ask before replacing a file
};

struct FileDialogChoice {
    std::string path;     // full path of the chosen file
    int filterIndex = 1;  // the filter the user ended with
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Nothing when the user cancelled.
    virtual std::optional<FileDialogChoice> Open(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogChoice> Save(const FileDialogRequest& request) = 0;
};

// The title of the window that marks a running operation, for this program and for the
// sibling program that shares the configuration.
inline constexpr std::string_view kBusyWindowTitle = "PendrakeDevil";
// The program's bare name: a window with exactly this title is another instance.
inline constexpr std::string_view kProgramName = "Merlinox";

// The busy marker: the small window that exists while an operation runs, seen across
// processes.
class BusyMarker {
public:
    virtual ~BusyMarker() = default;
    // Shows the busy window at screen position (x, y) and marks the operation. Empty,
    // or why the operation could not be marked; it must not run unmarked then.
    virtual std::string Create(int x, int y) = 0;
    // Removes this program's busy window and mark; harmless when there is none.
    virtual void Destroy() = 0;
    // True while any busy window exists, this program's or another one's.
    virtual bool BusyWindowExists() = 0;
    // True when a top-level window with exactly this title exists.
    virtual bool WindowTitledExists(std::string_view title) = 0;
};

}  // namespace merlinox::inline core
