#pragma once
// What the three dialogs share: the Japanese dialog font, outer-window
// geometry as the settings file stores it, and handler plumbing that keeps
// every error inside the standard error box.
#include "dialogs/context.h"
#include "dialogs/guard.h"

#include <QDialog>

namespace kinaru {

class Form : public QDialog {
    Q_OBJECT
public:
    explicit Form(AppContext& context, QWidget* parent = nullptr);

    AppContext& context() const { return context_; }

    // Left and top edges of the outer window, in screen pixels.
    int Left() const;
    int Top() const;
    void SetLeft(int left);
    void SetTop(int top);
    // Height of the window including its frame. Until the frame is known the
    // requested height is kept and applied when the window first appears.
    int OuterHeight() const;
    void SetOuterHeight(int height);

    // Runs the show handler, then shows the window unless the handler closed it.
    void showForm();
    // Closes the dialog, also one that was never shown: the close handling
    // runs either way (closing the hidden main window ends the program).
    void Close();

    // Runs handler under the error box.
    template <typename Handler> bool guard(Handler&& handler) {
        return guarded(context_.shell, this, std::forward<Handler>(handler));
    }

    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormHide() {}

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape does not close these dialogs; only their own buttons do.
    void reject() override {}

    bool closedDuringShow_ = false;

private:
    int frameHeight() const;

    AppContext& context_;
    int requestedOuterHeight_ = -1;
};

// The dialog font: the family the layouts were drawn for, else a Japanese sans.
QFont dialogFont();

}  // namespace kinaru
