// The list view, in report style unless another view is chosen: columns with a caption, width
// and alignment, rows of a caption and sub-items with an image and a state image, one
// selected row; double-click and Enter reach OnDblClick and OnKeyPress.
#pragma once
#include <string>
#include <vector>

#include "framework/Label.h"
#include "framework/Window.h"

class TImageList;

// The views of SetViewStyle.
enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

class TListView : public TWindow {
 public:
  TListView(TComponent* owner, TWindow* parent, int x, int y, int width, int height);
  void AddColumn(const std::string& caption, int width, TAlignment alignment = taLeftJustify);
  int ColumnCount() const { return columns_; }
  int ColumnWidth(int column) const;
  // Appends a row; returns its index.
  int AddItem(const std::string& caption, const std::vector<std::string>& subItems);
  int Count() const;
  std::string ItemText(int row, int column) const;
  void Clear();
  // The selected row, -1 for none.
  int Selected() const;
  void SetSelected(int row);
  void SetViewStyle(TViewStyle style);
  TViewStyle ViewStyle() const;
  // Large, small and state images (state image 1 is drawn for state index 1 and so on).
  // Not owned.
  void SetImages(TImageList* large, TImageList* small, TImageList* state);
  // Appends a row with an image; returns its index.
  int AddItem(const std::string& caption, const std::vector<std::string>& subItems, int image);
  void SetItemText(int row, int column, const std::string& text);
  void SetItemImage(int row, int image);
  // 0: no state image.
  void SetItemStateIndex(int row, int index);
  int ItemStateIndex(int row) const;
  // The row at a client point, -1 for none.
  int ItemAt(int x, int y) const;
  void BeginUpdate() { SetRedraw(false); }
  void EndUpdate() { SetRedraw(true); }

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

 private:
  void SetRedraw(bool on);
  int columns_ = 0;
};
