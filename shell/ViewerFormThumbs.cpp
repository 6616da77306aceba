// The main window's thumbnails: the database of the first window, the folder's view bound to
// the file list, and the message chain (uThumbPipeline) that fills the list step by step.
#include <windows.h>

#include <algorithm>

#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "framework/Application.h"
#include "imaging/uGraphic.h"
#include "imaging/uMemBmpWin.h"
#include "shell/ViewerForm.h"

// The file list's side of a folder view: its images, the "name=index" lines that find an
// entry's image again after a re-read, and the captions by image.
class TThumbListLink : public tThumbListHost {
 public:
  TThumbListLink(TOrvex_FileList& list, int box) : list_(list), images_(box, box) { Attach(); }
  ~TThumbListLink() override { Detach(); }

  void Attach() {
    list_.ThumbImages = &images_;
    list_.ThumbNames = &lines_;
    list_.ThumbCaptions = &captions_;
  }
  void Detach() {
    if (list_.ThumbImages != &images_) return;
    list_.ThumbImages = nullptr;
    list_.ThumbNames = nullptr;
    list_.ThumbCaptions = nullptr;
  }
  // A new folder: the images of the last one go.
  void Clear() {
    images_.Clear();
    lines_.clear();
    captions_.clear();
  }
  void CaptionAdded(const std::string& caption) { captions_.push_back(caption); }
  // A renamed file finds its image again under the new name when the list is re-read.
  void Rename(const std::string& oldName, const std::string& newName) {
    for (std::string& line : lines_) {
      const size_t eq = line.find('=');
      if (eq != std::string::npos && Platform().CompareTextLocale(line.substr(0, eq), oldName) == 0)
        line = newName + line.substr(eq);
    }
  }

  int AddImage(const tMemBmp& image, const tMemBmp& mask) override {
    TBitmap picture, bits;
    picture.Assign(AssignToBitmap(const_cast<tMemBmp&>(image)));
    bits.Assign(AssignToBitmap(const_cast<tMemBmp&>(mask)));
    lastIndex_ = images_.Add(picture, &bits);
    if (lastIndex_ < 0) {
      // Keep image and caption indexes in step even when the system refused the image.
      lastIndex_ = images_.Count();
      TBitmap blank;
      blank.SetSize(images_.Width(), images_.Height());
      images_.Add(blank);
    }
    return lastIndex_;
  }
  TSrchRec* FindEntry(const std::string& name) override {
    lines_.push_back(name + "=" + std::to_string(lastIndex_));
    const int i = list_.IndexOfName(name);
    return i >= 0 ? list_.Entry(i) : nullptr;
  }
  void EntryChanged(TSrchRec& entry) override {
    for (int i = 0; i < list_.Count(); ++i)
      if (list_.Entry(i) == &entry) list_.RedrawItem(i);
  }
  TSrchRec* CurrentEntry() override { return list_.Entry(list_.ItemIndex()); }

 private:
  TOrvex_FileList& list_;
  TImageList images_;
  std::vector<std::string> lines_, captions_;
  int lastIndex_ = -1;
};

// The window and its view as the message chain sees them.
class TViewerFormThumbs : public tThumbPipelineHost, public tThumbPipelineView {
 public:
  explicit TViewerFormThumbs(TViewerForm& form) : form_(form) {}

  // Host.
  void Post(unsigned message, uintptr_t pass) override { form_.Post(message, pass); }
  bool IsClosing() override { return form_.IsClosing(); }
  void ProcessMessages() override { Application.ProcessMessages(); }
  bool MasterSwitch() override {
    tThumbnails* db = Database();
    return db && db->MasterSwitch != 0;
  }
  void SetStatus(const std::string& text) override { form_.StatusBar1->SetPanelText(3, text); }
  void EnableCommandButtons(bool enable) override { form_.EnableCommandButtons(enable); }
  void ThumbnailsChanged() override {
    NotifyThumbWindows(0);
    NotifyThumbToolsWindows(0);
  }
  void PlayEventSound(int event) override { form_.PlayEventSound(event); }
  void Stopwatch(bool start) override {
    if (!form_.Stopwatch) return;
    if (start)
      form_.Stopwatch->Start();
    else
      form_.Stopwatch->Stop();
  }
  int ListThumbnailCount() override { return form_.Orvex_FileList1->ThumbnailCount(); }
  bool IsFirstWindow() override { return ViewerForm == &form_; }
  uint32_t ActiveRecords() override {
    tThumbnails* db = Database();
    return db ? db->ActiveCount() : 0;
  }
  uint32_t TotalRecords() override {
    tThumbnails* db = Database();
    return db ? db->RecordCount() : 0;
  }
  bool RefreshFileList() override {
    TOrvex_FileList& list = *form_.Orvex_FileList1;
    // A removable disk read again re-reads the folder, whose change restarts the chain.
    if (list.DirList() && list.DirList()->Refresh()) return true;
    list.Reread();
    return false;
  }
  bool Interactive() override { return form_.Interactive; }
  void ResetView() override {
    const bool shown = form_.ShowsThumbnails();
    if (shown) form_.ToggleThumbnailDisplay();
    form_.MakeThumbView();
    if (shown) form_.ToggleThumbnailDisplay();
  }
  tThumbPipelineView* View() override { return form_.ThumbView ? this : nullptr; }

  // View.
  void OpenFolder() override {
    if (form_.ThumbLink) static_cast<TThumbListLink&>(*form_.ThumbLink).Clear();
    TOrvex_DriveCombo& drive = *form_.Orvex_DriveCombo1;
    form_.ThumbView->OpenFolder(form_.Orvex_FileList1->Directory(), drive.VolumeName(), 0,
                                drive.DriveType());
  }
  bool VolumeKnown() override { return form_.ThumbView->Volume != -1; }
  int StoredCount() override { return form_.ThumbView->ThumbnailCount(); }
  void ShowStoredThumbnail(int i) override { form_.ThumbView->ShowStoredThumbnail(i); }
  bool FolderOmitted() override {
    return form_.ThumbView->IsFolderOmitted(form_.ThumbView->Folder);
  }
  void BeginUpdate() override { form_.ThumbView->BeginUpdate(); }
  bool UpdateStep() override {
    return form_.ThumbView->UpdateStep(reinterpret_cast<intptr_t>(form_.Handle()));
  }
  void AddNewThumbnail() override { form_.ThumbView->AddNewThumbnail(); }
  int ItemCountAtBegin() override { return form_.ThumbView->ItemCountAtBegin; }
  int ItemCount() override { return form_.ThumbView->ItemCount; }

 private:
  tThumbnails* Database() { return ViewerForm ? ViewerForm->Thumbnails.get() : nullptr; }
  TViewerForm& form_;
};

void TViewerForm::CreateThumbnailPipeline() {
  thumbs_ = std::make_unique<TViewerFormThumbs>(*this);
  Thumbs = std::make_unique<tThumbPipeline>(*thumbs_);
}

void TViewerForm::OpenThumbnailDatabase() {
  try {
    Thumbnails = std::make_unique<tThumbnails>(ThumbnailFileName);
  } catch (const std::exception&) {
    // No database (a read-only folder, a damaged file): the window browses without thumbnails.
    Thumbnails.reset();
    return;
  }
  Thumbnails->MasterSwitch = btnMaster->Down() ? 1 : 0;
  Thumbnails->FileNameKeywords = FileNameKeywords ? 1 : 0;
}

void TViewerForm::MakeThumbView() {
  tThumbnails* db = ViewerForm ? ViewerForm->Thumbnails.get() : nullptr;
  ThumbView.reset();
  ThumbLink.reset();
  if (!db) return;
  auto link = std::make_unique<TThumbListLink>(*Orvex_FileList1, db->BoxSize());
  TThumbListLink* linked = link.get();
  ThumbLink = std::move(link);
  ThumbView = std::make_unique<tDirectoryView>(*db, linked);
  ThumbView->OnItemAdded = [this, linked] {
    if (ThumbView && !ThumbView->Captions().empty())
      linked->CaptionAdded(ThumbView->Captions().back());
    Thumbs->ShowThumbStatus();
  };
}

bool TViewerForm::IsClosing() const {
  return Closing || (ViewerForm && ViewerForm != this && ViewerForm->Closing);
}

int TViewerForm::ThumbState() const { return Thumbs ? Thumbs->ThumbState : 0; }

void TViewerForm::ShowThumbStatus() {
  if (Thumbs) Thumbs->ShowThumbStatus();
}

bool TViewerForm::ShowsThumbnails() const { return Orvex_FileList1->zThumb > 0; }

void TViewerForm::ToggleThumbnailDisplay() {
  TOrvex_FileList& list = *Orvex_FileList1;
  tThumbnails* db = ViewerForm ? ViewerForm->Thumbnails.get() : nullptr;
  list.zThumb = !ShowsThumbnails() && db ? db->BoxSize() : 0;
  list.SetShowGlyphs(list.zThumb == 0);
  list.MeasureRowHeight();
  list.Invalidate();
}

void TViewerForm::EnableCommandButtons(bool enable) {
  // Buttons whose command has no handler yet stay disabled: never a dead click.
  auto set = [](TButton* b, bool on) { b->SetEnabled(on && b->OnClick != nullptr); };
  if (!enable) {
    for (TButton* b : {btnClone, btnOptions, btnPaste, btnScripts, btnInspect, btnGallery,
                       btnAcquire})
      b->SetEnabled(false);
    btnMaster->SetEnabled(false);
    Application.ProcessMessages();
    return;
  }
  const int level = ViewerForm ? ViewerForm->ParentalLevel : ParentalLevel;
  set(btnClone, level < 3);
  set(btnOptions, true);
  set(btnScripts, true);
  set(btnInspect, Orvex_FileList1->ThumbnailCount() > 0);
  set(btnGallery, level < 2);
  // The acquire command lists the sources itself when it comes.
  set(btnAcquire, btnAcquire->Visible() && TwainLibraryPresent());
  btnMaster->SetEnabled(IsFirst());
}

void TViewerForm::RenameThumbnailEntry(const std::string& oldName, const std::string& newName) {
  if (!ThumbView) return;
  ThumbView->RenameFile(oldName, newName);
  if (ThumbLink) static_cast<TThumbListLink&>(*ThumbLink).Rename(oldName, newName);
}
