// Combo boxes: the system's drop-down list, optionally owner-drawn with a fixed row height.
#pragma once
#include <string>

#include "framework/ItemList.h"

// csDropDown: the text can also be typed.
enum TComboBoxStyle { csDropDownList, csOwnerDrawFixed, csDropDown };

class TComboBox : public TItemList {
 public:
  // height is the height of the closed box plus its dropped-down list.
  TComboBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
            TComboBoxStyle style = csDropDownList);

  void SetString(int index, const std::string& text);
  int ItemIndex() const;
  void SetItemIndex(int index);
  // The chosen row's text; in an editable box the typed text.
  std::string Text() const;
  void SetText(const std::string& text);
  void SetItemHeight(int height);
  bool DroppedDown() const;
  // The rows the drop-down list shows from now on (the system sizes the list from the height
  // the box is given).
  void SetDropDownRows(int rows);
  int ListItemHeight() const;

  // OnExit: the box lost the focus.
  TNotifyEvent OnChange, OnDropDown, OnExit;

 protected:
  void Notified(WORD code) override;
  // The user picked a row: Click, then Change.
  virtual void Select();
  virtual void Change();
  virtual void DropDown();

 private:
  bool editable_ = false;
};
