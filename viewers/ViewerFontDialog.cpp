#include "viewers/ViewerFontDialog.h"

#include <commdlg.h>

#include "framework/Graphics.h"
#include "framework/Text.h"

bool ChooseViewerFont(HWND owner, TFont& font) {
  LOGFONTW lf{};
  GetObjectW(font.Handle(), sizeof lf, &lf);
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = owner;
  cf.lpLogFont = &lf;
  cf.iPointSize = font.Size() * 10;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (!ChooseFontW(&cf)) return false;
  font.SetName(WideToUtf8(lf.lfFaceName));
  font.SetSize(cf.iPointSize / 10);
  font.SetStyle((lf.lfWeight >= FW_BOLD ? fsBold : 0u) | (lf.lfItalic ? fsItalic : 0u) |
                (lf.lfUnderline ? fsUnderline : 0u) | (lf.lfStrikeOut ? fsStrikeOut : 0u));
  return true;
}
