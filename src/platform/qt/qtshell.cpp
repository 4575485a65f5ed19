#include "qtshell.h"

#include "base/title.h"
#include "platform/qt/localtext.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace kinaru {

void QtShell::errorBox(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, owner);
    box.exec();
}

void QtShell::messageBox(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, owner);
    box.exec();
}

bool QtShell::askYesNo(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("警告"), text, QMessageBox::Yes | QMessageBox::No, owner);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtShell::chooseOpenFile(QWidget* owner, const std::string& initialName) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // the chosen file need not exist
    dialog.setDirectory(QDir::current());
    dialog.selectFile(fromLocal(initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return toLocal(dialog.selectedFiles().first());
}

std::optional<std::string> QtShell::chooseSaveFile(QWidget* owner, const std::string& initialPath,
                                                   const std::string& defaultExtension) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(fromLocal(defaultExtension));
    dialog.selectFile(fromLocal(initialPath));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return toLocal(dialog.selectedFiles().first());
}

void QtShell::openFolder(const std::string& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(fromLocal(folder)));
}

void QtShell::openUrl(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

void QtShell::openDocument(const std::string& file) { QDesktopServices::openUrl(QUrl::fromLocalFile(fromLocal(file))); }

}  // namespace kinaru
