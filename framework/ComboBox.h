// Combo boxes: the system's drop-down list, optionally owner-drawn with a fixed row height.
// Rows hold a text and a pointer of the caller's (not owned).
#pragma once
#include <functional>
#include <string>

#include "framework/Canvas.h"
#include "framework/ListBox.h"
#include "framework/Window.h"

// csDropDown: the text can also be typed.
enum TComboBoxStyle { csDropDownList, csOwnerDrawFixed, csDropDown };

class TComboBox : public TWindow {
 public:
  // height is the height of the closed box plus its dropped-down list.
  TComboBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
            TComboBoxStyle style = csDropDownList);

  int Count() const;
  int Add(const std::string& text, void* object = nullptr);
  void Clear();
  std::string String(int index) const;
  void SetString(int index, const std::string& text);
  void* Object(int index) const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  // The chosen row's text; in an editable box the typed text.
  std::string Text() const;
  void SetText(const std::string& text);
  void SetItemHeight(int height);
  bool DroppedDown() const;

  TCanvas& Canvas() { return canvas_; }
  TColor Color = clWindow;
  TNotifyEvent OnChange, OnDropDown;
  TDrawItemEvent OnDrawItem;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  // The user picked a row: Click, then Change.
  virtual void Select();
  virtual void Change();
  virtual void DropDown();
  virtual void DrawItem(int index, const RECT& rect, UINT state);

 private:
  TCanvas canvas_;
  int itemHeight_ = 16;
  bool editable_ = false;
};
