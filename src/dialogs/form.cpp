#include "form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdlib>
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

Form::Form(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) { setFont(dialogFont()); }

int Form::Left() const {
    return shiftedTo_ && frameGeometry().topLeft() == *shiftedTo_ ? stored_.x() : frameGeometry().left();
}
int Form::Top() const {
    return shiftedTo_ && frameGeometry().topLeft() == *shiftedTo_ ? stored_.y() : frameGeometry().top();
}
void Form::SetLeft(int left) {
    stored_ = QPoint(left, Top());
    placed_ = true;
    shiftedTo_.reset();
    move(stored_);
    if (isVisible()) keepOnScreen();
}
void Form::SetTop(int top) {
    stored_ = QPoint(Left(), top);
    placed_ = true;
    shiftedTo_.reset();
    move(stored_);
    if (isVisible()) keepOnScreen();
}

int Form::frameHeight() const { return frameGeometry().height() - geometry().height(); }

int Form::OuterHeight() const { return frameGeometry().height(); }

void Form::SetOuterHeight(int height) {
    requestedOuterHeight_ = height;
    applyOuterHeight();
    if (isVisible()) keepOnScreen();
}

void Form::applyOuterHeight() {
    if (requestedOuterHeight_ < 0) return;
    int client = std::max(0, requestedOuterHeight_ - frameHeight());
    if (height() != client || minimumHeight() != client || maximumHeight() != client) setFixedHeight(client);
    hideCutOffControls();
}

void Form::hideCutOffControls() {
    static const char* const kCutOff = "kinaruCutOff";
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) continue;
        bool cut = child->geometry().bottom() >= height();
        if (cut && !child->isHidden()) {
            child->setProperty(kCutOff, true);
            child->hide();
        } else if (!cut && child->property(kCutOff).toBool()) {
            child->setProperty(kCutOff, false);
            child->show();
        }
    }
}

void Form::keepOnScreen(std::optional<QPoint> asked) {
    QRect actual = frameGeometry();
    QRect frame(asked.value_or(actual.topLeft()), actual.size());
    QPoint target = frame.topLeft();
    QScreen* nearest = nullptr;
    int best = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        QRect area = screen->availableGeometry();
        if (area.contains(frame)) {
            nearest = nullptr;
            break;
        }
        QPoint gap = area.center() - frame.center();
        int distance = std::abs(gap.x()) + std::abs(gap.y());
        if (!nearest || distance < best) {
            nearest = screen;
            best = distance;
        }
    }
    if (nearest) {
        QRect area = nearest->availableGeometry();
        target = QPoint(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width() + 1)),
                        std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1)));
        if (!shiftedTo_) stored_ = frame.topLeft();
        shiftedTo_ = target;
    }
    if (target != actual.topLeft()) move(target);
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
    applyOuterHeight();
    keepOnScreen();
}

bool Form::event(QEvent* event) {
    bool handled = QDialog::event(event);
    // The focused control shows its focus ring from the start, as these
    // dialogs are mostly used from the keyboard.
    if (event->type() == QEvent::WindowActivate && !testAttribute(Qt::WA_KeyboardFocusChange)) {
        setAttribute(Qt::WA_KeyboardFocusChange);
        if (QWidget* focused = focusWidget()) focused->update();
    }
    // The window manager's frame arrives with a move of the client window.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && isVisible() &&
        frameHeight() != knownFrameHeight_) {
        knownFrameHeight_ = frameHeight();
        applyOuterHeight();
        // While the frame is put round it the window's reported place can
        // be a passing one: the place asked for counts.
        keepOnScreen(shiftedTo_ ? shiftedTo_ : placed_ ? std::optional(stored_) : std::nullopt);
    }
    return handled;
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
