#include "app/context.h"
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
