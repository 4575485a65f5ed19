#pragma once
// Start-up: creates the three dialogs in their fixed order, chooses the mode
// from the command line and runs the event loop until the main window closes.
#include "dialogs/context.h"

#include <memory>
#include <string>
#include <vector>

namespace kinaru {

class TForm1;
class TForm2;
class TForm3;

// The paths after the program's name; the list ends at the first empty one.
std::vector<std::string> commandLineArguments(int argc, const char* const* argv);

class Startup {
public:
    // Creates Form1, Form2 and Form3, each assigned before its creation
    // handler runs; creating Form3 loads the settings.
    explicit Startup(AppContext& context);
    ~Startup();

    bool compressionMode() const { return !context_.arguments.empty(); }
    // Compression mode shows the compression dialog now; settings mode
    // leaves the settings dialog to the event loop.
    void chooseMode();
    // Runs the event loop until the main window closes; the exit code.
    int run();

    bool mainWindowClosed() const { return mainClosed_; }

private:
    AppContext& context_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    bool mainClosed_ = false;
};

}  // namespace kinaru
