// The list view in report style: columns with a caption, width and alignment, rows of a caption
// and sub-items, one selected row; double-click and Enter reach OnDblClick and OnKeyPress.
#pragma once
#include <string>
#include <vector>

#include "framework/Label.h"
#include "framework/Window.h"

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
  void BeginUpdate() { SetRedraw(false); }
  void EndUpdate() { SetRedraw(true); }

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

 private:
  void SetRedraw(bool on);
  int columns_ = 0;
};
