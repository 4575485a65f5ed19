#include "startup.h"

#include "dialogs/forms.h"
#include "core/itemlist.h"
#include "dialogs/mainunit.h"
#include "dialogs/warnunit.h"
#include "dialogs/workunit.h"
#include "platform/files.h"

#include <QApplication>

namespace kinaru {

std::vector<std::string> commandLineArguments(int argc, const char* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc && argv[i] && argv[i][0] != '\0'; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

namespace {
// The layout is built by the constructor; the reference is set before the
// creation handler runs, which may reach the dialog through it.
template <typename FormType>
std::unique_ptr<FormType> create(AppContext& context, FormType*& reference) {
    auto form = std::make_unique<FormType>(context);
    reference = form.get();
    form->guard([&form] { form->FormCreate(); });
    return form;
}
}  // namespace

Startup::Startup(AppContext& context) : context_(context) {
    // Before the settings load moves the current folder to the output folder.
    std::string startFolder = platform::currentDirectory();
    for (std::string& item : context_.arguments) item = absoluteItem(item, startFolder);
    QApplication::setQuitOnLastWindowClosed(false);
    form1_ = create(context, Form1);
    QObject::connect(form1_.get(), &TForm1::closed, [this] {
        mainClosed_ = true;
        QCoreApplication::quit();
    });
    form2_ = create(context, Form2);
    form3_ = create(context, Form3);
}

Startup::~Startup() {
    form3_.reset();
    form2_.reset();
    form1_.reset();
    Form3 = nullptr;
    Form2 = nullptr;
    Form1 = nullptr;
}

void Startup::chooseMode() {
    if (compressionMode()) Form2->showForm();
}

int Startup::run() {
    if (!compressionMode()) form1_->showForm();
    if (!mainClosed_) QApplication::exec();
    return 0;
}

}  // namespace kinaru
