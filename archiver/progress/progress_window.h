#pragma once
// The progress window of -n0: the operation runs on a worker thread while
// the calling (user-interface) thread spins a local event loop, so the
// caller's windows keep painting and the cancel button answers.
#include <string>

#include "archive/archive.h"

class QWidget;

namespace progress {

// Runs the operation under a progress window when called on the thread of a
// QApplication, else runs it as it is. `owner` is the caller's native window
// id (or null); the window is parented to the widget that has it.
int run(void* owner, const archive::Options& opt, std::string& text);

// Runs the operation under a progress window parented to `parent`. Must be
// called on the user-interface thread. Callbacks in `opt` run on the worker.
int runWithWindow(QWidget* parent, const archive::Options& opt, std::string& text);

// True when this thread can show windows.
bool canShowWindows();

}  // namespace progress
