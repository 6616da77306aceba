// Printing thumbnails: each record's thumbnail in a cell with its file name below, pages headed
// by the page text, under the one printing form with its Cancel button.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "thumbnails/uThumbView.h"

// headerFormat holds one "%s" for the page text. Nothing for no records or a size above 2.
void PrintThumbnails(tThumbnailView& view, const std::vector<uint32_t>& records,
                     const std::string& headerFormat, const std::string& title,
                     TForm* progressOwner, bool center, int printSize);
