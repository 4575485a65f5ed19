#pragma once
// What the three dialogs share: the Japanese dialog font, outer-window
// geometry as the settings file stores it, and handler plumbing that keeps
// every error inside the standard error box.
#include "dialogs/context.h"
#include "dialogs/guard.h"

#include <QDialog>
#include <optional>

namespace kinaru {

class Form : public QDialog {
    Q_OBJECT
public:
    explicit Form(AppContext& context, QWidget* parent = nullptr);

    AppContext& context() const { return context_; }

    // Left and top edges of the outer window, in screen pixels. A stored
    // position that had to be moved onto a screen reads back as stored
    // until the user moves the window.
    int Left() const;
    int Top() const;
    void SetLeft(int left);
    void SetTop(int top);
    // Height of the window including its frame. The window manager adds the
    // frame after the window appears; the requested height is applied again
    // once the frame is known. Controls that the height cuts off are hidden,
    // so that the keyboard never reaches them.
    int OuterHeight() const;
    void SetOuterHeight(int height);

    // Runs the show handler, then shows the window unless the handler closed it.
    void showForm();
    // Closes the dialog, also one that was never shown: the close handling
    // runs either way (closing the hidden main window ends the program).
    void Close();

    // Runs handler under the error box.
    template <typename Handler>
    bool guard(Handler&& handler) {
        return guarded(context_.shell, this, std::forward<Handler>(handler));
    }

    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormHide() {}

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape closes as the close box does; QDialog's own reject() would
    // only hide.
    void reject() override {
        if (isVisible()) close();
    }

    bool closedDuringShow_ = false;

private:
    int frameHeight() const;
    void applyOuterHeight();
    void hideCutOffControls();
    // Moves the window wholly onto the nearest screen when it is not.
    // asked: the place to start from instead of the window's own.
    void keepOnScreen(std::optional<QPoint> asked = std::nullopt);

    AppContext& context_;
    int requestedOuterHeight_ = -1;
    int knownFrameHeight_ = 0;
    QPoint stored_;                    // the position asked for
    bool placed_ = false;              // whether one was
    std::optional<QPoint> shiftedTo_;  // where keepOnScreen put the window
};

// The dialog font: the family the layouts were drawn for, else a Japanese sans.
QFont dialogFont();

}  // namespace kinaru
