// The rich edit control (riched20): plain or rich text loaded from and saved to files, the
// selection, search, the default character format, and rendering a range onto a printer.
#pragma once
#include <string>

#include "framework/Window.h"

class TRichEdit : public TWindow {
 public:
  TRichEdit(TComponent* owner, TWindow* parent, int x, int y, int width, int height);

  // Plain text shows a file's bytes as they are (an RTF file as its source); the mode can change
  // only while the control is empty.
  bool PlainText() const { return plain_; }
  void SetPlainText(bool plain);
  // Loads a file's bytes: text as UTF-8 when it is valid UTF-8, else in the Windows code page;
  // in rich mode an RTF document is read as rich text.
  bool LoadFromBytes(const std::string& bytes);
  // The bytes of a file of the text: plain text in the Windows code page (UTF-8 when it needs
  // more), rich text as RTF.
  bool SaveToBytes(std::string& out);

  std::u16string Text() const;
  void SetText(const std::u16string& text);
  void Clear() { SetText(u""); }
  int64_t TextLength() const;
  int LineCount() const;
  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);
  bool Modified() const;
  void SetModified(bool modified);
  void SetMaxLength(int64_t chars);

  int64_t SelStart() const;
  int64_t SelLength() const;
  void SetSelection(int64_t start, int64_t length);
  std::u16string SelText() const;
  void SetSelText(const std::u16string& text);
  // Position of the text inside [start, start + length), -1 when not found.
  int64_t SearchText(const std::u16string& what, int64_t start, int64_t length, bool wholeWord,
                   bool matchCase) const;
  // The format new text takes (name, size, style and colour of the font).
  void SetDefaultFormat(const TFont& font);

  // Renders from start onwards into the printer context's rectangle (twips); returns the first
  // character not rendered. With dc null the control's formatting cache is released.
  int64_t FormatRange(HDC dc, const RECT& pageTwips, const RECT& renderTwips, int64_t start,
                      int64_t end, bool render);

  TNotifyEvent OnChange;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

 private:
  bool plain_ = true;
};

// EM_FORMATRANGE on any rich edit control: renders [start, end) (end -1: to the end) into the
// printer context's rectangle (twips); returns the first character not rendered. With dc null
// the control's formatting cache is released.
int64_t FormatRichRange(HWND edit, HDC dc, const RECT& pageTwips, const RECT& renderTwips,
                        int64_t start, int64_t end, bool render);
