#pragma once
// Qt's own texts (stock buttons, file dialogs) in Japanese, as every other
// text of the program is, whatever the locale.
class QCoreApplication;

namespace kinaru::platform {

// False when Qt's Japanese catalogue is not installed.
bool loadJapaneseQtTexts(QCoreApplication& application);

}  // namespace kinaru::platform
