#include "workunit.h"

#include "app/forms.h"
#include "dialogs/mainunit.h"

namespace kinaru {

TForm2::TForm2(AppContext& context) : Form(context) {
    setWindowTitle(QStringLiteral("Kinaru - ﾌｧｲﾙ圧縮"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(464, 247);
}

void TForm2::FormCreate() {
    setAcceptDrops(true);
    SetOuterHeight(53);
}

void TForm2::FormHide() {
    // A store that fails still ends the program once its error has been shown;
    // without a visible window the process would otherwise linger.
    guard([] { Form1->WriteIni(); });
    Form1->Close();
}

}  // namespace kinaru
