#include "form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHideEvent>
#include <QShowEvent>

namespace kinaru {

QFont dialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                      QStringLiteral("TakaoPGothic")});
    font.setPixelSize(12);
    return font;
}

Form::Form(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setFont(dialogFont());
}

int Form::Left() const { return frameGeometry().left(); }
int Form::Top() const { return frameGeometry().top(); }
void Form::SetLeft(int left) { move(left, Top()); }
void Form::SetTop(int top) { move(Left(), top); }

int Form::frameHeight() const { return frameGeometry().height() - geometry().height(); }

int Form::OuterHeight() const { return frameGeometry().height(); }

void Form::SetOuterHeight(int height) {
    requestedOuterHeight_ = height;
    setFixedHeight(std::max(0, height - frameHeight()));
}

void Form::showForm() {
    closedDuringShow_ = false;
    guard([this] { FormShow(); });
    if (!closedDuringShow_) show();
}

void Form::Close() {
    if (isVisible()) {
        close();
        return;
    }
    QCloseEvent event;
    QCoreApplication::sendEvent(this, &event);
}

void Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The frame is known only once the window is on screen.
    if (requestedOuterHeight_ >= 0 && OuterHeight() != requestedOuterHeight_)
        setFixedHeight(std::max(0, requestedOuterHeight_ - frameHeight()));
}

void Form::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    // Minimising is the window system's doing, not a hide of the dialog.
    if (!event->spontaneous()) guard([this] { FormHide(); });
}

void Form::closeEvent(QCloseEvent* event) {
    closedDuringShow_ = true;
    // QDialog would turn a close into reject(), which these dialogs ignore.
    event->accept();
}

}  // namespace kinaru
