#include "shell/cStatusLine.h"

#include <commctrl.h>

#include "framework/Text.h"

TStatusLine::TStatusLine(TComponent* owner, TWindow* parent, const std::vector<int>& widths)
    : TWindow(owner) {
  CreateControl(parent, STATUSCLASSNAMEW, WS_VISIBLE | CCS_BOTTOM, 0, 0, 0, 0, 0);
  SetPanelWidths(widths);
}

void TStatusLine::SetPanelWidths(const std::vector<int>& widths) {
  widths_ = widths;
  texts_.resize(widths.size());
  centred_.resize(widths.size());
  std::vector<int> edges;
  int x = 0;
  for (int w : widths) {
    x = w < 0 ? -1 : x + w;
    edges.push_back(x);
  }
  Send(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < PanelCount(); ++i) SetPanelText(i, texts_[static_cast<size_t>(i)]);
}

void TStatusLine::SetPanelText(int panel, const std::string& text) {
  if (panel < 0 || panel >= PanelCount()) return;
  texts_[static_cast<size_t>(panel)] = text;
  // A leading tab centres the text in its panel.
  std::wstring w = Utf8ToWide((centred_[static_cast<size_t>(panel)] ? "\t" : "") + text);
  Send(SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(w.c_str()));
}

std::string TStatusLine::PanelText(int panel) const {
  if (panel < 0 || panel >= PanelCount()) return {};
  return texts_[static_cast<size_t>(panel)];
}

void TStatusLine::SetCentred(int panel, bool centred) {
  if (panel < 0 || panel >= PanelCount()) return;
  centred_[static_cast<size_t>(panel)] = centred;
  SetPanelText(panel, texts_[static_cast<size_t>(panel)]);
}

void TStatusLine::Realign() { Send(WM_SIZE, 0, 0); }
