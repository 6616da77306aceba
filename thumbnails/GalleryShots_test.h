// Screenshots of the gallery window in each of its four views.
#pragma once
#include <string>

#include "foundation/DialogDriver_test.h"
#include "framework/ListView.h"
#include "thumbnails/ThumbWindowForm.h"

namespace gallerytest {

// Saved as PREFIX-large, -small, -list and -details (with TAVIS_SCREENSHOT_DIR set).
inline void ScreenshotViews(TThumbWindowForm* form, const std::string& prefix) {
  const std::pair<TViewStyle, const char*> views[] = {
      {vsIcon, "large"}, {vsSmallIcon, "small"}, {vsList, "list"}, {vsReport, "details"}};
  for (const auto& [style, name] : views) {
    form->ListView->SetViewStyle(style);
    dialogtest::Pump();
    dialogtest::Screenshot(form->Handle(), prefix + "-" + name);
  }
}

}  // namespace gallerytest
