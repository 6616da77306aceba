// Header section widths as a comma text, and where a form goes on the screen. Plain values in
// and out: the wrappers over the header control and the form read and set them.
#pragma once
#include <string>
#include <vector>

// "160,18,18,136" from the widths; empty without sections. Kept to a short text of at most
// 255 characters: widths that would not fit are left out whole.
std::string HeaderWidthsToText(const std::vector<int>& widths);
// Pieces of the comma text that are whole numbers (0 or more) set the width of the section of
// the same place; other pieces are skipped but still count, and pieces past the last section
// are ignored.
void HeaderWidthsFromText(const std::string& text, std::vector<int>& widths);

// The form's left and top when placed at (x, y): only its right and bottom edges are held inside
// the full-screen area.
void PlaceFormAt(int x, int y, int formWidth, int formHeight, int fullScreenWidth,
                 int fullScreenHeight, int& left, int& top);

// A stored form position and size.
struct tFormBounds {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};
// The stored size always comes back; the stored place only when its corner lies on the screen
// with 20 pixels to spare (Designed), else the system chooses the place.
struct tFormRestore {
  tFormBounds Bounds;
  bool Designed = false;
};
tFormRestore RestoreFormBounds(const tFormBounds& stored, int screenWidth, int screenHeight);

// The non-client size of a form along one axis, from the system's metrics for that axis.
enum class tFrameBorder { None, Single, Sizeable, Dialog };
struct tFrameInfo {
  tFrameBorder Border = tFrameBorder::Sizeable;
  bool Designing = false;  // a form in design mode counts as sizeable
  bool HasMenu = false;
  bool HasScrollBar = false;  // the scroll bar that takes room along this axis
  int FixedFrame = 0;         // SM_CXFIXEDFRAME / SM_CYFIXEDFRAME: single and dialog borders
  int SizeFrame = 0;          // SM_CXFRAME / SM_CYFRAME: sizeable borders
  int CaptionHeight = 0;      // SM_CYCAPTION
  int MenuHeight = 0;         // SM_CYMENU
  int ScrollBarSize = 0;      // SM_CYHSCROLL vertically, SM_CXVSCROLL horizontally
};
int FormFrameSize(const tFrameInfo& form, bool vertical);
