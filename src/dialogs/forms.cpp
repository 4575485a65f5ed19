#include "dialogs/forms.h"

namespace kinaru {
TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;
TForm3* Form3 = nullptr;
}  // namespace kinaru
