// List boxes: the system's list box, optionally owner-drawn with a fixed row height, in
// several columns of a given width, or with several rows selected.
#pragma once
#include "framework/ItemList.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };

class TListBox : public TItemList {
 public:
  TListBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
           TListBoxStyle style = lbStandard, bool multiSelect = false);

  // For many rows at once: room is made first, and the list is not drawn until EndUpdate.
  void Reserve(int rows, int textBytes);
  void BeginUpdate();
  void EndUpdate();

  // The current row (-1 none); with several selectable rows, the row with the caret.
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  int TopIndex() const;
  void SetTopIndex(int index);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int height);
  RECT ItemRect(int index) const;
  // The row at a client point; -1 when the point is past the last row.
  int ItemAtPos(POINT p) const;
  // 0: one column, scrolled vertically; n >= 1: columns of Width div n pixels.
  int Columns() const { return columns_; }
  void SetColumns(int columns);

 protected:
  void Notified(WORD code) override;
  void CreateWnd() override;

 private:
  bool ownerDraw_;
  int columns_ = 0;
};
