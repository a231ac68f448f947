#include "platform/x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace merlinox::platform {

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

struct PropertyData {
    std::unique_ptr<unsigned char, XFreeDeleter> data;
    unsigned long count = 0;  // items of the format's size
};

// A property of the given type and item format (8 or 32 bits), or nothing when the
// window has no such property.
std::optional<PropertyData> ReadProperty(Display* display, Window window, Atom property, Atom type,
                                         int format, long maxItems) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    PropertyData result;
    const int status =
        XGetWindowProperty(display, window, property, 0, maxItems, False, type, &actualType,
                           &actualFormat, &result.count, &remaining, &data);
    result.data.reset(data);
    if (status != Success || data == nullptr || actualType != type || actualFormat != format) {
        return std::nullopt;
    }
    return result;
}

std::optional<std::string> Property(Display* display, Window window, Atom property, Atom type) {
    auto text = ReadProperty(display, window, property, type, 8, 1024);
    if (!text) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(text->data.get()), text->count);
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
    auto windows = ReadProperty(display, root, list, XA_WINDOW, 32, 65536);
    if (!windows) return std::nullopt;
    // Format 32 properties come as an array of long.
    const auto* first = reinterpret_cast<const unsigned long*>(windows->data.get());
    return std::vector<Window>(first, first + windows->count);
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

}  // namespace merlinox::platform
