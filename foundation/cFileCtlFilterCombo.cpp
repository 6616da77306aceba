#include "foundation/cFileCtlFilterCombo.h"

#include "foundation/cFileCtlFileList.h"
#include "foundation/cFileCtlPaths.h"
#include "foundation/uPlatform.h"

TOrvex_FilterCombo::TOrvex_FilterCombo(TComponent* owner, TWindow* parent, int x, int y, int width,
                                       int height)
    : TComboBox(owner, parent, x, y, width, height, csDropDownList) {}

void TOrvex_FilterCombo::Notification(TComponent* component, TOperation operation) {
  TComboBox::Notification(component, operation);
  if (operation == opRemove && component == fileList_) fileList_ = nullptr;
}

void TOrvex_FilterCombo::SetFileList(TOrvex_FileList* list) {
  if (list == fileList_) return;
  if (fileList_) {
    fileList_->filterCombo_ = nullptr;
    fileList_->RemoveFreeNotification(this);
  }
  fileList_ = list;
  if (!fileList_) return;
  fileList_->filterCombo_ = this;
  fileList_->FreeNotification(this);
}

void TOrvex_FilterCombo::SetFilter(const std::string& filter) {
  if (Platform().CompareTextLocale(filter, filter_) == 0) return;
  filter_ = filter;
  if (HandleAllocated()) BuildItems();
  Change();
}

void TOrvex_FilterCombo::BuildItems() {
  Clear();
  masks_.clear();
  for (const auto& [text, mask] : ParseFilter(filter_)) {
    Add(text);
    masks_.push_back(mask);
  }
  SetItemIndex(0);
}

void TOrvex_FilterCombo::Loaded() {
  TComboBox::Loaded();
  BuildItems();
}

std::string TOrvex_FilterCombo::GetMask() {
  if (ItemIndex() < 0) SetItemIndex(Count() - 1);
  int i = ItemIndex();
  if (i < 0 || i >= static_cast<int>(masks_.size())) return "*.*";
  return masks_[static_cast<size_t>(i)];
}

void TOrvex_FilterCombo::Change() {
  if (fileList_) fileList_->SetMask(GetMask());
  TComboBox::Change();
}
