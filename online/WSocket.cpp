// The socket library is bound by name from "wsock32.dll": the program starts without it and
// loads it on the first socket call. Only its types come from the header.
#include <winsock2.h>

#include "online/WSocket.h"

#include <algorithm>
#include <cstring>

#include "framework/Application.h"
#include "framework/Text.h"

namespace {

struct tWinsock {
  HMODULE module = nullptr;
  int (WINAPI* WSAStartup)(WORD, LPWSADATA) = nullptr;
  int (WINAPI* WSACleanup)() = nullptr;
  void (WINAPI* WSASetLastError)(int) = nullptr;
  int (WINAPI* WSAGetLastError)() = nullptr;
  int (WINAPI* WSACancelAsyncRequest)(HANDLE) = nullptr;
  HANDLE (WINAPI* WSAAsyncGetHostByName)(HWND, u_int, const char*, char*, int) = nullptr;
  HANDLE (WINAPI* WSAAsyncGetHostByAddr)(HWND, u_int, const char*, int, int, char*, int) = nullptr;
  int (WINAPI* WSAAsyncSelect)(SOCKET, HWND, u_int, long) = nullptr;
  struct servent*(WINAPI* getservbyname)(const char*, const char*) = nullptr;
  struct protoent*(WINAPI* getprotobyname)(const char*) = nullptr;
  struct hostent*(WINAPI* gethostbyname)(const char*) = nullptr;
  int (WINAPI* gethostname)(char*, int) = nullptr;
  SOCKET (WINAPI* socket)(int, int, int) = nullptr;
  int (WINAPI* shutdown)(SOCKET, int) = nullptr;
  int (WINAPI* setsockopt)(SOCKET, int, int, const char*, int) = nullptr;
  int (WINAPI* sendto)(SOCKET, const char*, int, int, const struct sockaddr*, int) = nullptr;
  int (WINAPI* send)(SOCKET, const char*, int, int) = nullptr;
  u_short (WINAPI* ntohs)(u_short) = nullptr;
  int (WINAPI* listen)(SOCKET, int) = nullptr;
  int (WINAPI* ioctlsocket)(SOCKET, long, u_long*) = nullptr;
  char*(WINAPI* inet_ntoa)(struct in_addr) = nullptr;
  unsigned long (WINAPI* inet_addr)(const char*) = nullptr;
  u_short (WINAPI* htons)(u_short) = nullptr;
  int (WINAPI* getsockname)(SOCKET, struct sockaddr*, int*) = nullptr;
  int (WINAPI* getpeername)(SOCKET, struct sockaddr*, int*) = nullptr;
  int (WINAPI* connect)(SOCKET, const struct sockaddr*, int) = nullptr;
  int (WINAPI* closesocket)(SOCKET) = nullptr;
  int (WINAPI* bind)(SOCKET, const struct sockaddr*, int) = nullptr;
  SOCKET (WINAPI* accept)(SOCKET, struct sockaddr*, int*) = nullptr;
  int (WINAPI* recv)(SOCKET, char*, int, int) = nullptr;
  int (WINAPI* recvfrom)(SOCKET, char*, int, int, struct sockaddr*, int*) = nullptr;
};

tWinsock ws;
int liveSockets = 0;
const char kLibrary[] = "wsock32.dll";

template <typename T>
void Bind(T& slot, const char* name) {
  if (slot) return;
  FARPROC p = GetProcAddress(ws.module, name);
  if (!p)
    throw ESocketException(std::string("Procedure ") + name + " not found in " + kLibrary +
                           " Error #" + std::to_string(GetLastError()));
  slot = reinterpret_cast<T>(reinterpret_cast<void*>(p));
}

tWinsock& Winsock() {
  if (!ws.module) {
    ws.module = LoadLibraryA(kLibrary);
    if (!ws.module)
      throw ESocketException(std::string("Unable to load ") + kLibrary + " Error #" +
                             std::to_string(GetLastError()));
    Bind(ws.WSAStartup, "WSAStartup");
    WSADATA data;
    const int rc = ws.WSAStartup(MAKEWORD(1, 1), &data);
    if (rc != 0) {
      FreeLibrary(ws.module);
      ws = tWinsock{};
      throw ESocketException(std::string(kLibrary) + ": WSAStartup error #" + std::to_string(rc));
    }
#define BIND(name) Bind(ws.name, #name)
    BIND(WSACleanup); BIND(WSASetLastError); BIND(WSAGetLastError); BIND(WSACancelAsyncRequest);
    BIND(WSAAsyncGetHostByName); BIND(WSAAsyncGetHostByAddr); BIND(WSAAsyncSelect);
    BIND(getservbyname); BIND(getprotobyname); BIND(gethostbyname); BIND(gethostname);
    BIND(socket); BIND(shutdown); BIND(setsockopt); BIND(sendto); BIND(send); BIND(ntohs);
    BIND(listen); BIND(ioctlsocket); BIND(inet_ntoa); BIND(inet_addr); BIND(htons);
    BIND(getsockname); BIND(getpeername); BIND(connect); BIND(closesocket); BIND(bind);
    BIND(accept); BIND(recv); BIND(recvfrom);
#undef BIND
  }
  return ws;
}

void ReleaseWinsock() {
  if (!ws.module) return;
  if (ws.WSACleanup) ws.WSACleanup();
  FreeLibrary(ws.module);
  ws = tWinsock{};
}

// Releases the library when the program ends with sockets still alive.
struct tUnitEnd {
  ~tUnitEnd() { ReleaseWinsock(); }
} unitEnd;

const wchar_t kWindowClass[] = L"XSocketWindowClass";

std::string DottedText(uint32_t networkAddress) {
  const uint8_t* b = reinterpret_cast<const uint8_t*>(&networkAddress);
  return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
         std::to_string(b[3]);
}

constexpr SOCKET kNoSocket = INVALID_SOCKET;

}  // namespace

// --- TCustomWSocket ---

TCustomWSocket::TCustomWSocket(TComponent* owner) : TComponent(owner) {
  ++liveSockets;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (!GetClassInfoW(instance, kWindowClass, &wc)) {
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    wc.cbWndExtra = sizeof(LONG_PTR);
    RegisterClassW(&wc);
  }
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, instance, nullptr);
  if (window_) SetWindowLongPtrW(window_, 0, reinterpret_cast<LONG_PTR>(this));
  socket_ = kNoSocket;
  ResetDefaults();
}

TCustomWSocket::~TCustomWSocket() {
  try {
    CancelDnsLookup();
    if (socket_ != kNoSocket) Disconnect();
  } catch (...) {
  }
  DeleteBufferedData();
  if (window_) {
    SetWindowLongPtrW(window_, 0, 0);
    DestroyWindow(window_);
  }
  if (--liveSockets < 1) {
    ReleaseWinsock();
    liveSockets = 0;
  }
}

int TCustomWSocket::LiveCount() { return liveSockets; }
bool TCustomWSocket::LibraryLoaded() { return ws.module != nullptr; }

LRESULT CALLBACK TCustomWSocket::WindowProc(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
  auto* self = reinterpret_cast<TCustomWSocket*>(GetWindowLongPtrW(window, 0));
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  try {
    return self->WndProc(message, wparam, lparam);
  } catch (const std::exception& e) {
    if (self->FireBgException(e)) {
      try {
        self->Close();
      } catch (...) {
      }
    }
  }
  return 0;
}

LRESULT TCustomWSocket::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ASYNCSELECT:
      DoSocketEvent(wparam, WSAGETSELECTEVENT(lparam), WSAGETSELECTERROR(lparam));
      return 0;
    case WM_ASYNCGETHOSTBYNAME:
    case WM_ASYNCGETHOSTBYADDR:
      LookupDone(wparam, lparam, message == WM_ASYNCGETHOSTBYNAME);
      return 0;
    case WM_CLOSE_DELAYED:
      Close();
      return 0;
    case WM_WSOCKET_RELEASE:
      delete this;
      return 0;
    case WM_TRIGGER_EXCEPTION:
      throw ESocketException("Test exception in WSocket");
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

bool TCustomWSocket::FireBgException(const std::exception& e) {
  bool canClose = true;
  if (OnBgException) OnBgException(this, e, canClose);
  return canClose;
}

void TCustomWSocket::ResetDefaults() {
  protocol_ = 6;
  datagram_ = false;
  proto_ = "tcp";
  localPort_ = "0";
  localAddr_ = "0.0.0.0";
  LingerOnOff = wsLingerOn;
  LingerTimeout = 0;
  FlushTimeout = 60;
  ReadCount = 0;
  socket_ = kNoSocket;
  state_ = wsClosed;  // stored without the change event
  allSent_ = true;
  paused_ = false;
  closeFired_ = false;
  resolved_ = false;
  addrSet_ = false;
  portSet_ = false;
  connectAddress_ = 0;
  connectPort_ = 0;
}

void TCustomWSocket::SetAddr(const std::string& value) {
  if (state_ != wsClosed) {
    ReportError("Cannot change Addr if not closed");
    return;
  }
  addr_ = TrimBlanks(value);
  addrSet_ = !addr_.empty();
  resolved_ = false;
}

void TCustomWSocket::SetPort(const std::string& value) {
  if (state_ != wsClosed) {
    ReportError("Cannot change Port if not closed");
    return;
  }
  port_ = TrimBlanks(value);
  portSet_ = !port_.empty();
  resolved_ = false;
}

void TCustomWSocket::SetProto(const std::string& value) {
  if (state_ != wsClosed) {
    ReportError("Cannot change Proto if not closed");
    return;
  }
  proto_ = TrimBlanks(value);
  resolved_ = false;
}

void TCustomWSocket::SetLocalAddr(const std::string& value) {
  if (state_ != wsClosed) {
    ReportError("Cannot change LocalAddr if not closed");
    return;
  }
  const std::string v = value.empty() ? "0.0.0.0" : value;
  if (!IsDottedAddress(v)) {
    ReportError("SetLocalAddr(): Invalid IP address");
    return;
  }
  localAddr_ = TrimBlanks(v);
}

void TCustomWSocket::SetLocalPort(const std::string& value) {
  if (state_ != wsClosed) {
    ReportError("Cannot change LocalPort if not closed");
    return;
  }
  localPort_ = value;
}

void TCustomWSocket::SetSendFlags(int flags) {
  if (flags != wsSendNormal && flags != wsSendUrgent) {
    ReportError("Invalid SendFlags");
    return;
  }
  sendFlags_ = flags;
}

void TCustomWSocket::ReportError(const std::string& message) {
  if (OnError) {
    FireError();
  } else {
    throw ESocketException(message);
  }
}

void TCustomWSocket::FireError() {
  if (OnError) OnError(this);
}

void TCustomWSocket::RaiseSocketError(const std::string& function, int error) {
  LastError = error;
  throw ESocketException(WSocketErrorText(error, function));
}

void TCustomWSocket::SocketError(const std::string& function) {
  const int error = Winsock().WSAGetLastError();
  LastError = error;
  if ((error == WSAECONNRESET || error == WSAENOTCONN) && socket_ != kNoSocket) {
    Winsock().closesocket(socket_);
    socket_ = kNoSocket;
    if (state_ != wsClosed) ChangeState(wsClosed);
  }
  ReportError(WSocketErrorText(error, function));
}

void TCustomWSocket::ChangeState(TSocketState newState) {
  const TSocketState old = state_;
  state_ = newState;
  FireChangeState(old, newState);
}

void TCustomWSocket::FireChangeState(TSocketState oldState, TSocketState newState) {
  if (OnChangeState) OnChangeState(this, oldState, newState);
}

uint32_t TCustomWSocket::WSocketResolveHost(const std::string& text) {
  if (text.empty() || text.size() > 256)
    throw ESocketException("WSocketResolveHost: '" + text + "' Invalid Hostname.");
  tWinsock& w = Winsock();
  if (IsDottedAddress(text)) {
    const std::string t = TrimBlanks(text);
    const unsigned long a = w.inet_addr(t.c_str());
    if (a == INADDR_NONE && t != "255.255.255.255")
      throw ESocketException("WSocketResolveHost: '" + text + "' Invalid IP address.");
    return static_cast<uint32_t>(a);
  }
  const std::string name = TrimBlanks(text);
  hostent* h = w.gethostbyname(name.c_str());
  if (!h || !h->h_addr_list || !h->h_addr_list[0])
    throw ESocketException("WSocketResolveHost: Cannot convert host address '" + text +
                           "', Error #" + std::to_string(w.WSAGetLastError()));
  uint32_t a = 0;
  std::memcpy(&a, h->h_addr_list[0], 4);
  return a;
}

uint16_t TCustomWSocket::WSocketResolvePort(const std::string& port, const std::string& proto) {
  if (port.empty() || port.size() >= 32) throw ESocketException("WSocketResolvePort: Invalid Port.");
  if (proto.empty() || proto.size() >= 32)
    throw ESocketException("WSocketResolvePort: Invalid Proto.");
  if (port[0] >= '0' && port[0] <= '9') {
    try {
      return static_cast<uint16_t>(LeadingNumber(port, true));
    } catch (const std::range_error& e) {
      throw ESocketException(e.what());
    }
  }
  tWinsock& w = Winsock();
  const std::string p = TrimBlanks(port), q = TrimBlanks(proto);
  servent* s = w.getservbyname(p.c_str(), q.empty() ? nullptr : q.c_str());
  if (!s)
    throw ESocketException("WSocketResolvePort: Cannot convert port '" + port + "', Error #" +
                           std::to_string(w.WSAGetLastError()));
  return w.ntohs(static_cast<u_short>(s->s_port));
}

int TCustomWSocket::WSocketResolveProto(const std::string& text) {
  if (text.empty() || text.size() >= 32)
    throw ESocketException("WSocketResolveProto: Invalid Protocol.");
  const std::string t = TrimBlanks(text);
  if (!t.empty() && t[0] >= '0' && t[0] <= '9') {
    try {
      return static_cast<int>(LeadingNumber(t, false));
    } catch (const std::range_error& e) {
      throw ESocketException(e.what());
    }
  }
  tWinsock& w = Winsock();
  protoent* p = w.getprotobyname(t.c_str());
  if (!p)
    throw ESocketException("WSocketResolveProto: Cannot convert protocol '" + text +
                           "', Error #" + std::to_string(w.WSAGetLastError()));
  return p->p_proto;
}

void TCustomWSocket::Connect() {
  if (socket_ != kNoSocket) {
    ReportError("Connect: Socket already in use");
    return;
  }
  if (!portSet_) {
    ReportError("Connect: No Port Specified");
    return;
  }
  if (!addrSet_) {
    ReportError("Connect: No IP Address Specified");
    return;
  }
  if (proto_.empty()) {
    ReportError("Connect: No Protocol Specified");
    return;
  }
  if (!resolved_) {
    try {
      protocol_ = WSocketResolveProto(proto_);
      datagram_ = protocol_ == IPPROTO_UDP;
      connectPort_ = WSocketResolvePort(port_, proto_);
      connectAddress_ = WSocketResolveHost(addr_);
      resolved_ = true;
    } catch (const std::exception& e) {
      ReportError(std::string("connect: ") + e.what());
      return;
    }
  }
  BaseConnect();
}

void TCustomWSocket::BaseConnect() {
  tWinsock& w = Winsock();
  DeleteBufferedData();
  socket_ = w.socket(AF_INET, datagram_ ? SOCK_DGRAM : SOCK_STREAM, protocol_);
  if (socket_ == kNoSocket) {
    SocketError("Connect (socket)");
    return;
  }
  ChangeState(wsOpened);
  const BOOL on = TRUE;
  if (datagram_ &&
      w.setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                   sizeof on) == SOCKET_ERROR) {
    SocketError("setsockopt(SO_BROADCAST)");
    return;
  }
  if (w.setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on),
                   sizeof on) == SOCKET_ERROR) {
    SocketError("setsockopt(SO_REUSEADDR)");
    return;
  }
  SetLingerOption();
  if (w.setsockopt(socket_, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on),
                   sizeof on) == SOCKET_ERROR) {
    SocketError("setsockopt(SO_KEEPALIVE)");
    return;
  }
  if (localAddr_ != "0.0.0.0") Bind();
  if (w.WSAAsyncSelect(socket_, window_, WM_ASYNCSELECT,
                       FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE) == SOCKET_ERROR) {
    SocketError("WSAAsyncSelect");
    return;
  }
  if (datagram_) {
    ChangeState(wsConnected);
    FireSessionConnected(0);
    return;
  }
  sockaddr_in sin{};
  sin.sin_family = AF_INET;
  sin.sin_port = w.htons(connectPort_);
  sin.sin_addr.s_addr = connectAddress_;
  ChangeState(wsConnecting);
  if (w.connect(socket_, reinterpret_cast<sockaddr*>(&sin), sizeof sin) == SOCKET_ERROR) {
    const int error = w.WSAGetLastError();
    if (error != WSAEWOULDBLOCK) {
      w.WSASetLastError(error);
      SocketError("Connect");
    }
  }
}

void TCustomWSocket::Bind() {
  tWinsock& w = Winsock();
  sockaddr_in sin{};
  sin.sin_family = AF_INET;
  sin.sin_addr.s_addr = WSocketResolveHost(localAddr_);
  sin.sin_port = w.htons(WSocketResolvePort(localPort_, proto_));
  if (w.bind(socket_, reinterpret_cast<sockaddr*>(&sin), sizeof sin) == SOCKET_ERROR) {
    SocketError("Bind");
    return;
  }
  ChangeState(wsBound);
}

void TCustomWSocket::SetLingerOption() {
  if (LingerOnOff == wsLingerNoSet) return;
  if (socket_ == kNoSocket) {
    ReportError("Cannot set linger option at this time");
    return;
  }
  linger l{};
  l.l_onoff = LingerOnOff == wsLingerOn ? 1 : 0;
  l.l_linger = static_cast<u_short>(LingerTimeout);
  if (Winsock().setsockopt(socket_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l),
                           sizeof l) == SOCKET_ERROR)
    SocketError("setsockopt(SO_LINGER)");
}

void TCustomWSocket::Listen() {
  if (!portSet_) {
    ReportError("listen: port not assigned");
    return;
  }
  tWinsock& w = Winsock();
  DeleteBufferedData();
  protocol_ = WSocketResolveProto(proto_);
  socket_ = w.socket(AF_INET, SOCK_STREAM, protocol_);
  if (socket_ == kNoSocket) {
    SocketError("socket");
    return;
  }
  sockaddr_in sin{};
  sin.sin_family = AF_INET;
  sin.sin_port = w.htons(WSocketResolvePort(port_, proto_));
  sin.sin_addr.s_addr = addrSet_ ? WSocketResolveHost(addr_) : INADDR_ANY;
  if (w.bind(socket_, reinterpret_cast<sockaddr*>(&sin), sizeof sin) == SOCKET_ERROR) {
    SocketError("bind");
    return;
  }
  if (w.listen(socket_, 5) == SOCKET_ERROR) {
    SocketError("listen");
    return;
  }
  w.WSAAsyncSelect(socket_, window_, WM_ASYNCSELECT, FD_ACCEPT | FD_CLOSE);
  ChangeState(wsListening);
}

uintptr_t TCustomWSocket::Accept() {
  if (state_ != wsListening) {
    ReportError("not a listening socket");
    return kNoSocket;
  }
  return Winsock().accept(socket_, nullptr, nullptr);
}

void TCustomWSocket::DeleteBufferedData() { queue_.Clear(); }

int TCustomWSocket::Send(const void* data, int length) {
  if (state_ != wsConnected) {
    Winsock().WSASetLastError(WSAENOTCONN);
    SocketError("Send");
    return -1;
  }
  allSent_ = false;
  queue_.Append(static_cast<const uint8_t*>(data), length, BufSize);
  TryToSend();
  if (allSent_) PostMessageW(window_, WM_ASYNCSELECT, socket_, WSAMAKESELECTREPLY(FD_WRITE, 0));
  return length;
}

int TCustomWSocket::RawSend(const void* data, int length) {
  const int n = Winsock().send(socket_, static_cast<const char*>(data), length, sendFlags_);
  if (n > 0 && OnSendData) OnSendData(this, n);
  return n;
}

void TCustomWSocket::TryToSend() {
  if (socket_ == kNoSocket || queue_.Blocks().empty()) return;
  auto& blocks = queue_.Blocks();
  for (;;) {
    if (blocks.empty()) {
      allSent_ = true;
      return;
    }
    int length = 0;
    const uint8_t* p = blocks.front()->Peek(length);
    if (length <= 0) {
      if (blocks.size() > 1) {
        blocks.erase(blocks.begin());
        continue;
      }
      allSent_ = true;
      return;
    }
    const int n = RawSend(p, length);
    if (n == 0) return;
    if (n < 0) {
      const int error = Winsock().WSAGetLastError();
      if (error == WSAECONNRESET || error == WSAENOTSOCK || error == WSAENOTCONN ||
          error == WSAEINVAL || error == WSAECONNABORTED) {
        closeFired_ = true;
        Close();
        if (OnSessionClosed) OnSessionClosed(this, error);
        return;
      }
      if (error == WSAEWOULDBLOCK) return;
      Winsock().WSASetLastError(error);
      SocketError("TryToSend failed");
      return;
    }
    blocks.front()->Remove(n);
    if (n < length) return;
  }
}

int TCustomWSocket::RawRecv(void* buffer, int length) {
  return Winsock().recv(socket_, static_cast<char*>(buffer), length, 0);
}

int TCustomWSocket::Receive(void* buffer, int length) {
  if (socket_ == kNoSocket) {
    LastError = WSAENOTCONN;
    return -1;
  }
  const int n = RawRecv(buffer, length);
  if (n < 0)
    LastError = Winsock().WSAGetLastError();
  else
    ReadCount += n;
  return n;
}

std::string TCustomWSocket::ReceiveStr() {
  int n = GetRcvdCount();
  if (n <= 0) n = 255;
  std::string text(static_cast<size_t>(n), '\0');
  const int got = Receive(text.data(), n);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

int TCustomWSocket::GetRcvdCount() {
  if (socket_ == kNoSocket) return -1;
  u_long n = 0;
  if (Winsock().ioctlsocket(socket_, FIONREAD, &n) == SOCKET_ERROR) {
    LastError = Winsock().WSAGetLastError();
    return -1;
  }
  return static_cast<int>(n);
}

void TCustomWSocket::ReceiveLoop(bool noLoop) {
  try {
    for (;;) {
      LastError = 0;
      if (!FireDataAvailable(0)) {
        if (socket_ == kNoSocket) return;
        char sink[1024];
        const int n = RawRecv(sink, sizeof sink);
        if (n < 0 && Winsock().WSAGetLastError() == WSAEWOULDBLOCK) {
          LastError = 0;
          return;
        }
        if (n <= 0) return;
      }
      if (noLoop || LastError != 0 || socket_ == kNoSocket) return;
      const int waiting = GetRcvdCount();
      if (waiting <= 0) return;
    }
  } catch (...) {
    // A handler's failure ends this round; the next event brings the rest.
  }
}

void TCustomWSocket::DoSocketEvent(uintptr_t handle, int event, int error) {
  if (handle != socket_ || paused_) return;
  if (event & FD_CONNECT) {
    if (state_ != wsConnected) {
      ChangeState(wsConnected);
      FireSessionConnected(error);
      if (error != 0 && state_ != wsClosed) Close();
    }
  }
  if (event & FD_READ) {
    if (state_ != wsConnected) {
      ChangeState(wsConnected);
      FireSessionConnected(error);
    }
    ReceiveLoop((ComponentOptions & wsoNoReceiveLoop) != 0);
  }
  if (event & FD_WRITE) {
    TryToSend();
    if (allSent_) FireDataSent(error);
  }
  if (event & FD_ACCEPT) FireSessionAvailable(error);
  if (event & FD_CLOSE) {
    if (state_ != wsConnecting) {
      if (socket_ != kNoSocket) ReceiveLoop(false);
      if (!closeFired_) {
        closeFired_ = true;
        FireSessionClosed(error);
      }
      if (state_ != wsClosed) Close();
    }
  }
}

bool TCustomWSocket::FireDataAvailable(int error) {
  if (!OnDataAvailable) return false;
  OnDataAvailable(this, error);
  return true;
}
void TCustomWSocket::FireSessionAvailable(int error) {
  if (OnSessionAvailable) OnSessionAvailable(this, error);
}
void TCustomWSocket::FireSessionConnected(int error) {
  if (OnSessionConnected) OnSessionConnected(this, error);
}
void TCustomWSocket::FireSessionClosed(int error) {
  if (OnSessionClosed) OnSessionClosed(this, error);
}
void TCustomWSocket::FireDataSent(int error) {
  if (OnDataSent) OnDataSent(this, error);
}
void TCustomWSocket::FireDnsLookupDone(int error) {
  if (OnDnsLookupDone) OnDnsLookupDone(this, error);
}

void TCustomWSocket::Disconnect(int error) {
  if (socket_ != kNoSocket) {
    tWinsock& w = Winsock();
    w.WSAAsyncSelect(socket_, window_, 0, 0);
    const SOCKET s = socket_;
    socket_ = kNoSocket;
    if (w.closesocket(s) == SOCKET_ERROR) {
      state_ = wsClosed;
      const bool fired = closeFired_;
      ResetDefaults();
      closeFired_ = fired;
      SocketError("Disconnect (closesocket)");
      return;
    }
  }
  if (state_ != wsClosed) ChangeState(wsClosed);
  if (!closeFired_) {
    closeFired_ = true;
    FireSessionClosed(error);
  }
  ResetDefaults();
}

void TCustomWSocket::Close() { Disconnect(0); }

void TCustomWSocket::CloseDelayed() { PostMessageW(window_, WM_CLOSE_DELAYED, 0, 0); }
void TCustomWSocket::FreeDelayed() { PostMessageW(window_, WM_WSOCKET_RELEASE, 0, 0); }

void TCustomWSocket::Abort() {
  CancelDnsLookup();
  DeleteBufferedData();
  if (socket_ != kNoSocket && state_ == wsConnected && !datagram_) {
    LingerOnOff = wsLingerOff;
    SetLingerOption();
  }
  Disconnect(0);
}

void TCustomWSocket::Flush() {
  while (socket_ != kNoSocket && !queue_.Empty()) {
    TryToSend();
    ProcessMessages();
  }
}

void TCustomWSocket::Shutdown(int how) {
  if (socket_ != kNoSocket) Winsock().shutdown(socket_, how);
}

void TCustomWSocket::Pause() {
  paused_ = true;
  if (socket_ != kNoSocket) Winsock().WSAAsyncSelect(socket_, window_, 0, 0);
}

void TCustomWSocket::Resume() {
  paused_ = false;
  if (socket_ != kNoSocket)
    Winsock().WSAAsyncSelect(socket_, window_, WM_ASYNCSELECT,
                             FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE);
}

void TCustomWSocket::ProcessMessages() {
  if (!MultiThreaded) {
    Application.ProcessMessages();
    return;
  }
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TCustomWSocket::DnsLookup(const std::string& host) {
  if (host.empty()) {
    ReportError("DNS lookup: invalid host name.");
    FireDnsLookupDone(WSAEINVAL);
    return;
  }
  CancelDnsLookup();
  DnsResult.clear();
  DnsResultList.clear();
  if (IsDottedAddress(host)) {
    DnsResult = TrimBlanks(host);
    DnsResultList.push_back(DnsResult);
    FireDnsLookupDone(0);
    return;
  }
  tWinsock& w = Winsock();
  lookupBuffer_.assign(MAXGETHOSTSTRUCT, 0);
  lookupByName_ = true;
  earlyAnswer_ = false;
  lookup_ = nullptr;
  HANDLE h = w.WSAAsyncGetHostByName(window_, WM_ASYNCGETHOSTBYNAME, host.c_str(),
                                     lookupBuffer_.data(), static_cast<int>(lookupBuffer_.size()));
  if (!h) {
    ReportError(host + ": can't start DNS lookup, error #" + std::to_string(w.WSAGetLastError()));
    return;
  }
  lookup_ = h;
  if (earlyAnswer_) {
    earlyAnswer_ = false;
    LookupDone(earlyW_, earlyL_, true);
  }
}

void TCustomWSocket::ReverseDnsLookup(const std::string& address) {
  if (address.empty()) {
    ReportError("ReverseDnsLookup: Invalid host name.");
    FireDnsLookupDone(WSAEINVAL);
    return;
  }
  CancelDnsLookup();
  DnsResult.clear();
  DnsResultList.clear();
  tWinsock& w = Winsock();
  const uint32_t a = w.inet_addr(TrimBlanks(address).c_str());
  lookupBuffer_.assign(MAXGETHOSTSTRUCT, 0);
  lookupByName_ = false;
  HANDLE h = w.WSAAsyncGetHostByAddr(window_, WM_ASYNCGETHOSTBYADDR,
                                     reinterpret_cast<const char*>(&a), 4, AF_INET,
                                     lookupBuffer_.data(), static_cast<int>(lookupBuffer_.size()));
  if (!h) {
    ReportError(address + ": can't start DNS lookup, error #" +
                std::to_string(w.WSAGetLastError()));
    return;
  }
  lookup_ = h;
}

void TCustomWSocket::CancelDnsLookup() {
  if (!lookup_) return;
  if (ws.module) ws.WSACancelAsyncRequest(lookup_);
  lookup_ = nullptr;
}

void TCustomWSocket::LookupDone(WPARAM wparam, LPARAM lparam, bool byName) {
  if (!lookup_) {
    // The answer came before the request call returned its handle.
    earlyAnswer_ = true;
    earlyW_ = wparam;
    earlyL_ = lparam;
    return;
  }
  if (reinterpret_cast<HANDLE>(wparam) != lookup_) return;
  lookup_ = nullptr;
  const int error = WSAGETASYNCERROR(lparam);
  if (error == 0) {
    const hostent* h = reinterpret_cast<const hostent*>(lookupBuffer_.data());
    if (byName) {
      for (char** a = h->h_addr_list; a && *a; ++a) {
        uint32_t address = 0;
        std::memcpy(&address, *a, 4);
        DnsResultList.push_back(DottedText(address));
      }
    } else if (h->h_name) {
      DnsResultList.push_back(h->h_name);
    }
    if (!DnsResultList.empty()) DnsResult = DnsResultList.front();
  }
  FireDnsLookupDone(error);
}

std::string TCustomWSocket::GetPeerAddr() {
  if (socket_ == kNoSocket) return "error";
  sockaddr_in sin{};
  int len = sizeof sin;
  if (Winsock().getpeername(socket_, reinterpret_cast<sockaddr*>(&sin), &len) != 0) return "error";
  return DottedText(sin.sin_addr.s_addr);
}

std::string TCustomWSocket::GetPeerPort() {
  if (socket_ == kNoSocket) return "error";
  sockaddr_in sin{};
  int len = sizeof sin;
  if (Winsock().getpeername(socket_, reinterpret_cast<sockaddr*>(&sin), &len) != 0) return "error";
  return std::to_string(Winsock().ntohs(sin.sin_port));
}

std::string TCustomWSocket::GetSocketAddr() {
  if (socket_ == kNoSocket) return "error";
  sockaddr_in sin{};
  int len = sizeof sin;
  if (Winsock().getsockname(socket_, reinterpret_cast<sockaddr*>(&sin), &len) != 0) return "error";
  return DottedText(sin.sin_addr.s_addr);
}

std::string TCustomWSocket::GetSocketPort() {
  if (socket_ == kNoSocket) return "error";
  sockaddr_in sin{};
  int len = sizeof sin;
  if (Winsock().getsockname(socket_, reinterpret_cast<sockaddr*>(&sin), &len) != 0) return "error";
  return std::to_string(Winsock().ntohs(sin.sin_port));
}

// --- TCustomSocksWSocket ---

void TCustomSocksWSocket::ResetDefaults() {
  TCustomWSocket::ResetDefaults();
  socks_.Reset();
  socksServer_.clear();
  socksPort_.clear();
  socksServerSet_ = socksPortSet_ = false;
  socks_.Level = "5";
  leftoverPos_ = 0;
}

void TCustomSocksWSocket::SetSocksLevel(const std::string& level) {
  if (State() != wsClosed) {
    ReportError("Can't change socks level if not closed");
    return;
  }
  std::string normal;
  if (!NormalizeSocksLevel(level, normal)) {
    ReportError("Invalid socks level. Must be 4, 4A or 5.");
    return;
  }
  socks_.Level = normal;
}

void TCustomSocksWSocket::SetSocksServer(const std::string& server) {
  if (State() != wsClosed) {
    ReportError("Can't change socks server if not closed");
    return;
  }
  socksServer_ = TrimBlanks(server);
  socksServerSet_ = !socksServer_.empty();
}

void TCustomSocksWSocket::SetSocksPort(const std::string& port) {
  if (State() != wsClosed) {
    ReportError("Can't change socks port if not closed");
    return;
  }
  socksPort_ = TrimBlanks(port);
  socksPortSet_ = !socksPort_.empty();
}

void TCustomSocksWSocket::Listen() {
  if (socksServerSet_) {
    ReportError("Listening is not supported thru socks server");
    return;
  }
  TCustomWSocket::Listen();
}

void TCustomSocksWSocket::Connect() {
  if (!socksServerSet_) {
    TCustomWSocket::Connect();
    return;
  }
  std::string proto = Proto();
  for (char& c : proto) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  if (proto != "tcp") {
    ReportError("tcp is the only protocol supported thru socks server");
    return;
  }
  try {
    if (!resolved_) {
      connectPort_ = WSocketResolvePort(socksPort_, Proto());
      connectAddress_ = WSocketResolveHost(socksServer_);
      resolved_ = true;
    }
    socks_.TargetPort = WSocketResolvePort(Port(), Proto());
  } catch (const std::exception& e) {
    ReportError(std::string("connect: ") + e.what());
    return;
  }
  socks_.Addr = Addr();
  socks_.AuthenticateUsercode = SocksAuthentication == socksAuthenticateUsercode;
  socks_.Usercode = SocksUsercode;
  socks_.Password = SocksPassword;
  socks_.ResolveHost = [](const std::string& host) { return WSocketResolveHost(host); };
  socks_.OnAuthState = [this](int state) {
    if (OnSocksAuthState) OnSocksAuthState(this, state);
  };
  socks_.Start();
  leftoverPos_ = 0;
  BaseConnect();
}

void TCustomSocksWSocket::FireSocksConnected(int error) {
  if (OnSocksConnected) OnSocksConnected(this, error);
}

void TCustomSocksWSocket::FireSocksError(int error, const std::string& message) {
  if (OnSocksError) OnSocksError(this, error, message);
}

void TCustomSocksWSocket::SendSocks(const std::vector<uint8_t>& bytes, bool swallow) {
  if (bytes.empty()) return;
  if (!swallow) {
    Send(bytes.data(), static_cast<int>(bytes.size()));
    return;
  }
  try {
    Send(bytes.data(), static_cast<int>(bytes.size()));
  } catch (const std::exception&) {
  }
}

void TCustomSocksWSocket::SocksFailure(int code, const std::string& text) {
  FireSocksError(code, text);
  if (code == kSocksResolveFailed) {
    // The target has no address: nothing was sent, and no session-connected follows.
    Shutdown(1);
    Disconnect(code);
    return;
  }
  TCustomWSocket::FireSessionConnected(code);
  Shutdown(1);
  Disconnect(code);
}

void TCustomSocksWSocket::FireSessionConnected(int error) {
  if (socks_.Phase() != 1) {
    TCustomWSocket::FireSessionConnected(error);
    return;
  }
  FireSocksConnected(error);
  if (error != 0) {
    socks_.Reset();
    TCustomWSocket::FireSessionConnected(error);
    return;
  }
  std::vector<uint8_t> send;
  if (socks_.Connected(send) == tSocksNegotiator::kFailed) {
    SocksFailure(socks_.ErrorCode, socks_.ErrorText);
    return;
  }
  // The greeting's failure goes to the caller; the requests' are swallowed.
  SendSocks(send, socks_.Phase() == 3);
}

bool TCustomSocksWSocket::FireDataAvailable(int error) {
  if (socks_.Phase() == 0) return TCustomWSocket::FireDataAvailable(error);
  if (error != 0) {
    SocksFailure(error, "data receive error");
    return false;
  }
  uint8_t buffer[kSocksBufferSize];
  const size_t want = std::max<size_t>(socks_.WantBytes(), 1);
  const int n = TCustomWSocket::RawRecv(buffer, static_cast<int>(std::min(want, sizeof buffer)));
  if (n < 0) return true;
  if (n == 0) return true;
  ReadCount += n;
  std::vector<uint8_t> send;
  switch (socks_.Received(buffer, static_cast<size_t>(n), send)) {
    case tSocksNegotiator::kWaiting:
      SendSocks(send, true);
      return true;
    case tSocksNegotiator::kFailed:
      SocksFailure(socks_.ErrorCode, socks_.ErrorText);
      return true;
    case tSocksNegotiator::kSucceeded:
      leftoverPos_ = 0;
      TCustomWSocket::FireSessionConnected(0);
      return FireDataAvailable(0);
  }
  return true;
}

void TCustomSocksWSocket::FireSessionClosed(int error) {
  if (socks_.Phase() == 2 && OnSocksAuthState) OnSocksAuthState(this, socksAuthClosed);
  TCustomWSocket::FireSessionClosed(error);
}

int TCustomSocksWSocket::GetRcvdCount() {
  const size_t left = socks_.Leftover().size() - std::min(leftoverPos_, socks_.Leftover().size());
  if (left > 0) return static_cast<int>(left);
  return TCustomWSocket::GetRcvdCount();
}

int TCustomSocksWSocket::RawRecv(void* buffer, int length) {
  const std::vector<uint8_t>& leftover = socks_.Leftover();
  if (leftoverPos_ < leftover.size()) {
    const size_t n = std::min(leftover.size() - leftoverPos_, static_cast<size_t>(length));
    std::memcpy(buffer, leftover.data() + leftoverPos_, n);
    leftoverPos_ += n;
    return static_cast<int>(n);
  }
  return TCustomWSocket::RawRecv(buffer, length);
}

// --- TCustomLineWSocket ---

void TCustomLineWSocket::SetLineMode(bool on) {
  if (on == lineMode_) return;
  lineMode_ = on;
  if (lines_.Held() > 0 || !ready_.empty())
    PostMessageW(WindowHandle(), WM_TRIGGER_DATA_AVAILABLE, 0, 0);
}

void TCustomLineWSocket::FireLineLimitExceeded(int receivedLength, bool& clearData) {
  if (OnLineLimitExceeded) OnLineLimitExceeded(this, receivedLength, clearData);
}

LRESULT TCustomLineWSocket::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TRIGGER_DATA_AVAILABLE) {
    // Bytes held under the old mode are handed out under the new one.
    if (!lineMode_) {
      ready_ += lines_.TakeAll();
      while (!ready_.empty()) {
        const size_t before = ready_.size();
        if (!TCustomSocksWSocket::FireDataAvailable(0) || ready_.size() == before) break;
      }
    } else {
      FireDataAvailable(0);
    }
    return 0;
  }
  return TCustomSocksWSocket::WndProc(message, wparam, lparam);
}

bool TCustomLineWSocket::FireDataAvailable(int error) {
  if (!lineMode_ || error != 0 || SocksPhase() != 0)
    return TCustomSocksWSocket::FireDataAvailable(error);
  // Take in what waits, then hand out each complete line.
  char buffer[4096];
  const int n = TCustomSocksWSocket::Receive(buffer, sizeof buffer);
  if (n > 0) {
    std::string echo;
    lines_.OnLineLimitExceeded = [this](size_t received, bool& clear) {
      FireLineLimitExceeded(static_cast<int>(received), clear);
    };
    lines_.Add(reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(n),
               lines_.LineEcho ? &echo : nullptr);
    if (!echo.empty() && State() == wsConnected) SendStr(echo);
  }
  while (lines_.HasLine() && lineMode_) {
    ready_ = lines_.TakeLine();
    TCustomSocksWSocket::FireDataAvailable(0);
    ready_.clear();
  }
  return true;
}

int TCustomLineWSocket::Receive(void* buffer, int length) {
  if (!ready_.empty()) {
    const size_t n = std::min(ready_.size(), static_cast<size_t>(length));
    std::memcpy(buffer, ready_.data(), n);
    ready_.erase(0, n);
    return static_cast<int>(n);
  }
  if (lineMode_) return 0;
  return TCustomSocksWSocket::Receive(buffer, length);
}

int TCustomLineWSocket::GetRcvdCount() {
  if (!ready_.empty()) return static_cast<int>(ready_.size());
  return TCustomSocksWSocket::GetRcvdCount();
}

// --- TCustomSyncWSocket ---

int TCustomSyncWSocket::WaitUntilReady(const bool& flag) {
  return ::WaitUntilReady(
      [&flag] { return flag; }, Timeout, [] { return static_cast<uint64_t>(GetTickCount64()); },
      [this] {
        ProcessMessages();
        Sleep(0);
      },
      [this] { return Application.Terminated || Terminated(); });
}

int TCustomSyncWSocket::RunAndWait(bool& flag, const std::function<void()>& operation) {
  flag = false;
  if (operation) operation();
  return WaitUntilReady(flag);
}

// --- Hidden windows for other components ---

namespace {

const wchar_t kUtilityClass[] = L"TavisUtilityWindow";

LRESULT CALLBACK UtilityProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* handler = reinterpret_cast<std::function<LRESULT(UINT, WPARAM, LPARAM)>*>(
      GetWindowLongPtrW(window, 0));
  if (handler && *handler) return (*handler)(message, wparam, lparam);
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

HWND AllocateHWnd(std::function<LRESULT(UINT, WPARAM, LPARAM)>* handler) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (!GetClassInfoW(instance, kUtilityClass, &wc)) {
    wc.lpfnWndProc = UtilityProc;
    wc.hInstance = instance;
    wc.lpszClassName = kUtilityClass;
    wc.cbWndExtra = sizeof(LONG_PTR);
    RegisterClassW(&wc);
  }
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kUtilityClass, L"", WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, instance, nullptr);
  if (window) SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(handler));
  return window;
}

void DeallocateHWnd(HWND window) {
  if (!window) return;
  SetWindowLongPtrW(window, 0, 0);
  DestroyWindow(window);
}
