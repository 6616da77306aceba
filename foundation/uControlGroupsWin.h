// List box rows moved by drag and drop, and the radio buttons and check boxes that are direct
// children of a container, read and set by their Tag values.
#pragma once
#include <cstdint>

#include "framework/ListBox.h"
#include "framework/Window.h"

// A drop at (x, y) of the target's client area; below the last row appends.
bool IsPastLastItem(const TListBox& list, int index);
void MoveListBoxItem(TListBox& source, TListBox& target, int x, int y);
// Every selected row of a multi-select source, else as MoveListBoxItem.
void MoveListBoxItems(TListBox& source, TListBox& target, int x, int y);

void SetRadioByTag(TWindow& container, intptr_t value);
intptr_t GetRadioTag(TWindow& container);
void SetChecksByTags(TWindow& container, intptr_t mask);
intptr_t GetCheckedTags(TWindow& container);
