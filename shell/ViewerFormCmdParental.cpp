// The parental level: what each level takes away from the window.
#include "shell/ViewerForm.h"
#include "shell/uCommandRules.h"

void TViewerForm::ApplyParentalLevel() {
  const tParentalControls c = ParentalControls(ParentalLevel, btn_h->Down());
  Orvex_FileList1->SetDragMode(c.DragFiles ? dmAutomatic : dmManual);
  Orvex_DirList1->SetDragMode(FileCommandsAllowed(ParentalLevel) ? dmAutomatic : dmManual);
  if (c.SwitchOffHidden) {
    btn_h->SetDown(false);
    SortButtonClick(btn_h);
  }
  btn_h->SetEnabled(c.HiddenButton);
  btn_h->SetVisible(c.HiddenButton);
  if (c.NotebookToFirstPage) nbookLeftTop->SetPageIndex(0);
  HeaderControl1->SetSectionText(0, c.SectionZeroText);
  if (c.SetCloneFolder && ViewerForm) ViewerForm->CloneFolder = Orvex_DirList1->Directory();
  btnGallery->SetVisible(c.GalleryButton);
  btnGallery->SetEnabled(c.GalleryButton && GalleryAvailable());
  Orvex_DriveCombo1->SetEnabled(c.DriveCombo);
  btnClone->SetEnabled(c.CloneButton);
  Orvex_DirList1->SetEnabled(c.FolderList);
}
