// The hex viewer's grid: one fixed header row, then one row of 16 bytes per line, drawn only for
// the lines in view from the one page that tHexView holds; a vertical scroll bar with thumb
// tracking, the arrow and page keys, and the wheel.
#pragma once
#include <memory>
#include <string>

#include "framework/PaintedWindow.h"
#include "viewers/hex/uHexView.h"

class TOrvexHexView : public TPaintedWindow {
 public:
  TOrvexHexView(TComponent* owner, TWindow* parent, int x, int y, int width, int height);
  ~TOrvexHexView() override;

  void OpenFile(const std::string& fileName);
  int64_t LineCount() const { return view_ ? view_->Rows : 0; }
  std::string LineText(int64_t row) { return view_ ? view_->FormatLine(row, 8) : std::string(); }
  std::string FileName() const { return view_ ? view_->FileName : std::string(); }
  // The first file line in view (0 = the first row after the header).
  int64_t TopRow() const { return top_; }
  void SetTopRow(int64_t row);
  int DefaultRowHeight = 16;
  TNotifyEvent OnChange;

 protected:
  const wchar_t* ClassName() const override { return L"TavisHexView"; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  void Paint(TCanvas& canvas) override;
  void Resize() override;
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  int VisibleRows() const;
  void UpdateScrollBar();
  std::unique_ptr<tHexView> view_;
  int64_t top_ = 0;
};
