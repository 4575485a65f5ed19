#pragma once
// A coloured panel that works as a button.
#include <QLabel>

namespace kinaru {

class PanelButton : public QLabel {
    Q_OBJECT
public:
    PanelButton(const QString& text, QFrame::Shadow bevel, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace kinaru
