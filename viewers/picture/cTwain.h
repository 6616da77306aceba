// The TWAIN acquisition component: loads the source manager library by name at run time, drives
// the TWAIN states through its one entry point, enumerates the sources and runs one acquisition
// with the source's own user interface, taking each image by native transfer and handing it on
// as a complete BMP file image.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uBuffStream.h"
#include "framework/Component.h"
#include "viewers/picture/uTwain.h"

using TDsmEntry = uint16_t(WINAPI*)(TW_IDENTITY* origin, TW_IDENTITY* dest, uint32_t group,
                                    uint16_t type, uint16_t message, void* data);

// One source's identity.
class tIdentityObject {
 public:
  explicit tIdentityObject(const TW_IDENTITY& identity) : Identity(identity) {}
  TW_IDENTITY Identity;
  std::string ProductName() const { return TwainString(Identity.ProductName); }
};

class TTwain : public TComponent {
 public:
  explicit TTwain(TComponent* owner);
  ~TTwain() override;

  // The library's name; tests may point it elsewhere before the first load.
  static std::string LibraryName;

  // Loads once; false when the library or its entry point is missing.
  bool LoadSourceManager();
  bool SourceManagerAvailable();
  // Enumerates the sources into Sources (opening and closing the manager around it when needed).
  void EnumerateSources(HWND window);
  // One acquisition from a source of Sources with a transfer count; the window is the parent of
  // the source's interface. Returns when the source is disabled again.
  void Acquire(HWND window, int sourceIndex, int count);

  HMODULE Module = nullptr;
  TDsmEntry Entry = nullptr;
  int32_t State = 1;
  int32_t LoadStatus = 0;
  uint16_t LastResult = 0;
  std::unique_ptr<TW_IDENTITY> AppIdentity;
  TW_IDENTITY* SourceIdentity = nullptr;
  std::vector<std::unique_ptr<tIdentityObject>> Sources;
  HGLOBAL DibHandle = nullptr;
  std::string SourceName;
  TMemoryStream Picture;
  std::function<void(TTwain& sender)> OnAcquire;
  // Images refused because their block was not a picture (too short, out of range).
  int RefusedImages = 0;

  // One window message through the source while it is enabled; true when the source used it.
  bool ProcessEvent(MSG& msg);

 private:
  uint16_t Call(TW_IDENTITY* dest, uint32_t group, uint16_t type, uint16_t message, void* data);
  bool Step(TTwainOp op, TW_IDENTITY* dest, uint32_t group, uint16_t type, uint16_t message,
            void* data);
  bool OpenManager(HWND window);
  void CloseManager();
  void Transfer();
  void TakeDib();
  void DisableSource();
  HWND window_ = nullptr;
};
