#pragma once
// Runs a handler and shows any error that escapes it in the standard error
// box, so that the program goes on. Qt must never see an exception.
#include "platform/qt/shell.h"

#include <exception>

namespace kinaru {

QString errorBoxText(const std::exception& error);

template <typename Handler>
bool guarded(Shell& shell, QWidget* owner, Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        shell.errorBox(owner, errorBoxText(error));
    } catch (...) {
        shell.errorBox(owner, QStringLiteral("Unknown error."));
    }
    return false;
}

}  // namespace kinaru
