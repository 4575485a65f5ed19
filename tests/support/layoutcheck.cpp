#include "layoutcheck.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

namespace kinaru::testing {

namespace {

QString nameOf(const QWidget* w) {
    QString text = w->property("text").toString();
    if (text.isEmpty()) text = w->property("title").toString();
    return QString::fromLatin1(w->metaObject()->className()) + (text.isEmpty() ? QString() : " \"" + text + "\"");
}

// Qt's own composite widgets lay out their insides themselves.
bool composite(const QWidget* w) {
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractScrollArea*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QTabBar*>(w);
}

// The width a caption needs in the control's font, or 0 when it has none.
int captionWidth(const QWidget* w) {
    const QFontMetrics metrics(w->font());
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->wordWrap() || label->text().isEmpty() ? 0 : metrics.horizontalAdvance(label->text());
    if (auto* box = qobject_cast<const QGroupBox*>(w))
        return box->title().isEmpty() ? 0 : metrics.horizontalAdvance(box->title()) + 8;
    auto* button = qobject_cast<const QAbstractButton*>(w);
    if (!button || button->text().isEmpty()) return 0;
    int width = metrics.horizontalAdvance(button->text());
    if (qobject_cast<const QCheckBox*>(w))
        width += w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
                 w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
    else if (qobject_cast<const QRadioButton*>(w))
        width += w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
                 w->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
    else
        width += 4;
    return width;
}

void check(QWidget* parent, QStringList& problems) {
    if (auto* tabs = qobject_cast<QTabWidget*>(parent)) {
        for (int i = 0; i < tabs->count(); ++i) check(tabs->widget(i), problems);
        return;
    }
    if (composite(parent)) return;
    QList<QWidget*> children;
    for (QObject* o : parent->children())
        if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow() && !w->isHidden()) children << w;
    const QRect inside = parent->rect().adjusted(-1, -1, 1, 1);
    for (int i = 0; i < children.size(); ++i) {
        QWidget* w = children[i];
        if (!inside.contains(w->geometry()))
            problems << nameOf(w) + " lies outside " + nameOf(parent);
        if (int needed = captionWidth(w); needed > w->width())
            problems << nameOf(w) + QString(" needs %1 pixels, has %2").arg(needed).arg(w->width());
        for (int k = i + 1; k < children.size(); ++k) {
            QRect both = w->geometry().intersected(children[k]->geometry());
            if (both.width() > 1 && both.height() > 1) problems << nameOf(w) + " overlaps " + nameOf(children[k]);
        }
        check(w, problems);
    }
}

}  // namespace

QStringList layoutProblems(QWidget* dialog) {
    QStringList problems;
    check(dialog, problems);
    return problems;
}

}  // namespace kinaru::testing
