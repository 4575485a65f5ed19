#pragma once
// The three dialog references. Each is set before its dialog's creation
// handler runs and stays valid until the process ends; handlers reach the
// other dialogs' controls through them.
namespace kinaru {
class TForm1;
class TForm2;
class TForm3;

extern TForm1* Form1;
extern TForm2* Form2;
extern TForm3* Form3;
}  // namespace kinaru
