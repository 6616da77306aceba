// Batch convert without a window: the size rule and the run that converts one file per step,
// so the progress window can keep the program responsive between steps. The run keeps its own
// copy of the file list (the file list control hands out a list that its next request replaces)
// and goes on past a file that fails, counting it.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "imaging/uGraphic.h"
#include "viewers/picture/uSaveOptions.h"

// Whether a picture of the display size must be fitted to the batch size.
bool BatchNeedResize(int batchSize, int width, int height, int batchWidth, int batchHeight);
// The output size of a picture under the options' batch size rule.
void BatchOutputSize(const TSaveOptions& options, int width, int height, int& outWidth,
                     int& outHeight);

struct tBatchSaveOutcome {
  bool Ok = false;
  std::string FileName;  // the file written
  std::string Error;
};
// Saves the decoded picture of decoder as options say (Width and Height are the output size),
// into a new file beside the source named after it.
using tBatchSaver = std::function<tBatchSaveOutcome(tGraphicID& decoder, const TSaveOptions& options)>;
// The saver the run uses when none is given.
tBatchSaveOutcome BatchSaveWithWriters(tGraphicID& decoder, const TSaveOptions& options);
// The program's saver: the save pipeline with no adjustments, the whole picture.
tBatchSaveOutcome BatchSaveThroughPipeline(tGraphicID& decoder, const TSaveOptions& options);
void SetDefaultBatchSaver(tBatchSaver saver);  // empty: BatchSaveWithWriters

class tBatchConvertRun {
 public:
  // files: item 0 the folder, items 1..n the names (copied).
  tBatchConvertRun(const std::vector<std::string>& files, const TSaveOptions& options,
                   std::string comments, tBatchSaver saver = {});

  int Index = 1;      // next item to convert
  int LastIndex = 0;  // n
  std::string CurrentPath;
  std::string CurrentName;

  bool Finished() const { return Index > LastIndex; }
  // The name the next step converts ('' when finished).
  std::string NextName() const {
    return Finished() ? std::string() : files_[static_cast<size_t>(Index)];
  }
  // Converts the file at Index and moves on; false when there was nothing left.
  bool Step();

  int Converted = 0;
  int Skipped = 0;  // not pictures
  int Failed = 0;
  std::vector<std::string> Failures;  // "name: why"
  std::vector<std::string> Outputs;
  // The closing report: how many converted, skipped and failed, and the failures.
  std::string ReportText() const;

 private:
  std::vector<std::string> files_;
  TSaveOptions options_;
  std::string comments_;
  tBatchSaver saver_;
};
