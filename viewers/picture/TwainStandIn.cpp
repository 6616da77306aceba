// A TWAIN source manager with sources of its own, for the tests: built as "TwainStandIn.dll"
// beside the test program, which loads it by its path through the code that loads the system's
// "TWAIN_32.DLL" (not that name: Wine loads its built-in manager for any file so named). Debian
// builds Wine without its SANE source, so no scanner can be reached here; Wine's camera source
// finds no camera.
// The source shows no window: enabling it posts a message to the parent that, passed back
// through the event call, says a transfer is ready. The picture it delivers is chosen by the
// environment variable TAVIS_TWAIN_DIB: "24" (default), "8", "16bf" (bit fields), "short" (a
// block shorter than its header says) or "cancel" (the user cancels), and TAVIS_TWAIN_SOURCES
// gives the number of sources (default 1).
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "viewers/picture/uTwain.h"

namespace {
UINT XferMessage() {
  static UINT message = RegisterWindowMessageW(L"TavisTwainStandInReady");
  return message;
}
HWND parent = nullptr;
int nextSource = 0;

std::string Env(const char* name, const char* fallback) {
  char buffer[64] = {};
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return n && n < sizeof buffer ? std::string(buffer, n) : std::string(fallback);
}

int SourceCount() { return std::atoi(Env("TAVIS_TWAIN_SOURCES", "1").c_str()); }

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The test picture: 37 x 23, pixel (x, y) of colour (x * 7, y * 11, x + y), bottom-up rows.
HGLOBAL MakeDib(const std::string& kind) {
  const int w = 37, h = 23;
  int bits = kind == "8" ? 8 : kind == "16bf" ? 16 : 24;
  const int palette = bits == 8 ? 256 : 0;
  const int masks = kind == "16bf" ? 12 : 0;
  const int row = ((w * bits / 8) + 3) / 4 * 4;
  const size_t full = 40 + masks + palette * 4 + static_cast<size_t>(row) * h;
  const size_t size = kind == "short" ? full - static_cast<size_t>(row) * 5 : full;
  HGLOBAL g = GlobalAlloc(GHND, size);
  auto* p = static_cast<uint8_t*>(GlobalLock(g));
  Put32(p, 40);
  Put32(p + 4, w);
  Put32(p + 8, h);
  p[12] = 1;
  p[14] = static_cast<uint8_t>(bits);
  Put32(p + 16, masks ? 3 : 0);
  uint8_t* q = p + 40;
  if (masks) {
    Put32(q, 0xF800);
    Put32(q + 4, 0x07E0);
    Put32(q + 8, 0x001F);
    q += 12;
  }
  for (int i = 0; i < palette; ++i) {
    q[0] = static_cast<uint8_t>(i);
    q[1] = static_cast<uint8_t>(255 - i);
    q[2] = static_cast<uint8_t>(i / 2);
    q += 4;
  }
  for (int y = 0; y < h && q + row <= p + size; ++y, q += row) {
    const int fy = h - 1 - y;
    for (int x = 0; x < w; ++x) {
      const uint8_t r = static_cast<uint8_t>(x * 7), gr = static_cast<uint8_t>(fy * 11),
                    b = static_cast<uint8_t>(x + fy);
      if (bits == 24) {
        q[x * 3] = b;
        q[x * 3 + 1] = gr;
        q[x * 3 + 2] = r;
      } else if (bits == 8) {
        q[x] = static_cast<uint8_t>(x + fy * w);
      } else {
        const uint16_t v = static_cast<uint16_t>(((r >> 3) << 11) | ((gr >> 2) << 5) | (b >> 3));
        q[x * 2] = static_cast<uint8_t>(v);
        q[x * 2 + 1] = static_cast<uint8_t>(v >> 8);
      }
    }
  }
  GlobalUnlock(g);
  return g;
}

void SourceIdentity(int n, TW_IDENTITY& id) {
  std::memset(&id, 0, sizeof id);
  id.Id = static_cast<uint32_t>(n + 1);
  id.ProtocolMajor = 1;
  id.ProtocolMinor = 9;
  id.SupportedGroups = DG_CONTROL | DG_IMAGE;
  SetTwainString(id.Manufacturer, "Tavis tests");
  SetTwainString(id.ProductFamily, "Stand-in");
  SetTwainString(id.ProductName, "Stand-in scanner " + std::to_string(n + 1));
}
}  // namespace

extern "C" __declspec(dllexport) uint16_t WINAPI DSM_Entry(TW_IDENTITY* origin, TW_IDENTITY* dest,
                                                         uint32_t group, uint16_t type,
                                                         uint16_t message, void* data) {
  if (!origin) return TWRC_FAILURE;
  if (group == DG_CONTROL && type == DAT_PARENT) return TWRC_SUCCESS;
  if (group == DG_CONTROL && type == DAT_IDENTITY) {
    auto* id = static_cast<TW_IDENTITY*>(data);
    switch (message) {
      case MSG_GETFIRST:
        nextSource = 0;
        [[fallthrough]];
      case MSG_GETNEXT:
        if (nextSource >= SourceCount()) return TWRC_ENDOFLIST;
        SourceIdentity(nextSource++, *id);
        return TWRC_SUCCESS;
      case MSG_OPENDS:
      case MSG_CLOSEDS:
        return TWRC_SUCCESS;
    }
    return TWRC_FAILURE;
  }
  if (!dest) return TWRC_FAILURE;
  if (group == DG_CONTROL && type == DAT_CAPABILITY) return TWRC_SUCCESS;
  if (group == DG_CONTROL && type == DAT_USERINTERFACE) {
    if (message == MSG_ENABLEDS) {
      parent = static_cast<HWND>(static_cast<TW_USERINTERFACE*>(data)->hParent);
      PostMessageW(parent, XferMessage(), 0, 0);
    }
    return TWRC_SUCCESS;
  }
  if (group == DG_CONTROL && type == DAT_EVENT && message == MSG_PROCESSEVENT) {
    auto* event = static_cast<TW_EVENT*>(data);
    auto* msg = static_cast<MSG*>(event->pEvent);
    if (msg->message != XferMessage()) {
      event->TWMessage = MSG_NULL;
      return TWRC_NOTDSEVENT;
    }
    event->TWMessage = MSG_XFERREADY;
    return TWRC_DSEVENT;
  }
  if (group == DG_IMAGE && type == DAT_IMAGENATIVEXFER && message == MSG_GET) {
    const std::string kind = Env("TAVIS_TWAIN_DIB", "24");
    if (kind == "cancel") return TWRC_CANCEL;
    *static_cast<HGLOBAL*>(data) = MakeDib(kind);
    return TWRC_XFERDONE;
  }
  if (group == DG_CONTROL && type == DAT_PENDINGXFERS) {
    static_cast<TW_PENDINGXFERS*>(data)->Count = 0;
    return TWRC_SUCCESS;
  }
  return TWRC_FAILURE;
}
