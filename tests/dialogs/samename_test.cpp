#include "fixture.h"

#include "dialogs/compressrun.h"

#include <QTest>

namespace kinaru::testing {
namespace {

class SameName : public ProgramTest {
protected:
    SameName() {
        start({"x"});
        ::mkdir((out / "dir.lzh").c_str(), 0755);
        writeFile(out / "taken.lzh", "");
        Form3->setCurrentText(out / "report.lzh");
    }
    // Presses the rename button with text typed into Change.
    int press(const std::string& typed) {
        Form3->setChangeText(typed);
        Form3->setResult(0);
        Form3->Button4Click();
        return Form3->result();
    }
    TempDir out;
};

TEST_F(SameName, RefusedNamesKeepTheDialogOpen) {
    const std::string refused[] = {
        "", "   ", ".lzh", "/out/a;b", "/out/a\"b", "/out/a,b", "/out/a*b", "/out/a?b", "/out/a<b",
        "/out/a>b", "/out/a|b", "/out//b", "ab:c", "/o:ut/x",
    };
    for (const std::string& name : refused) {
        SCOPED_TRACE(name);
        shell.messages.clear();
        EXPECT_EQ(press(name), 0);
        EXPECT_EQ(shell.messages, QStringList{QStringLiteral("ﾌｧｲﾙ名が正しくありません。")});
    }
    press("  \t ");
    EXPECT_EQ(Form3->changeText(), "") << "the trimmed text stays";
}

TEST_F(SameName, AcceptedNamesTakeTheExistingExtension) {
    struct Case {
        std::string typed, becomes;
        int result;
        QStringList messages;
    } cases[] = {
        {out / "new.txt", out / "new.lzh", 2, {}},
        {"  " + out / "new" + " ", out / "new.lzh", 2, {}},
        {out / "新しい書庫.tar.gz", out / "新しい書庫.tar.lzh", 2, {}},
        {out / "taken.zip", out / "taken.lzh", 0, {QStringLiteral("同名ファイルが存在します。")}},
        {out / "dir", out / "dir.lzh", 0, {QStringLiteral("同名ファイルが存在します。")}},
        {"a:" + out / "x", "a:" + out / "x.lzh", 2, {}},  // a colon second passes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        shell.messages.clear();
        if (c.typed.rfind("a:", 0) == 0) {
            shell.yesNoAnswers = {false};
            EXPECT_EQ(press(c.typed), 3) << "its folder does not exist";
            continue;
        }
        EXPECT_EQ(press(c.typed), c.result);
        EXPECT_EQ(Form3->changeText(), c.becomes);
        EXPECT_EQ(shell.messages, c.messages);
    }
}

TEST_F(SameName, MissingFolderIsCreatedOuterFirstOnYes) {
    shell.yesNoAnswers = {true};
    EXPECT_EQ(press(out / "one/two/name.txt"), 2);
    EXPECT_EQ(shell.questions, QStringList{QStringLiteral("出力ディレクトリがありません。作成しますか？")});
    EXPECT_TRUE(exists(out / "one/two"));
    EXPECT_FALSE(exists(out / "one/two/name.lzh"));

    shell.yesNoAnswers = {false};
    EXPECT_EQ(press(out / "three/name"), 3);
    EXPECT_FALSE(exists(out / "three"));

    shell.yesNoAnswers = {true};
    EXPECT_EQ(press(out / "taken.lzh/sub/name"), 0) << "a folder that cannot be made keeps the dialog open";
    EXPECT_EQ(shell.messages.value(0), QStringLiteral("出力ディレクトリを作成できません。\n") +
                                           QString::fromStdString(out / "taken.lzh/sub/"));

    shell.questions.clear();
    EXPECT_EQ(press("写真2"), 2) << "a bare name lies in the archive's folder";
    EXPECT_EQ(Form3->changeText(), out / "写真2.lzh");
    EXPECT_TRUE(shell.questions.isEmpty());

    // Short relative folders are made too.
    ASSERT_EQ(::chdir(out.path().c_str()), 0);
    EXPECT_TRUE(createFolders("ab/"));
    EXPECT_TRUE(exists(out / "ab"));
}

TEST_F(SameName, EnterInChangePressesRename) {
    Form3->setChangeText(out / "fresh");
    Form3->setResult(0);
    QTest::keyClick(Form3->Change, Qt::Key_Return);
    EXPECT_EQ(Form3->result(), 2);
    EXPECT_EQ(Form3->changeText(), out / "fresh.lzh");
}

TEST_F(SameName, ButtonsGiveTheirResults) {
    struct Case {
        QPushButton* button;
        int result;
    } cases[] = {{Form3->Button1, 3}, {Form3->Button2, 5}, {Form3->Button3, 4}};
    for (const Case& c : cases) {
        Form3->setResult(0);
        c.button->click();
        EXPECT_EQ(Form3->result(), c.result);
    }
}

TEST_F(SameName, BrowsingOffersThePreviousChoiceAndFillsChange) {
    shell.fileAnswers = {out / "picked.lzh", std::nullopt};
    Form3->SpeedButton1Click();
    EXPECT_EQ(Form3->changeText(), out / "picked.lzh");
    Form3->SpeedButton1Click();
    EXPECT_EQ(shell.fileDialogs, (std::vector<std::string>{"", out / "picked.lzh"}));
    EXPECT_EQ(Form3->changeText(), out / "picked.lzh") << "cancel changes nothing";
}

}  // namespace
}  // namespace kinaru::testing
