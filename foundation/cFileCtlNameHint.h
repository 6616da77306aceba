// Tooltips for names cut off in the file and folder lists: a hint window over the row under the
// mouse, hidden again after the application's hint pause, shown once per visit to a row.
#pragma once
#include <memory>
#include <string>

#include "framework/HintWindow.h"
#include "framework/Timer.h"

class TOrvex_NameHint {
 public:
  // The list that shows the tips; it owns the timer that hides them.
  explicit TOrvex_NameHint(TWindow& list);

  // The mouse is over row (-1 none): false when that is still the tip's row; else any tip goes,
  // the row becomes the tip's row and true.
  bool MovedTo(int row);
  // Shows a name measured at size whose text starts at a client point of the list.
  void Show(POINT textTopLeft, SIZE size, const std::string& name);
  // Hides the tip; it shows again only once the mouse has reached another row.
  void Hide();
  // Hides the tip and forgets its row.
  void Reset();

 private:
  TWindow& list_;
  TTimer* timer_;
  std::unique_ptr<THintWindow> hint_;
  int row_ = -1;
};
