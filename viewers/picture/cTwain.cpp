#include "viewers/picture/cTwain.h"

#include "framework/Application.h"
#include "framework/Text.h"

std::string TTwain::LibraryName = "TWAIN_32.DLL";

TTwain::TTwain(TComponent* owner) : TComponent(owner) {}

TTwain::~TTwain() {
  if (DibHandle) GlobalFree(DibHandle);
  if (Module) FreeLibrary(Module);
}

bool TTwain::LoadSourceManager() {
  if (LoadStatus != 0) return LoadStatus > 0;
  LoadStatus = -1;
  Module = LoadLibraryW(Utf8ToWide(LibraryName).c_str());
  if (!Module) return false;
  Entry = reinterpret_cast<TDsmEntry>(reinterpret_cast<void*>(GetProcAddress(Module, "DSM_Entry")));
  if (!Entry) {
    FreeLibrary(Module);
    Module = nullptr;
    State = 1;
    return false;
  }
  State = 2;
  LoadStatus = 1;
  return true;
}

bool TTwain::SourceManagerAvailable() { return LoadSourceManager(); }

uint16_t TTwain::Call(TW_IDENTITY* dest, uint32_t group, uint16_t type, uint16_t message,
                      void* data) {
  if (State < 2 || !Entry) return LastResult = TWRC_FAILURE;
  if (!AppIdentity) AppIdentity = std::make_unique<TW_IDENTITY>(ProgramIdentity("Halvorn Softworks"));
  LastResult = Entry(AppIdentity.get(), dest, group, type, message, data);
  return LastResult;
}

bool TTwain::Step(TTwainOp op, TW_IDENTITY* dest, uint32_t group, uint16_t type,
                  uint16_t message, void* data) {
  const int next = TwainNextState(op, State);
  if (next < 0) return false;
  if (Call(dest, group, type, message, data) != TWRC_SUCCESS) return false;
  State = next;
  return true;
}

bool TTwain::OpenManager(HWND window) {
  window_ = window;
  HWND parent = window;
  return Step(toOpenManager, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent);
}

void TTwain::CloseManager() {
  HWND parent = window_;
  Step(toCloseManager, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent);
}

void TTwain::EnumerateSources(HWND window) {
  Sources.clear();
  if (!LoadSourceManager()) return;
  const bool opened = State == 2 && OpenManager(window);
  if (State < 3) return;
  TW_IDENTITY id{};
  for (uint16_t msg = MSG_GETFIRST;
       Call(nullptr, DG_CONTROL, DAT_IDENTITY, msg, &id) == TWRC_SUCCESS; msg = MSG_GETNEXT) {
    Sources.push_back(std::make_unique<tIdentityObject>(id));
    id = TW_IDENTITY{};
  }
  if (opened) CloseManager();
}

void TTwain::Acquire(HWND window, int sourceIndex, int count) {
  if (!LoadSourceManager()) return;
  if (sourceIndex < 0 || sourceIndex >= static_cast<int>(Sources.size())) return;
  if (State == 2) OpenManager(window);
  if (State == 3) {
    SourceIdentity = &Sources[static_cast<size_t>(sourceIndex)]->Identity;
    Step(toOpenSource, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, SourceIdentity);
  }
  if (State == 4) {
    // The transfer count travels in a one-value container in global memory.
    HGLOBAL container = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
    if (container) {
      auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(container));
      one->ItemType = TWTY_INT16;
      one->Item = static_cast<uint32_t>(count);
      GlobalUnlock(container);
      TW_CAPABILITY cap{CAP_XFERCOUNT, TWON_ONEVALUE, container};
      Step(toSetCount, SourceIdentity, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
      GlobalFree(container);
    }
    TW_USERINTERFACE ui{1, 0, window};
    Step(toEnable, SourceIdentity, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
  }
  // The source works through our message loop: every message passes the source first. The
  // loop blocks in GetMessage between messages, so waiting for the user costs nothing.
  MSG msg;
  while (State >= 5 && !Application.Terminated) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (ProcessEvent(msg)) continue;
    if (Application.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (State >= 5) DisableSource();
  if (State == 4) Step(toCloseSource, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, SourceIdentity);
  if (State == 3) CloseManager();
}

bool TTwain::ProcessEvent(MSG& msg) {
  if (State < 5) return false;
  TW_EVENT event{&msg, MSG_NULL};
  const bool handled =
      Call(SourceIdentity, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) == TWRC_DSEVENT;
  switch (event.TWMessage) {
    case MSG_XFERREADY:
      State = 6;
      Transfer();
      break;
    case MSG_CLOSEDSREQ:
    case MSG_CLOSEDSOK:
      DisableSource();
      break;
  }
  return handled;
}

void TTwain::DisableSource() {
  TW_USERINTERFACE ui{0, 0, window_};
  Step(toDisable, SourceIdentity, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
  // A source that will not be disabled still counts as done: the loop must end.
  if (State > 4) State = 4;
}

void TTwain::Transfer() {
  while (State == 6) {
    HGLOBAL handle = nullptr;
    const uint16_t rc = Call(SourceIdentity, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
    if (rc == TWRC_XFERDONE) {
      State = 7;
      DibHandle = handle;
      TakeDib();
    } else if (rc == TWRC_CANCEL) {
      State = 7;
      if (handle) GlobalFree(handle);
    }
    TW_PENDINGXFERS pending{};
    if (State != 6) {
      if (Call(SourceIdentity, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) ==
          TWRC_SUCCESS)
        State = pending.Count ? 6 : 5;
      else
        State = 5;
    } else {
      Call(SourceIdentity, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
      State = 5;
    }
  }
  if (State == 5) DisableSource();
}

void TTwain::TakeDib() {
  // The copy is bounded by the block's real size, whatever its header claims.
  const size_t size = GlobalSize(DibHandle);
  const auto* bits = static_cast<const uint8_t*>(GlobalLock(DibHandle));
  std::vector<uint8_t> bmp;
  const bool ok = bits && DibToBmpFile(bits, size, bmp);
  if (bits) GlobalUnlock(DibHandle);
  GlobalFree(DibHandle);
  DibHandle = nullptr;
  if (!ok) {
    ++RefusedImages;
    return;
  }
  Picture.Clear();
  Picture.Write(bmp.data(), static_cast<int32_t>(bmp.size()));
  Picture.Seek(0, soFromBeginning);
  SourceName = TwainString(SourceIdentity->ProductName);
  if (OnAcquire) OnAcquire(*this);
}
