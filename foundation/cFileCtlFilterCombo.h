// The filter combo: a drop-down list of file types from a filter text ("All files|*.*|..."),
// each with its mask; picking one sets a linked file list's Mask.
#pragma once
#include <string>
#include <vector>

#include "framework/ComboBox.h"

class TOrvex_FileList;

class TOrvex_FilterCombo : public TComboBox {
 public:
  TOrvex_FilterCombo(TComponent* owner, TWindow* parent, int x = 0, int y = 0, int width = 145,
                     int height = 200);

  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& filter);
  TOrvex_FileList* FileList() const { return fileList_; }
  // Links the file list both ways.
  void SetFileList(TOrvex_FileList* list);
  void BuildItems();
  // The selected item's mask; with none selected the last item is selected first; "*.*" when
  // there is no item at all.
  std::string GetMask();
  const std::vector<std::string>& Masks() const { return masks_; }
  void Loaded() override;
  void Change() override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::string filter_ = "All files (*.*)|*.*";
  TOrvex_FileList* fileList_ = nullptr;
  std::vector<std::string> masks_;
};
