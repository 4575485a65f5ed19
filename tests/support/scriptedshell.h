#pragma once
// A shell that answers as a test tells it to and remembers what was shown.
#include "platform/shell.h"

#include <deque>
#include <QStringList>
#include <vector>

namespace kinaru::testing {

class ScriptedShell : public Shell {
public:
    void errorBox(QWidget* owner, const QString& text) override;
    void messageBox(QWidget* owner, const QString& text) override;
    bool askYesNo(QWidget* owner, const QString& text) override;
    std::optional<std::string> chooseOpenFile(QWidget* owner, const std::string& initialName) override;
    std::optional<std::string> chooseSaveFile(QWidget* owner, const std::string& initialPath,
                                              const std::string& defaultExtension) override;
    void openFolder(const std::string& folder) override;
    void openUrl(const QString& url) override;
    void openDocument(const std::string& file) override;

    // Answers, taken in order; an unscripted question is answered No and an
    // unscripted file dialog is cancelled.
    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<std::string>> fileAnswers;

    QStringList errors, messages, questions;
    std::vector<std::string> fileDialogs;  // the initial names proposed
    std::vector<std::string> openedFolders, openedDocuments;
    QStringList openedUrls;
};

}  // namespace kinaru::testing
