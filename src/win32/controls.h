#pragma once
// Small helpers over Win32 controls: the designed font, controls at their
// designed places, and texts in UTF-8.
#include <windows.h>

#include <string>

namespace kinaru::win32 {

// "ＭＳ Ｐゴシック" at 12 pixels, or the nearest Japanese face the system has.
HFONT designedFont();

// A child control at its designed place, in the designed font.
HWND control(HWND parent, const wchar_t* kind, const std::string& text, DWORD style, int left, int top, int width,
             int height, int id = 0, DWORD exStyle = 0);

// Widens a label to its text, as a label sizes itself, and puts it under
// the controls around it, which cover a tail that runs into them.
void fitToText(HWND label);

// List rows of the designed height, or taller when the font in use needs
// it, so that descenders are never cut off; message sets a list's or a
// combo box's row height.
void setRowHeight(HWND list, UINT message, int designed);

// A check box's or radio button's state.
bool ticked(HWND box);
void tick(HWND box, bool on);

std::string textOf(HWND window);
void setText(HWND window, const std::string& text);

// A tooltip that shows hint while the pointer rests on control.
void addHint(HWND tooltips, HWND control, const std::string& hint);
HWND createTooltips(HWND owner);

// The plain message box, the error box (text and "."), the question box.
void messageBox(HWND owner, const std::string& text);
void errorBox(HWND owner, const std::string& text);
bool askYesNo(HWND owner, const std::string& text, bool noByDefault);

// A small or large icon of the system's shell library by its resource
// number: 4 a closed folder, 5 an open one.
HICON shellIcon(int index, bool large);

// Sets the window's outer size keeping its client width, or moves it.
void setOuterHeight(HWND window, int height);

}  // namespace kinaru::win32
