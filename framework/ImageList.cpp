#include "framework/ImageList.h"

#include "framework/Bitmap.h"

TImageList::TImageList(int width, int height)
    : handle_(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4)),
      width_(width),
      height_(height) {}

TImageList::~TImageList() {
  if (handle_) ImageList_Destroy(handle_);
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

int TImageList::Add(TBitmap& image, TBitmap* mask) {
  if (!handle_ || image.Empty()) return -1;
  image.Dormant();
  if (mask) mask->Dormant();
  return ImageList_Add(handle_, image.Handle(), mask ? mask->Handle() : nullptr);
}

void TImageList::Clear() {
  if (handle_) ImageList_RemoveAll(handle_);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) {
  if (handle_ && index >= 0 && index < Count())
    ImageList_Draw(handle_, index, canvas.Handle(), x, y, ILD_NORMAL);
}
