// What combo boxes and list boxes share: rows of a text and a pointer of the caller's (not
// owned), kept by the system control through its own messages, and owner-drawn rows of a fixed
// height.
#pragma once
#include <functional>
#include <string>

#include "framework/Canvas.h"
#include "framework/Window.h"

using TDrawItemEvent =
    std::function<void(TComponent* sender, int index, const RECT& rect, UINT state)>;

// A control's messages for the row operations (its own CB_ or LB_ family; both answer failure
// with -1).
struct TItemMessages {
  UINT getCount, addString, resetContent, getTextLen, getText, getItemData, setItemData;
  // Whether a selected draw with no row (a combo box's closed part) shows the highlight.
  bool highlightNoRow;
};

class TItemList : public TWindow {
 public:
  int Count() const;
  int Add(const std::string& text, void* object = nullptr);
  void Clear();
  std::string String(int index) const;
  void* Object(int index) const;

  // The canvas that DrawItem draws on (valid during drawing).
  TCanvas& Canvas() { return canvas_; }
  TColor Color = clWindow;
  TDrawItemEvent OnDrawItem;

 protected:
  TItemList(TComponent* owner, const TItemMessages& messages)
      : TWindow(owner), messages_(messages) {}

  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  // A notification the control sent its parent (its CBN_ or LBN_ code).
  virtual void Notified(WORD code) = 0;
  // Draws row index into rect on Canvas(); the brush and font colours are set for the state.
  virtual void DrawItem(int index, const RECT& rect, UINT state);

  int itemHeight_ = 16;

 private:
  LRESULT Ask(UINT message, WPARAM w = 0, LPARAM l = 0) const {
    return ::SendMessageW(Handle(), message, w, l);
  }
  void DrawRow(const DRAWITEMSTRUCT& d);

  const TItemMessages messages_;
  TCanvas canvas_;
};
