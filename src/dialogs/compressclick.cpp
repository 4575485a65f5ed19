#include "dialogs/forms.h"
#include "core/commandlines.h"
#include "core/compressrun.h"
#include "dialogs/warnunit.h"
#include "dialogs/workunit.h"
#include "platform/qt/localtext.h"
#include "unlha/unlha.h"

#include <QApplication>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <ctime>

namespace kinaru {

namespace {

// The run's view of the three dialogs and the library.
class DialogsOfTheRun : public RunDialogs {
public:
    explicit DialogsOfTheRun(AppContext& context) : context_(context) {}

    std::string archiveName() override { return Form2->archivePath(); }
    void setArchiveName(const std::string& name) override { Form2->setArchivePath(name); }

    SameNameAnswer askSameName(const std::string& existing, std::string& newName) override {
        Form3->setCurrentText(existing);
        auto result = static_cast<SameNameAnswer>(Form3->exec());
        newName = Form3->changeText();
        return result;
    }

    void message(const std::string& text) override { context_.shell.messageBox(Form2, fromLocal(text)); }

    std::string archiveCommand(const std::string& workFolder, const std::string& archivePath) override {
        return kinaru::archiveCommand(Form2->commandSwitches(workFolder), archivePath, Form2->fileEntries());
    }

    std::string selfExtractorCommand(const std::string& workFolder, const std::string& temporaryArchive) override {
        return Form2->buildSelfExtractorCommand(workFolder, temporaryArchive);
    }

    int runArchiver(const std::string& command) override {
        std::string unused;
        // The call blocks for as long as it packs: show that work is going on.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);  // so the cursor reaches the screen
        int result = context_.unlha.Run(reinterpret_cast<void*>(Form2->winId()), command, unused, 0);
        QApplication::restoreOverrideCursor();
        return result;
    }

    void openFolder(const std::string& folder) override { context_.shell.openFolder(folder); }

private:
    AppContext& context_;
};

std::string workFolder(const Settings& settings) {
    if (settings.defaultWorkFolder) {
        // As set, so that a temporary folder that is not there is reported by
        // its name rather than replaced by some other folder.
        std::string temporary = qEnvironmentVariableIsEmpty("TMPDIR") ? "/tmp" : qgetenv("TMPDIR").toStdString();
        return temporary.ends_with('/') ? temporary : temporary + "/";
    }
    return settings.workFolder;
}

}  // namespace

void TForm2::CompressClick() {
    RunRequest request;
    const Settings& settings = context().settings;
    request.workFolder = workFolder(settings);
    request.outputFolder = settings.outputFolder;
    request.policy = settings.sameName;
    request.openArchiveFolder = settings.openOutputFolder;
    request.selfExtractor = SelfExt->isChecked();
    request.items = fileEntries();
    request.topFolder = topDirText();
    std::time_t now = std::time(nullptr);
    localtime_r(&now, &request.now);

    DialogsOfTheRun dialogs(context());
    if (runCompression(request, dialogs) != RunEnd::Stopped) Close();
}

}  // namespace kinaru
