// The small controls on a form, through real messages: progress segments, slider clicks and
// drags, the number edit's typing, pasting and Enter, the tray icon's callback message, and the
// combo box's item hints.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "foundation/DialogDriver_test.h"
#include "foundation/cNumEdit.h"
#include "foundation/cOrvexComboBox.h"
#include "foundation/cProgress.h"
#include "foundation/cSlider.h"
#include "foundation/cTrayIcon.h"
#include "framework/Button.h"
#include "framework/Form.h"

using dialogtest::Pump;

namespace {
struct Host {
  Host() {
    form.SetBounds(60, 60, 420, 300);
    form.Show();
  }
  TForm form{nullptr};
};

COLORREF PixelOf(TWindow& w, int x, int y) {
  w.Update();
  HDC dc = GetDC(w.Handle());
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(w.Handle(), dc);
  return c;
}

void Type(TWindow& w, const std::u16string& keys) {
  for (char16_t k : keys) w.Send(WM_CHAR, k, 1);
}

void SetClipboardText(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(g), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(g);
  SetClipboardData(CF_UNICODETEXT, g);
  CloseClipboard();
}
}  // namespace

TEST(Progress, SegmentsFollowThePercent) {
  Host h;
  auto* p = new TProgress(&h.form, &h.form, 10, 10);
  int changes = 0;
  p->OnChange = [&](TComponent*) { ++changes; };
  EXPECT_EQ(p->WorkingWidth(), 102);
  p->SetPercent(55);
  EXPECT_EQ(p->PaintedSegments(), 5);
  EXPECT_EQ(changes, 1);
  p->SetPercent(50);
  p->SetPercent(52);  // still 5 segments: no event
  EXPECT_EQ(changes, 1);
  // Segment 4 is painted in the segment colour, the place of segment 5 is background.
  EXPECT_EQ(PixelOf(*p, 2 + 4 * 10 + 4, 9), ColorToRGB(clNavy));
  EXPECT_EQ(PixelOf(*p, 2 + 5 * 10 + 4, 9), ColorToRGB(clBtnFace));
  p->SetPercent(150);
  EXPECT_EQ(p->Percent(), 100);
  EXPECT_EQ(p->PaintedSegments(), 10);
  p->SetPercent(10);  // fewer: painted anew
  EXPECT_EQ(p->PaintedSegments(), 1);
  EXPECT_EQ(PixelOf(*p, 2 + 1 * 10 + 4, 9), ColorToRGB(clBtnFace));
  EXPECT_EQ(changes, 3);
  // Setters that take nothing out of range.
  p->SetSegmentWidth(0);
  p->SetSegmentGap(-1);
  p->SetMargin(9);  // not below Height div 2
  EXPECT_EQ(p->SegmentWidth(), 8);
  EXPECT_EQ(p->SegmentGap(), 2);
  EXPECT_EQ(p->Margin(), 2);
  EXPECT_EQ(TProgress::PercentOf(1, 1000), 1);
}

TEST(Progress, FitToWidthAndTinyBars) {
  Host h;
  auto* bar = new TProgress(&h.form, &h.form, 10, 10, 107, 18);
  bar->FitToWidth(true);
  EXPECT_EQ(bar->Width(), 102);
  EXPECT_EQ(bar->Left(), 12);  // kept its middle
  auto* up = new TProgress(&h.form, &h.form, 200, 10, 18, 107);
  up->FitToWidth(false);
  EXPECT_EQ(up->Height(), 102);
  EXPECT_EQ(up->Top(), 15);  // kept its bottom edge
  // A bar too small for one segment stays as it is (it used to divide by its 0 segments).
  auto* tiny = new TProgress(&h.form, &h.form, 10, 60, 6, 3);
  tiny->FitToWidth(true);
  EXPECT_EQ(tiny->Width(), 6);
  EXPECT_EQ(tiny->Left(), 10);
  tiny->SetPercent(100);
  EXPECT_EQ(tiny->PaintedSegments(), 0);
}

TEST(Slider, ClicksDragsAndTheLogarithmicScale) {
  Host h;
  auto* s = new TSlider(&h.form, &h.form, 10, 10, 108, 20);
  int changes = 0;
  s->OnChange = [&](TComponent*) { ++changes; };
  s->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(54, 10));  // beside the thumb: jumps
  s->Send(WM_LBUTTONUP, 0, MAKELPARAM(54, 10));
  EXPECT_EQ(s->Position(), 50);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(s->Dragging());
  // The thumb dragged from 50 to 75 and beyond the end.
  s->ShowHint = true;
  s->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(54, 10));
  EXPECT_TRUE(s->Dragging());
  EXPECT_FALSE(s->ShowHint);
  s->Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(79, 10));
  EXPECT_EQ(s->Position(), 75);
  s->Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 10));
  EXPECT_EQ(s->Position(), 100);
  s->Send(WM_LBUTTONUP, 0, MAKELPARAM(300, 10));
  EXPECT_FALSE(s->Dragging());
  EXPECT_TRUE(s->ShowHint);
  s->Send(WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));  // no longer dragged
  EXPECT_EQ(s->Position(), 100);
  s->SetPosition(101);  // ignored
  EXPECT_EQ(s->Position(), 100);
  s->LogScale = true;
  s->SetPosition(51);
  EXPECT_EQ(s->StoredPosition(), 10);
  EXPECT_EQ(s->Position(), 51);
  // The thumb is painted where the stored place says: the groove is hidden under it.
  EXPECT_NE(PixelOf(*s, 14, 10), ColorToRGB(clBlack));
  EXPECT_EQ(PixelOf(*s, 40, 10), ColorToRGB(clBlack));

  // Vertical, counting upwards.
  auto* v = new TSlider(&h.form, &h.form, 200, 10, 20, 100);
  v->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 4));
  v->Send(WM_LBUTTONUP, 0, MAKELPARAM(10, 4));
  EXPECT_EQ(v->Position(), 100);
  v->SetPosition(0);
  v->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 95));  // on the thumb (92..98)
  EXPECT_TRUE(v->Dragging());
  v->Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 50));
  v->Send(WM_LBUTTONUP, 0, MAKELPARAM(10, 50));
  EXPECT_EQ(v->Position(), 50);
}

TEST(NumEdit, TypingKeepsToANumber) {
  Host h;
  auto* e = new TNumEdit(&h.form, &h.form, 10, 10);
  e->Decimals = 2;
  e->Digits = 4;
  e->SetFocus();
  Type(*e, u"12a3 .4567");
  EXPECT_EQ(e->Text(), "123.45");
  EXPECT_DOUBLE_EQ(e->Value(), 123.45);
  Type(*e, u"-");
  EXPECT_EQ(e->Text(), "-123.45");
  Type(*e, u"-");
  EXPECT_EQ(e->Text(), "123.45");
  e->Send(EM_SETSEL, 3, 3);
  Type(*e, u"9");
  EXPECT_EQ(e->Text(), "1239.45");
  e->Send(EM_SETSEL, 4, 4);
  Type(*e, u"8");  // four integer digits already
  EXPECT_EQ(e->Text(), "1239.45");
  e->Send(EM_SETSEL, 0, 0);
  e->Send(WM_KEYDOWN, VK_DELETE, 1);
  EXPECT_EQ(e->Text(), "239.45");
  e->Send(EM_SETSEL, 6, 6);
  Type(*e, u"\b");
  EXPECT_EQ(e->Text(), "239.4");
  Type(*e, u"\r");  // never inserted
  EXPECT_EQ(e->Text(), "239.4");
  e->SetReadOnly(true);
  Type(*e, u"x");  // read-only: nothing to filter, nothing typed
  EXPECT_EQ(e->Text(), "239.4");
  e->SetReadOnly(false);
  e->SetAsInteger(77);
  EXPECT_EQ(e->Text(), "77");
  EXPECT_EQ(e->GetAsInteger(), 77);
  e->SetText("");
  EXPECT_EQ(e->Value(), 0);
}

// Pasted text is not filtered; text that is no number reads as 0 (it used to raise).
TEST(NumEdit, PastedTextAndTheFormatOnLeaving) {
  Host h;
  auto* e = new TNumEdit(&h.form, &h.form, 10, 10);
  auto* other = new TNumEdit(&h.form, &h.form, 10, 40);
  e->Decimals = 2;
  e->NumberFormat = Thousands;
  e->SetFocus();
  SetClipboardText(h.form.Handle(), L"abc");
  e->SelectAll();
  e->Send(WM_CHAR, 22, 1);  // Ctrl+V reaches the edit
  EXPECT_EQ(e->Text(), "abc");
  EXPECT_EQ(e->Value(), 0);
  SetClipboardText(h.form.Handle(), L"1234.5");
  e->SelectAll();
  e->Send(WM_PASTE);
  EXPECT_DOUBLE_EQ(e->Value(), 1234.5);
  // Leaving writes the value in its format, with the thousands separator; it reads back.
  other->SetFocus();
  EXPECT_EQ(e->Text(), "1,234.50");
  EXPECT_DOUBLE_EQ(e->Value(), 1234.5);
  // Coming back selects the whole text, also when the mouse brought the focus.
  e->SetFocus();
  DWORD from = 0, to = 0;
  e->Send(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 8u);
  other->SetFocus();
  e->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
  e->Send(WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
  e->Send(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 8u);
}

TEST(NumEdit, EnterPressesTheDefaultButton) {
  Host h;
  auto* e = new TNumEdit(&h.form, &h.form, 10, 10);
  e->SetText("5");
  e->SetFocus();
  // Without a default button: only a beep, the text stays.
  Type(*e, u"\r");
  EXPECT_EQ(e->Text(), "5");
  auto* ok = new TButton(&h.form, &h.form, "OK", 10, 60, 75, 25);
  ok->SetDefault(true);
  int clicks = 0;
  std::string seen;
  ok->OnClick = [&](TComponent*) {
    ++clicks;
    seen = e->Text();
  };
  // Through the message loop, as a key press arrives (the loop makes the character of it).
  PostMessageW(e->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(seen, "5");
  EXPECT_TRUE(e->Focused());  // the focus comes back
  EXPECT_EQ(e->Text(), "5");
}

namespace {
// The tray icon with the system call recorded.
class TRecordedTray : public TTrayIcon {
 public:
  using TTrayIcon::TTrayIcon;
  std::vector<DWORD> calls;
  std::wstring lastTip;
  UINT lastFlags = 0;
  int popups = 0;

 protected:
  bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override {
    calls.push_back(message);
    lastTip = data.szTip;
    lastFlags = data.uFlags;
    EXPECT_EQ(data.uCallbackMessage, 1147u);
    EXPECT_EQ(data.hWnd, WindowHandle());
    return true;
  }
  void PopUp(POINT) override { ++popups; }
};
}  // namespace

TEST(TrayIcon, CallbackMessagesAndTheIcon) {
  Host h;
  TRecordedTray tray(nullptr);
  EXPECT_EQ(WM_TRAYICON, 1147u);
  int clicks = 0, doubles = 0, rights = 0;
  tray.OnClick = [&](TComponent*) { ++clicks; };
  tray.OnDblClick = [&](TComponent*) { ++doubles; };
  tray.OnRightClick = [&](TComponent*, TMouseButton b, TShiftState, int, int) {
    EXPECT_EQ(b, mbRight);
    ++rights;
  };
  tray.SetActive(true);  // not minimized, not separate: no icon
  EXPECT_FALSE(tray.IconShown());
  tray.SetSeparateIcon(true);
  EXPECT_TRUE(tray.IconShown());
  EXPECT_EQ(tray.calls.back(), static_cast<DWORD>(NIM_ADD));
  tray.SetHint(std::string(80, 'h'));
  EXPECT_EQ(tray.calls.back(), static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(tray.lastTip, std::wstring(63, L'h'));
  EXPECT_TRUE(tray.lastFlags & NIF_TIP);
  tray.SetHint("");
  EXPECT_FALSE(tray.lastFlags & NIF_TIP);

  HWND w = tray.WindowHandle();
  SendMessageW(w, 1147, 1, WM_LBUTTONUP);
  SendMessageW(w, 1147, 1, WM_LBUTTONDBLCLK);
  SendMessageW(w, 1147, 1, WM_MOUSEMOVE);  // to the default window procedure
  SendMessageW(w, 1147, 1, WM_RBUTTONUP);  // separate icon: the menu pops up
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(rights, 1);
  EXPECT_EQ(tray.popups, 1);
  // With the main window showing and no separate icon, a right click brings no menu.
  Application.MainForm = &h.form;
  tray.SetSeparateIcon(false);
  EXPECT_FALSE(tray.IconShown());
  SendMessageW(w, 1147, 1, WM_RBUTTONUP);
  EXPECT_EQ(rights, 2);
  EXPECT_EQ(tray.popups, 1);
  Application.MainForm = nullptr;
}

TEST(TrayIcon, MinimizingGoesToTheTray) {
  Host h;
  Application.MainForm = &h.form;
  {
    TRecordedTray tray(nullptr);
    int minimized = 0, restored = 0;
    tray.OnMinimize = [&](TComponent*) { ++minimized; };
    tray.OnRestore = [&](TComponent*) { ++restored; };
    tray.SetActive(true);
    ShowWindow(h.form.Handle(), SW_MINIMIZE);
    Pump();
    EXPECT_EQ(minimized, 1);
    EXPECT_TRUE(tray.IconShown());
    EXPECT_FALSE(IsWindowVisible(h.form.Handle()));
    // A right click now pops the menu up: the main window is hidden.
    SendMessageW(tray.WindowHandle(), 1147, 1, WM_RBUTTONUP);
    EXPECT_EQ(tray.popups, 1);
    ShowWindow(h.form.Handle(), SW_RESTORE);
    Pump();
    EXPECT_EQ(restored, 1);
    EXPECT_TRUE(IsWindowVisible(h.form.Handle()));
    EXPECT_FALSE(tray.IconShown());
  }
  EXPECT_FALSE(Application.OnMinimize);  // given back
  Application.MainForm = nullptr;
}

// The system's own notification area (Wine's desktop has one).
TEST(TrayIcon, TheSystemTakesTheIcon) {
  TTrayIcon tray(nullptr);
  tray.SetHint("Tavishore 32");
  try {
    tray.SetSeparateIcon(true);
    tray.SetActive(true);
    EXPECT_TRUE(tray.IconShown());
    tray.SetActive(false);
    EXPECT_FALSE(tray.IconShown());
  } catch (const EOutOfResources& e) {
    EXPECT_STREQ(e.what(), "Cannot create shell notification icon");
  }
}

TEST(OrvexComboBox, ATooWideRowShowsWholeInAHint) {
  Host h;
  auto* combo = new TOrvex_ComboBox(&h.form, &h.form, 10, 10, 90, 200);
  const std::string longText = "C:\\pictures\\a rather long folder name\\and more";
  combo->Add("short");
  combo->Add(longText);
  combo->ItemHint = true;
  combo->Send(CB_SHOWDROPDOWN, TRUE);
  Pump();
  combo->Send(CB_SETCURSEL, 1);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(combo->Handle(), &info);
  RedrawWindow(info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  ASSERT_NE(combo->HintWindow(), nullptr);
  EXPECT_EQ(combo->HintWindow()->Caption(), longText);
  EXPECT_GT(combo->HintWindow()->Width(), 90);
  combo->Send(CB_SETCURSEL, 0);
  RedrawWindow(info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  EXPECT_EQ(combo->HintWindow(), nullptr);  // "short" fits
  combo->Send(CB_SETCURSEL, 1);
  RedrawWindow(info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  ASSERT_NE(combo->HintWindow(), nullptr);
  combo->Send(CB_SHOWDROPDOWN, FALSE);  // closing up takes the hint away
  Pump();
  EXPECT_EQ(combo->HintWindow(), nullptr);
}
