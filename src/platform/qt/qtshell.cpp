#include "qtshell.h"

#include "base/title.h"
#include "platform/qt/localtext.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>
#include <QUrl>

namespace kinaru {

namespace {

// A box narrower than its caption would have the caption cut by the window
// manager: it is made as wide as the caption in a bold title font, with room
// for the frame's icon and buttons. (Qt's own allowance is for a plain font
// and no buttons.)
void fitCaption(QMessageBox& box) {
    QFont title = box.font();
    title.setBold(true);
    QFontMetrics metrics(title);
    int width = metrics.horizontalAdvance(box.windowTitle()) + 8 * metrics.height();
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

// The detail view's columns as wide as what they show, so that types and
// dates in Japanese are not cut.
void widenColumns(QFileDialog& dialog) {
    for (auto* view : dialog.findChildren<QTreeView*>())
        view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

}  // namespace

void QtShell::errorBox(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, owner);
    fitCaption(box);
    box.exec();
}

void QtShell::messageBox(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, owner);
    fitCaption(box);
    box.exec();
}

bool QtShell::askYesNo(QWidget* owner, const QString& text, bool noByDefault) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("警告"), text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(noByDefault ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtShell::chooseOpenFile(QWidget* owner, const std::string& initialName) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // the chosen file need not exist
    dialog.setDirectory(QDir::current());
    dialog.selectFile(fromLocal(initialName));
    widenColumns(dialog);
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
    widenColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return toLocal(dialog.selectedFiles().first());
}

void QtShell::openFolder(const std::string& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(fromLocal(folder)));
}

void QtShell::openUrl(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

void QtShell::openDocument(const std::string& file) { QDesktopServices::openUrl(QUrl::fromLocalFile(fromLocal(file))); }

}  // namespace kinaru
