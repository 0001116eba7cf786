#pragma once
// Keeps a dialog that another process shows (zenity's pickers) above our
// window. zenity takes the window to attach to, but its file selection sets
// only _NET_WM_STATE_MODAL and no WM_TRANSIENT_FOR, without which a window
// manager neither keeps it above the window nor places it over it. So we set
// that hint ourselves on the dialog's window once it shows, found by the
// _NET_WM_PID its toolkit puts on it.
#include <vector>

namespace corvane {

class DialogAbove {
public:
    // Looks at the top-level windows of the X display `display` (an Xlib
    // Display*) not looked at yet; a shown one of process `pid` gets
    // WM_TRANSIENT_FOR `parent`. Call again and again while the dialog is
    // open: once one has it, later calls for the same process do nothing.
    void serve(void* display, unsigned long parent, int pid);

private:
    int pid_ = 0;
    bool done_ = false;
    std::vector<unsigned long> seen_;  // shown windows of other processes
};

}  // namespace corvane
