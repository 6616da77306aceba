// Paging of printed text listings.
#include "viewers/print/uPrintListing.h"

#include "foundation/uFormat.h"

int ListingLinesPerPage(int pageHeight, int lineHeight, int topLines, int bottomLines) {
  if (lineHeight <= 0) return 0;
  return pageHeight / lineHeight - topLines - bottomLines - 8;
}

std::string ListingTitleHeader(const std::string& dateText, const std::string& timeText,
                               const std::string& title) {
  return Format("%s  %s     %s", {dateText, timeText, title});
}

void WriteTextListing(tListingOutput& out, int count, const TListingGetLine& getLine,
                      const std::string& titleHeader, int topLines, int leftMargin,
                      int linesPerPage) {
  const std::string margin(static_cast<size_t>(leftMargin < 0 ? 1 : leftMargin + 1), ' ');
  // A page too small for its header still gets one text line per page.
  if (linesPerPage < 3) linesPerPage = 3;
  int current = linesPerPage;  // the first line begins a page
  bool firstPage = true;
  for (int i = 0; i < count; ++i) {
    if (current >= linesPerPage) {
      for (int k = 0; k <= topLines; ++k)
        out.WriteLine(k == 0 && !firstPage ? std::string(1, '\f') : std::string(), 0);
      firstPage = false;
      out.WriteLine(margin, 0);
      out.WriteLine(margin + Format("Page %d   %s", {out.PageNumber(), titleHeader}), 0);
      current = 2;
    }
    uint32_t color = 0;
    const std::string text = getLine(i, color);
    out.WriteLine(margin + text, color);
    ++current;
  }
}
