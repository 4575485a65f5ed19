#include "panelbutton.h"

#include "dialogs/form.h"

#include <QMouseEvent>

namespace kinaru {

PanelButton::PanelButton(const QString& text, QFrame::Shadow bevel, QWidget* parent) : QLabel(text, parent) {
    setAlignment(Qt::AlignCenter);
    setFrameStyle(QFrame::Panel | bevel);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(71, 79, 218));
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    QFont bold = dialogFont();
    bold.setBold(true);
    setFont(bold);
    setCursor(Qt::PointingHandCursor);
}

void PanelButton::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

}  // namespace kinaru
