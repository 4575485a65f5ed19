#pragma once
// A dialog's layout checked in the font in use: every control lies inside its
// parent, siblings do not overlap and every caption fits its control. A
// shared border line of one pixel is allowed.
#include <QtWidgets>

namespace kinaru::testing {
namespace layout {

inline QString nameOf(const QWidget* w) {
    QString text = w->property("text").toString() + w->property("title").toString();  // one of them
    return QString::fromLatin1(w->metaObject()->className()) + (text.isEmpty() ? QString() : " \"" + text + "\"");
}

// Qt's own composite widgets lay out their insides themselves.
inline bool composite(const QWidget* w) {
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractScrollArea*>(w) ||
           qobject_cast<const QLineEdit*>(w);
}

// The width a caption needs in the control's font, or 0 when it has none.
inline int captionWidth(const QWidget* w) {
    const QFontMetrics metrics(w->font());
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->wordWrap() ? 0 : metrics.horizontalAdvance(label->text());
    if (auto* box = qobject_cast<const QGroupBox*>(w))
        return box->title().isEmpty() ? 0 : metrics.horizontalAdvance(box->title()) + 8;
    auto* button = qobject_cast<const QAbstractButton*>(w);
    if (!button || button->text().isEmpty()) return 0;
    auto metric = [w](QStyle::PixelMetric m) { return w->style()->pixelMetric(m, nullptr, w); };
    int indicator = qobject_cast<const QCheckBox*>(w)
                        ? metric(QStyle::PM_IndicatorWidth) + metric(QStyle::PM_CheckBoxLabelSpacing)
                    : qobject_cast<const QRadioButton*>(w)
                        ? metric(QStyle::PM_ExclusiveIndicatorWidth) + metric(QStyle::PM_RadioButtonLabelSpacing)
                        : 4;
    return metrics.horizontalAdvance(button->text()) + indicator;
}

inline void check(QWidget* parent, QStringList& problems) {
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
        if (!inside.contains(w->geometry())) problems << nameOf(w) + " lies outside " + nameOf(parent);
        if (int needed = captionWidth(w); needed > w->width())
            problems << nameOf(w) + QString(" needs %1 pixels, has %2").arg(needed).arg(w->width());
        for (int k = i + 1; k < children.size(); ++k) {
            QRect both = w->geometry().intersected(children[k]->geometry());
            if (both.width() > 1 && both.height() > 1) problems << nameOf(w) + " overlaps " + nameOf(children[k]);
        }
        check(w, problems);
    }
}

}  // namespace layout

inline QStringList layoutProblems(QWidget* dialog) {
    QStringList problems;
    return layout::check(dialog, problems), problems;
}

}  // namespace kinaru::testing
