// List boxes: the system's list box, optionally owner-drawn with a fixed row height, in
// several columns of a given width, or with several rows selected. Rows hold a text and a
// pointer of the caller's (not owned).
#pragma once
#include <functional>
#include <string>

#include "framework/Canvas.h"
#include "framework/Window.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };

using TDrawItemEvent =
    std::function<void(TComponent* sender, int index, const RECT& rect, UINT state)>;

class TListBox : public TWindow {
 public:
  TListBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
           TListBoxStyle style = lbStandard, bool multiSelect = false);

  int Count() const;
  int Add(const std::string& text, void* object = nullptr);
  void Clear();
  std::string String(int index) const;
  void* Object(int index) const;
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

  // The canvas that DrawItem draws on (valid during drawing).
  TCanvas& Canvas() { return canvas_; }
  TColor Color = clWindow;
  TDrawItemEvent OnDrawItem;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  void CreateWnd() override;
  // Draws row index into rect on Canvas(); the brush and font colours are set for the state.
  virtual void DrawItem(int index, const RECT& rect, UINT state);

 private:
  TCanvas canvas_;
  bool ownerDraw_;
  int itemHeight_ = 16;
  int columns_ = 0;
};
