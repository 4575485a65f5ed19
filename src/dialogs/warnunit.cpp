#include "warnunit.h"

#include "app/forms.h"
#include "dialogs/mainunit.h"

namespace kinaru {

TForm3::TForm3(AppContext& context) : Form(context) {}

// The settings are loaded here, once all three dialogs exist, so that the
// stored positions override the designed ones.
void TForm3::FormCreate() { Form1->ReadIni(); }

}  // namespace kinaru
