#include "platform/qt/qttexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <string_view>

namespace kinaru::platform {

namespace {

// The few texts of the file dialogs that Qt's Japanese catalogue lacks. Asked
// after the catalogue, so that its own texts win.
class MissingTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
        struct Text {
            std::string_view context, source;
            const char* japanese;
        };
        static constexpr Text kTexts[] = {
            {"QAbstractFileIconProvider", "Folder", "フォルダ"},
            {"QAbstractFileIconProvider", "File Folder", "フォルダ"},
            {"QAbstractFileIconProvider", "Drive", "ドライブ"},
            {"QAbstractFileIconProvider", "File", "ファイル"},
            {"QAbstractFileIconProvider", "%1 File", "%1 ファイル"},
            {"QAbstractFileIconProvider", "Unknown", "不明"},
            {"QFileDialog", "File name:", "ファイル名:"},
            {"QFileDialog", "Computer", "コンピュータ"},
        };
        if (!context || !source) return {};
        for (const Text& text : kTexts)
            if (text.context == context && text.source == source) return QString::fromUtf8(text.japanese);
        return {};
    }
};

}  // namespace

bool loadJapaneseQtTexts(QCoreApplication& application) {
    QCoreApplication::installTranslator(new MissingTexts(&application));
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

}  // namespace kinaru::platform
