#include "dialogs/context.h"
#include "app/startup.h"
#include "platform/files.h"
#include "platform/qtshell.h"
#include "unlha/unlha.h"

#include <QApplication>
#include <clocale>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    using namespace kinaru;
    std::vector<std::string> arguments = commandLineArguments(argc, argv);
    std::string executable = platform::executablePath();
    Unlha unlha(Unlha::defaultCandidates(executable));

    // Window positions are stored and restored; X11 (XWayland on Wayland
    // desktops) is the platform that lets a program place its windows.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    // Qt sees only the program's name: every other word is a path to pack,
    // even one that looks like a Qt option.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);

    QtShell shell;
    AppContext context{shell, unlha, executable, arguments};
    Startup startup(context);
    startup.chooseMode();
    return startup.run();
}
