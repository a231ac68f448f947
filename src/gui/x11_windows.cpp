#include "gui/x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace merlinox::gui {

namespace {

// Windows can vanish while we look at them; the default handler would end the program
// on the resulting BadWindow. The handler is installed only for the search.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

struct XFreeDeleter {
    void operator()(void* data) const {
        if (data != nullptr) XFree(data);
    }
};

// The property's bytes, or nothing when the window has no such property.
std::optional<std::string> Property(Display* display, Window window, Atom property, Atom type) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1024, False, type,
                                          &actualType, &actualFormat, &count, &remaining, &data);
    std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
    if (status != Success || data == nullptr || actualType != type || actualFormat != 8) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(data), count);
}

bool HasTitle(Display* display, Window window, std::string_view title) {
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    if (const auto name = Property(display, window, netName, utf8)) return *name == title;
    if (const auto name = Property(display, window, XA_WM_NAME, XA_STRING)) return *name == title;
    return false;
}

std::vector<Window> Children(Display* display, Window parent) {
    Window root = 0;
    Window parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &parentOfParent, &children, &count) == 0) return {};
    std::unique_ptr<Window, XFreeDeleter> owned(children);
    return std::vector<Window>(children, children + count);
}

std::optional<std::vector<Window>> ClientList(Display* display, Window root) {
    const Atom list = XInternAtom(display, "_NET_CLIENT_LIST", True);
    if (list == None) return std::nullopt;
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, root, list, 0, 65536, False, XA_WINDOW,
                                          &actualType, &actualFormat, &count, &remaining, &data);
    std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
    if (status != Success || data == nullptr || actualType != XA_WINDOW || actualFormat != 32) {
        return std::nullopt;
    }
    // Format 32 properties come as an array of long.
    const auto* windows = reinterpret_cast<const unsigned long*>(data);
    return std::vector<Window>(windows, windows + count);
}

bool Mapped(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state != IsUnmapped;
}

bool Search(Display* display, std::string_view title) {
    const Window root = DefaultRootWindow(display);
    if (const auto clients = ClientList(display, root)) {
        // The managed windows, minimised ones included.
        for (const Window window : *clients) {
            if (HasTitle(display, window, title)) return true;
        }
    }
    for (const Window top : Children(display, root)) {
        if (!Mapped(display, top)) continue;
        if (HasTitle(display, top, title)) return true;
        for (const Window inner : Children(display, top)) {
            if (HasTitle(display, inner, title)) return true;
        }
    }
    return false;
}

}  // namespace

bool X11WindowTitled(std::string_view title) {
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) return false;
    const auto previous = XSetErrorHandler(IgnoreXError);
    const bool found = Search(display.get(), title);
    XSync(display.get(), False);
    XSetErrorHandler(previous);
    return found;
}

}  // namespace merlinox::gui
