#include "framework/StatusBar.h"

#include <commctrl.h>

#include "framework/Text.h"

TStatusBar::TStatusBar(TComponent* owner, TWindow* parent) : TWindow(owner) {
  CreateControl(parent, STATUSCLASSNAMEW, WS_VISIBLE | CCS_BOTTOM | SBARS_SIZEGRIP, 0, 0, 0, 0, 0);
}

void TStatusBar::SetPanels(const std::vector<int>& widths, const std::vector<bool>& centred) {
  widths_ = widths;
  centred_ = centred;
  centred_.resize(widths.size(), false);
  texts_.resize(widths.size());
  std::vector<int> rights;
  int x = 0;
  for (size_t i = 0; i < widths.size(); ++i) {
    x += widths[i];
    rights.push_back(i + 1 == widths.size() ? -1 : x);
  }
  Send(SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
  for (size_t i = 0; i < texts_.size(); ++i) SetPanelText(static_cast<int>(i), texts_[i]);
}

void TStatusBar::SetPanelText(int panel, const std::string& text) {
  if (panel < 0) return;
  if (static_cast<size_t>(panel) >= texts_.size()) texts_.resize(static_cast<size_t>(panel) + 1);
  texts_[static_cast<size_t>(panel)] = text;
  // The control centres text that follows a tab.
  const bool centre = static_cast<size_t>(panel) < centred_.size() && centred_[static_cast<size_t>(panel)];
  const std::wstring w = Utf8ToWide(centre ? "\t" + text : text);
  Send(SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(w.c_str()));
}

std::string TStatusBar::PanelText(int panel) const {
  return panel >= 0 && static_cast<size_t>(panel) < texts_.size() ? texts_[static_cast<size_t>(panel)]
                                                                   : std::string();
}

RECT TStatusBar::PanelRect(int panel) const {
  RECT r{};
  ::SendMessageW(Handle(), SB_GETRECT, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(&r));
  return r;
}
