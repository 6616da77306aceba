// The inspector window's decisions with no window: the strip's columns and rows, when another
// row fits, where the picture goes, how long an animation frame waits, which item follows a
// deletion, the name-to-thumbnail lines and the hints.
#pragma once
#include <string>

#include "foundation/uTypes.h"

// Square cells: the list's width div the row height (at least 1).
int InspectorColumns(int listWidth, int rowHeight);
// Rows at opening: a second one in a window taller than 600 pixels with more items than one row
// holds, a third one taller than 768 with more than two rows' worth.
int InspectorRows(int windowHeight, int itemCount, int columns);
// The strip's height: the rows, the horizontal scroll bar and 4 pixels.
inline int InspectorListHeight(int itemHeight, int rows, int scrollBarHeight) {
  return itemHeight * rows + scrollBarHeight + 4;
}
// "+": one more row only while the picture area stays taller than 199 pixels with it.
inline bool InspectorCanAddRow(int pictureAreaHeight, int rowHeight) {
  return pictureAreaHeight - rowHeight > 199;
}
// Where the picture is drawn in an area: fitted and centred when larger than the area, else
// centred at its own size; offset by 2 pixels either way.
TRect InspectorTarget(int areaWidth, int areaHeight, int width, int height);
// An animation frame's wait in milliseconds: the delay in hundredths, or 100 without one.
int InspectorFrameWait(int delay, bool hasDelay);
// The item selected after item `index` went from a list now `count` long; -1: none is left
// (the window closes).
int InspectorNextIndex(int index, int count);
// "name=index" lines.
std::string InspectorLine(const std::string& name, int thumbIndex);
bool ParseInspectorLine(const std::string& line, std::string& name, int& thumbIndex);
// Hints: "%s to open" on the picture and "%s to display" on the list.
std::string InspectorHint(bool singleClick, bool onPicture);
