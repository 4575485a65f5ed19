#include "dialogs/context.h"
#include "app/startup.h"
#include "dialogs/pictures.h"
#include "platform/files.h"
#include "platform/qt/qtshell.h"
#include "platform/qt/qttexts.h"
#include "platform/setaside.h"
#include "platform/settingsplace.h"
#include "unlha/unlha.h"

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

bool starting = true;

// Qt ends the program with an abort when no display can be opened; a person
// starting it from a terminal or a script gets a plain answer instead.
void reportNoDisplay(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg && starting) {
        std::fputs(
            "Kinaru はデスクトップ環境で起動してください。画面に接続できません。\n"
            "Kinaru needs a desktop session: no display could be opened.\n",
            stderr);
        std::_Exit(1);
    }
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg) std::abort();
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    using namespace kinaru;
    // An archive a stopped run set aside is settled before anything else.
    platform::settleOnStopSignals();
    platform::settleLeftovers(platform::stateFolder());
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
    QtMessageHandler previous = qInstallMessageHandler(reportNoDisplay);
    QApplication application(qtArgc, argv);
    starting = false;
    qInstallMessageHandler(previous);
    platform::loadJapaneseQtTexts(application);
    QApplication::setWindowIcon(programIcon());

    platform::SettingsPlace place = platform::settingsPlace(executable);
    QtShell shell;
    AppContext context{shell, unlha, executable, arguments, nullptr, place.file, place.defaultOutputFolder};
    Startup startup(context);
    startup.chooseMode();
    return startup.run();
}
