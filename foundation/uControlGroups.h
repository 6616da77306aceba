// Moving list box rows by drag and drop, and radio button and check box groups read and set by
// their Tag values. The rows and buttons are plain values here; the wrappers over the list box
// and the container's children copy them in and out.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct tListRow {
  std::string Text;
  void* Object = nullptr;
  bool Selected = false;
};
struct tListRows {
  std::vector<tListRow> Rows;
  int ItemIndex = -1;  // the current row
  bool MultiSelect = false;
};

// A drop below the last row (or on no row) appends.
bool IsPastLastItem(int count, int index);
// Moves the source's current row to row `index` of the target (the row under the drop point),
// appending when that is past the last row; source and target may be one list. Needs a current
// row, and 2 rows within one list or 1 between lists. The moved row becomes the target's current
// row and the source has none. Returns its index, or -1 when nothing moved.
int MoveListBoxItem(tListRows& source, tListRows& target, int index);
// For a multi-select source, every selected row in turn, each put after the one before and
// deselected; otherwise MoveListBoxItem. Returns the last moved row's index, or -1.
int MoveListBoxItems(tListRows& source, tListRows& target, int index);

enum class tButtonKind { Other, Radio, Check };
struct tGroupButton {
  tButtonKind Kind = tButtonKind::Other;
  intptr_t Tag = 0;
  bool Checked = false;
};

// Every radio button is checked exactly when its Tag equals the value.
void SetRadioByTag(std::vector<tGroupButton>& buttons, intptr_t value);
// The Tag of the checked radio button (the last one when several are); 0 when none is.
intptr_t GetRadioTag(const std::vector<tGroupButton>& buttons);
// Every check box is checked when all bits of its Tag are in the mask (Tag 0: always).
void SetChecksByTags(std::vector<tGroupButton>& buttons, intptr_t mask);
// The OR of the Tags of the checked check boxes.
intptr_t GetCheckedTags(const std::vector<tGroupButton>& buttons);
