// Renders every page of the settings dialog, the compression dialog collapsed
// and expanded, and the same-name dialog to PNG files in the folder named on
// the command line. The program runs as it does for a user, but in a
// temporary folder that stands for its own, so no real settings are touched,
// and with a shell that answers nothing, so no box waits for a person.
#include "dialogs/context.h"
#include "dialogs/forms.h"
#include "app/startup.h"
#include "dialogs/mainunit.h"
#include "dialogs/warnunit.h"
#include "dialogs/workunit.h"
#include "platform/shell.h"
#include "unlha/unlha.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QToolButton>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace kinaru;

class SilentShell : public Shell {
public:
    void errorBox(QWidget*, const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    void messageBox(QWidget*, const QString& text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    bool askYesNo(QWidget*, const QString&) override { return false; }
    std::optional<std::string> chooseOpenFile(QWidget*, const std::string&) override { return std::nullopt; }
    std::optional<std::string> chooseSaveFile(QWidget*, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    void openFolder(const std::string&) override {}
    void openUrl(const QString&) override {}
    void openDocument(const std::string&) override {}
};

bool save(QWidget* form, const QDir& folder, const QString& name) {
    form->show();
    QApplication::processEvents();
    QString path = folder.filePath(name + QStringLiteral(".png"));
    bool saved = form->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::setlocale(LC_ALL, "")) std::setlocale(LC_ALL, "C.UTF-8");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(out.path()));
        return 1;
    }

    // A few folders, so that the folder list shows what it is for.
    QTemporaryDir home;
    for (const char* name : {"archives", "documents", "photos"}) QDir(home.path()).mkdir(QString::fromUtf8(name));
    std::string executable = QFile::encodeName(home.filePath(QStringLiteral("kinaru"))).toStdString();
    // The library built beside the real program, when there is one.
    std::string realProgram =
        QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/kinaru")).toStdString();
    Unlha unlha(Unlha::defaultCandidates(realProgram));

    // Items as a file manager would send them, so that the compression
    // dialog shows what it is for.
    QFile(home.filePath(QStringLiteral("documents/報告書.txt"))).open(QIODevice::WriteOnly);
    std::vector<std::string> items = {
        QFile::encodeName(home.filePath(QStringLiteral("documents/報告書.txt"))).toStdString(),
        QFile::encodeName(home.filePath(QStringLiteral("photos"))).toStdString(),
    };
    QFile settings(home.filePath(QStringLiteral("kinaru.ini")));
    if (settings.open(QIODevice::WriteOnly))
        settings.write("[SETTING]\nDISTDIR=" + QFile::encodeName(home.filePath(QStringLiteral("archives"))) + "\n");
    settings.close();

    SilentShell shell;
    AppContext context{shell, unlha, executable, items};
    Startup startup(context);

    bool ok = true;
    Form1->guard([] { Form1->FormShow(); });
    const char* pages[] = {"1-output", "2-options", "3-system", "4-version"};
    for (int page = 0; page < Form1->PageControl1->count(); ++page) {
        Form1->PageControl1->setCurrentIndex(page);
        ok &= save(Form1, out, QStringLiteral("TForm1-") + QString::fromUtf8(pages[page]));
    }
    Form1->PageControl1->setCurrentIndex(1);

    Form1->hide();

    Form2->showForm();
    ok &= save(Form2, out, QStringLiteral("TForm2-collapsed"));
    Form2->Expand->click();
    ok &= save(Form2, out, QStringLiteral("TForm2-expanded"));
    Form3->setCurrentText(Form2->archivePath());
    ok &= save(Form3, out, QStringLiteral("TForm3"));
    return ok ? 0 : 1;
}
