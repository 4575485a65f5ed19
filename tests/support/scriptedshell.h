#pragma once
// A shell that answers as a test tells it to and remembers what was shown.
#include "platform/qt/shell.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace kinaru::testing {

class ScriptedShell : public Shell {
public:
    void errorBox(QWidget*, const QString& text) override { errors << text; }
    void messageBox(QWidget*, const QString& text) override { messages << text; }
    bool askYesNo(QWidget*, const QString& text, bool) override {
        questions << text;
        return next(yesNoAnswers, false);
    }
    std::optional<std::string> chooseOpenFile(QWidget*, const std::string& initialName) override {
        fileDialogs.push_back(initialName);
        return next(fileAnswers, std::optional<std::string>());
    }
    std::optional<std::string> chooseSaveFile(QWidget* owner, const std::string& initial, const std::string&) override {
        return chooseOpenFile(owner, initial);
    }
    void openFolder(const std::string& folder) override { openedFolders.push_back(folder); }
    void openUrl(const QString& url) override { openedUrls << url; }
    void openDocument(const std::string& file) override { openedDocuments.push_back(file); }

    // Answers, taken in order; unscripted, a question is answered No and a
    // file dialog is cancelled.
    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<std::string>> fileAnswers;

    QStringList errors, messages, questions, openedUrls;
    std::vector<std::string> fileDialogs;  // the initial names proposed
    std::vector<std::string> openedFolders, openedDocuments;

private:
    template <class T>
    static T next(std::deque<T>& answers, T none) {
        T answer = answers.empty() ? none : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
};

}  // namespace kinaru::testing
