// Image lists of the common controls: equal-sized images, each with an optional mask, drawn by
// index.
#pragma once
#include <windows.h>

#include <commctrl.h>

class TBitmap;
class TCanvas;

class TImageList {
 public:
  TImageList(int width, int height);
  TImageList(const TImageList&) = delete;
  TImageList& operator=(const TImageList&) = delete;
  ~TImageList();

  HIMAGELIST Handle() const { return handle_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const;
  // Adds an image (and its mask, when given); returns its index or -1.
  int Add(TBitmap& image, TBitmap* mask = nullptr);
  void Clear();
  void Draw(TCanvas& canvas, int x, int y, int index);

 private:
  HIMAGELIST handle_;
  int width_, height_;
};
