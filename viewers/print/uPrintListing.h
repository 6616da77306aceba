// Printed text listings (hex dumps, folder-size reports): lines written one by one to the
// printer's text output, each page opened by a header of date, time, title and page number.
// The paging is decided here; the printer's text output is behind tListingOutput.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

class tListingOutput {
 public:
  virtual ~tListingOutput() = default;
  // The printer's own count of the page being printed.
  virtual int PageNumber() = 0;
  // One line; a text that starts with a form feed (12) starts a new page first.
  virtual void WriteLine(const std::string& text, uint32_t color) = 0;
};

// Line i and its colour (0x00BBGGRR; black unless the callback sets another).
using TListingGetLine = std::function<std::string(int index, uint32_t& color)>;

// Lines per page: page height div line height - top lines - bottom lines - 8.
int ListingLinesPerPage(int pageHeight, int lineHeight, int topLines, int bottomLines);

// "%s  %s     %s" of date, time and title.
std::string ListingTitleHeader(const std::string& dateText, const std::string& timeText,
                               const std::string& title);

// Writes count lines with a page header before the first line of every page; linesPerPage
// counts the header's two lines. Nothing at all for an empty listing.
void WriteTextListing(tListingOutput& out, int count, const TListingGetLine& getLine,
                      const std::string& titleHeader, int topLines, int leftMargin,
                      int linesPerPage);
