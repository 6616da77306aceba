// The zip window: the entries of an archive in a report list; extracts all of them into a
// folder the user picks, or opens one by extracting it and handing it to the viewers.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "framework/Form.h"
#include "viewers/zip/Unzip.h"

class TButton;
class TListView;
class TPanel;
class TProgress;
class TStatusBar;
class tBuffStream;

class TZipForm : public TForm {
 public:
  explicit TZipForm(TComponent* owner);
  TPanel* pnlTop = nullptr;
  TButton* btnExit = nullptr;
  TButton* btnAbout = nullptr;
  TButton* btnExtract = nullptr;
  TListView* List = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  TProgress* Progress = nullptr;

  // Lists the archive (the opener does this once).
  void ListArchive(const std::string& fileName);
  // Extracts every entry into the folder (the button asks for it first).
  void ExtractAllTo(const std::string& folder);
  // Extracts the row's entry for viewing and offers it to the viewers; the extracted path, or
  // '' when nothing was extracted.
  std::string OpenEntry(int row);

  static void AddEntry(void* form, int32_t value, TZipEntryInfo* info);
  static void ExtractProgress(void* form, int32_t value, TZipEntryInfo* info);

 protected:
  void Resize() override;

 private:
  void FormCreate();
  void Arrange();
  void btnExtractClick();
  void ListDblClick();
  std::string FileName;
  int32_t ExtractedCount = 0;
  int64_t PackedTotal = 0;
  int64_t SizeTotal = 0;
  int64_t progressPosition_ = 0;
};

// Takes the stream (and frees it) when the file begins with "PK" 3 4; false otherwise.
bool OpenZipWindow(TForm* owner, std::unique_ptr<tBuffStream>& stream);
