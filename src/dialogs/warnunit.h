#pragma once
// The same-name dialog: what to do when the archive to be written exists.
#include "base/choices.h"
#include "core/samename.h"
#include "dialogs/form.h"

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace kinaru {

class TForm3 : public Form {
    Q_OBJECT
public:
    explicit TForm3(AppContext& context);

    void FormCreate() override;
    void Button4Click();
    void SpeedButton1Click();

    // The texts of Current and Change as byte strings.
    std::string currentText() const;
    std::string changeText() const;
    void setCurrentText(const std::string& path);
    void setChangeText(const std::string& path);

    QLabel* Image1;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label1;
    QLineEdit* Current;
    QLabel* Label2;
    QLineEdit* Change;
    QToolButton* SpeedButton1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void answer(SameNameAnswer answer) { done(static_cast<int>(answer)); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::string lastBrowsed_;  // the name SD offers: the previous choice
};

}  // namespace kinaru
