#include "core/compressrun.h"
#include "fixture.h"

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
    // Presses the rename button with text typed into Change; the answer.
    int press(const std::string& typed, std::deque<bool> yesNo = {}) {
        shell.messages.clear();
        shell.questions.clear();
        shell.yesNoAnswers = yesNo;
        Form3->setChangeText(typed);
        Form3->setResult(0);
        Form3->Button4Click();
        return Form3->result();
    }
    TempDir out;
};

TEST_F(SameName, TypedNamesTakeTheExistingExtensionOrKeepTheDialogOpen) {
    const QString refused = "ﾌｧｲﾙ名が正しくありません。", taken = "同名ファイルが存在します。";
    struct Case {
        std::string typed, becomes;
        int result;
        QString message;
    } cases[] = {
        {out / "new.txt", out / "new.lzh", 2, ""},
        {"  " + out / "new" + " ", out / "new.lzh", 2, ""},
        {out / "新しい書庫.tar.gz", out / "新しい書庫.tar.lzh", 2, ""},
        {"写真2", out / "写真2.lzh", 2, ""},  // a bare name lies in the archive's folder
        {out / "taken.zip", out / "taken.lzh", 0, taken},
        {out / "dir", out / "dir.lzh", 0, taken},
        {"  \t ", "", 0, refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(press(c.typed), c.result);
        EXPECT_EQ(Form3->changeText(), c.becomes);
        EXPECT_EQ(shell.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_TRUE(shell.questions.isEmpty());
    }
    for (std::string name : {"", ".lzh", "/out/a;b", "/out/a\"b", "/out/a,b", "/out/a*b", "/out/a?b", "/out/a<b",
                             "/out/a>b", "/out/a|b", "/out//b", "ab:c", "/o:ut/x"}) {
        EXPECT_EQ(press(name), 0) << name;
        EXPECT_EQ(shell.messages, QStringList{refused}) << name;
    }
    EXPECT_EQ(press("a:" + out / "x"), 3) << "a colon second passes; its folder is not there";
}

TEST_F(SameName, MissingFolderIsCreatedOuterFirstOnYes) {
    EXPECT_EQ(press(out / "one/two/name.txt", {true}), 2);
    EXPECT_EQ(shell.questions, QStringList{"出力ディレクトリがありません。作成しますか？"});
    EXPECT_TRUE(exists(out / "one/two"));
    EXPECT_FALSE(exists(out / "one/two/name.lzh"));
    EXPECT_EQ(press(out / "three/name", {false}), 3);
    EXPECT_FALSE(exists(out / "three"));
    EXPECT_EQ(press(out / "taken.lzh/sub/name", {true}), 0) << "a folder that cannot be made keeps the dialog open";
    EXPECT_EQ(shell.messages,
              QStringList{"出力ディレクトリを作成できません。\n" + QString::fromStdString(out / "taken.lzh/sub/")});
    // Short relative folders are made too.
    ASSERT_EQ(::chdir(out.path().c_str()), 0);
    EXPECT_TRUE(createFolders("ab/"));
    EXPECT_TRUE(exists(out / "ab"));
}

TEST_F(SameName, BrowsingFillsChange) {
    shell.fileAnswers = {out / "picked.lzh", std::nullopt};
    Form3->SpeedButton1Click();
    Form3->SpeedButton1Click();  // cancelled
    EXPECT_EQ(shell.fileDialogs, (std::vector<std::string>{"", out / "picked.lzh"}))
        << "the previous choice is offered";
    EXPECT_EQ(Form3->changeText(), out / "picked.lzh");
}

}  // namespace
}  // namespace kinaru::testing
