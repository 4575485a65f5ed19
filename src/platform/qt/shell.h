#pragma once
// Everything the program asks of a person or of the desktop around it goes
// through this one interface, so that tests can answer in a person's place.
#include <QString>
#include <optional>
#include <string>

class QWidget;

namespace kinaru {

class Shell {
public:
    virtual ~Shell() = default;

    // The standard error box: text, the application title, an error icon.
    virtual void errorBox(QWidget* owner, const QString& text) = 0;
    // A plain message: text, the application title, one OK button.
    virtual void messageBox(QWidget* owner, const QString& text) = 0;
    // A question with the caption "警告" and the buttons Yes and No; Enter
    // answers No when noByDefault, as a question before a loss should.
    virtual bool askYesNo(QWidget* owner, const QString& text, bool noByDefault) = 0;

    // A file-open dialog proposing initialName; the chosen path, if any.
    virtual std::optional<std::string> chooseOpenFile(QWidget* owner, const std::string& initialName) = 0;
    // A file-save dialog starting from initialPath; the chosen path, if any.
    virtual std::optional<std::string> chooseSaveFile(QWidget* owner, const std::string& initialPath,
                                                      const std::string& defaultExtension) = 0;

    // Hand-offs to other programs; their results are not examined.
    virtual void openFolder(const std::string& folder) = 0;
    virtual void openUrl(const QString& url) = 0;
    virtual void openDocument(const std::string& file) = 0;
};

}  // namespace kinaru
