#include "scriptedshell.h"

namespace kinaru::testing {

void ScriptedShell::errorBox(QWidget*, const QString& text) { errors << text; }
void ScriptedShell::messageBox(QWidget*, const QString& text) { messages << text; }

bool ScriptedShell::askYesNo(QWidget*, const QString& text) {
    questions << text;
    if (yesNoAnswers.empty()) return false;
    bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedShell::chooseOpenFile(QWidget*, const std::string& initialName) {
    fileDialogs.push_back(initialName);
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedShell::chooseSaveFile(QWidget* owner, const std::string& initialPath,
                                                         const std::string&) {
    return chooseOpenFile(owner, initialPath);
}

void ScriptedShell::openFolder(const std::string& folder) { openedFolders.push_back(folder); }
void ScriptedShell::openUrl(const QString& url) { openedUrls << url; }
void ScriptedShell::openDocument(const std::string& file) { openedDocuments.push_back(file); }

}  // namespace kinaru::testing
