#include "shell/dialog_above.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace corvane {

namespace {

// The dialog's windows belong to another client and may go at any moment;
// Xlib's default handler would end the program for the BadWindow that follows.
int ignore_error(Display*, XErrorEvent*) { return 0; }

// A window property of 32-bit items (Xlib hands them over as longs).
std::vector<unsigned long> long_property(Display* d, Window w, Atom name, Atom type) {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> out;
    if (XGetWindowProperty(d, w, name, 0, 4096, False, type, &actual, &format, &count, &after, &data) == Success &&
        data != nullptr && actual == type && format == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        out.assign(items, items + count);
    }
    if (data != nullptr) XFree(data);
    return out;
}

// The top-level windows: those a window manager manages, or without one the
// root's children.
std::vector<unsigned long> top_level_windows(Display* d) {
    const Window root = DefaultRootWindow(d);
    std::vector<unsigned long> managed =
        long_property(d, root, XInternAtom(d, "_NET_CLIENT_LIST", False), XA_WINDOW);
    if (!managed.empty()) return managed;
    Window root_back = None, parent = None;
    Window* children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(d, root, &root_back, &parent, &children, &n) == 0) return {};
    std::vector<unsigned long> out(children, children + n);
    if (children != nullptr) XFree(children);
    return out;
}

}  // namespace

void DialogAbove::serve(void* display, unsigned long parent, int pid) {
    if (pid != pid_) {
        pid_ = pid;
        done_ = false;
        seen_.clear();
    }
    if (done_ || display == nullptr || parent == 0) return;
    auto* d = static_cast<Display*>(display);
    XSync(d, False);
    XErrorHandler before = XSetErrorHandler(ignore_error);
    const Atom wm_pid = XInternAtom(d, "_NET_WM_PID", False);
    for (const unsigned long w : top_level_windows(d)) {
        if (w == parent || std::find(seen_.begin(), seen_.end(), w) != seen_.end()) continue;
        XWindowAttributes a{};
        if (XGetWindowAttributes(d, w, &a) == 0 || a.map_state != IsViewable || a.override_redirect) continue;
        const std::vector<unsigned long> owner = long_property(d, w, wm_pid, XA_CARDINAL);
        if (owner.size() != 1 || owner[0] != static_cast<unsigned long>(pid)) {
            seen_.push_back(w);
            continue;
        }
        XSetTransientForHint(d, w, parent);
        done_ = true;
    }
    XSync(d, False);
    XSetErrorHandler(before);
}

}  // namespace corvane
