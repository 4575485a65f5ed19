#pragma once
#include "platform/qt/shell.h"

namespace kinaru {

// The real shell: Qt message boxes and file dialogs, the desktop's handlers.
class QtShell : public Shell {
public:
    void errorBox(QWidget* owner, const QString& text) override;
    void messageBox(QWidget* owner, const QString& text) override;
    bool askYesNo(QWidget* owner, const QString& text, bool noByDefault) override;
    std::optional<std::string> chooseOpenFile(QWidget* owner, const std::string& initialName) override;
    std::optional<std::string> chooseSaveFile(QWidget* owner, const std::string& initialPath,
                                              const std::string& defaultExtension) override;
    void openFolder(const std::string& folder) override;
    void openUrl(const QString& url) override;
    void openDocument(const std::string& file) override;
};

}  // namespace kinaru
