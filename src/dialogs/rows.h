#pragma once
// List rows of the height the layout was drawn for, or taller when the font in
// use needs it, so that descenders and underscores are never cut off.
#include <QStyledItemDelegate>
#include <algorithm>

namespace kinaru {

class DesignedRows : public QStyledItemDelegate {
public:
    DesignedRows(int designedHeight, QObject* parent) : QStyledItemDelegate(parent), height_(designedHeight) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(),
                std::max(height_, option.fontMetrics.height() + 2)};
    }

private:
    int height_;
};

}  // namespace kinaru
