// The event-driven socket: one Windows Sockets 1.1 socket whose events arrive as messages at a
// hidden window of the component and fire its events. Layers: TCustomWSocket (the socket and
// its send FIFO), TCustomSocksWSocket (routing through a SOCKS 4, 4A or 5 server),
// TCustomLineWSocket (line mode), TCustomSyncWSocket (waiting while messages run) and TWSocket.
// The socket library ("wsock32.dll") is bound by name on first use.
#pragma once
#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "online/uSocketRules.h"
#include "online/uSocks.h"

class ESocketException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum TSocketState {
  wsInvalidState,
  wsOpened,
  wsBound,
  wsConnecting,
  wsConnected,
  wsAccepting,
  wsListening,
  wsClosed
};
enum TSocketSendFlags { wsSendNormal = 0, wsSendUrgent = 1 };
enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };
enum : unsigned { wsoNoReceiveLoop = 1 };
enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };

// Messages of the hidden window.
enum : UINT {
  WM_ASYNCSELECT = WM_USER + 1,
  WM_ASYNCGETHOSTBYNAME = WM_USER + 2,
  WM_ASYNCGETHOSTBYADDR = WM_USER + 3,
  WM_CLOSE_DELAYED = WM_USER + 4,
  WM_WSOCKET_RELEASE = WM_USER + 5,
  WM_TRIGGER_EXCEPTION = WM_USER + 6,
  WM_TRIGGER_DATA_AVAILABLE = WM_USER + 20,
};

class TCustomWSocket;
using TSocketEvent = std::function<void(TCustomWSocket* sender, int error)>;

class TCustomWSocket : public TComponent {
 public:
  explicit TCustomWSocket(TComponent* owner = nullptr);
  ~TCustomWSocket() override;

  // Properties.
  const std::string& Addr() const { return addr_; }
  void SetAddr(const std::string& value);
  const std::string& Port() const { return port_; }
  virtual void SetPort(const std::string& value);
  const std::string& Proto() const { return proto_; }
  virtual void SetProto(const std::string& value);
  const std::string& LocalAddr() const { return localAddr_; }
  void SetLocalAddr(const std::string& value);
  const std::string& LocalPort() const { return localPort_; }
  void SetLocalPort(const std::string& value);
  std::string DnsResult;
  std::vector<std::string> DnsResultList;
  TSocketState State() const { return state_; }
  int64_t ReadCount = 0;
  int LastError = 0;
  bool MultiThreaded = false;
  unsigned ComponentOptions = 0;
  int FlushTimeout = 60;
  int SendFlags() const { return sendFlags_; }
  void SetSendFlags(int flags);
  TSocketLingerOnOff LingerOnOff = wsLingerOn;
  int LingerTimeout = 0;
  int BufSize = 1460;
  uintptr_t Handle() const { return socket_; }
  HWND WindowHandle() const { return window_; }

  // Events.
  TSocketEvent OnDataAvailable, OnDataSent, OnSessionClosed, OnSessionAvailable,
      OnSessionConnected, OnDnsLookupDone;
  std::function<void(TCustomWSocket* sender, int bytesSent)> OnSendData;
  std::function<void(TCustomWSocket* sender, TSocketState oldState, TSocketState newState)>
      OnChangeState;
  std::function<void(TCustomWSocket* sender)> OnError, OnLineTooLong;
  std::function<void(TCustomWSocket* sender, const std::exception& e, bool& canClose)>
      OnBgException;

  // Operations.
  virtual void Connect();
  virtual void Close();
  void CloseDelayed();
  void FreeDelayed();
  virtual void Abort();
  virtual void Flush();
  virtual void Listen();
  virtual uintptr_t Accept();
  virtual int Receive(void* buffer, int length);
  virtual std::string ReceiveStr();
  virtual int Send(const void* data, int length);
  int SendStr(const std::string& text) { return Send(text.data(), static_cast<int>(text.size())); }
  virtual void DnsLookup(const std::string& host);
  virtual void ReverseDnsLookup(const std::string& address);
  virtual void CancelDnsLookup();
  std::string GetPeerAddr();
  std::string GetPeerPort();
  std::string GetSocketAddr();
  std::string GetSocketPort();
  virtual void Pause();
  virtual void Resume();
  virtual void ProcessMessages();
  virtual int GetRcvdCount();
  virtual void Shutdown(int how);
  // Set once the component's own message loop has taken a WM_QUIT; never cleared.
  bool Terminated() const { return terminated_; }

  // Resolve routines (raise ESocketException).
  static uint32_t WSocketResolveHost(const std::string& text);
  static uint16_t WSocketResolvePort(const std::string& port, const std::string& proto);
  static int WSocketResolveProto(const std::string& text);
  // Live socket components, and whether the library is loaded (for tests).
  static int LiveCount();
  static bool LibraryLoaded();

 protected:
  virtual LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam);
  virtual void ResetDefaults();
  virtual void Disconnect(int error = 0);
  virtual void Bind();
  virtual int RawSend(const void* data, int length);
  virtual int RawRecv(void* buffer, int length);
  void RaiseSocketError(const std::string& function, int error);
  void SocketError(const std::string& function);
  virtual void ReportError(const std::string& message);
  virtual bool FireBgException(const std::exception& e);
  // True when a handler took the data.
  virtual bool FireDataAvailable(int error);
  virtual void FireSessionAvailable(int error);
  virtual void FireSessionConnected(int error);
  virtual void FireSessionClosed(int error);
  virtual void FireDataSent(int error);
  virtual void FireChangeState(TSocketState oldState, TSocketState newState);
  virtual void FireDnsLookupDone(int error);
  virtual void FireError();
  void ChangeState(TSocketState newState);
  void TryToSend();
  void DeleteBufferedData();
  void SetLingerOption();
  void ReceiveLoop(bool noLoop);
  void DoSocketEvent(uintptr_t handle, int event, int error);
  // Connects the stream socket to the address and port resolved by ResolveForConnect.
  void BaseConnect();
  bool IsResolved() const { return resolved_; }

  uint32_t connectAddress_ = 0;  // network byte order
  uint16_t connectPort_ = 0;     // host byte order
  bool resolved_ = false;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void LookupDone(WPARAM wparam, LPARAM lparam, bool byName);

  std::string addr_, port_, proto_ = "tcp", localAddr_ = "0.0.0.0", localPort_ = "0";
  bool addrSet_ = false, portSet_ = false;
  TSocketState state_ = wsClosed;
  int sendFlags_ = wsSendNormal;
  int protocol_ = 6;
  bool datagram_ = false;
  uintptr_t socket_ = ~uintptr_t(0);
  HWND window_ = nullptr;
  tSendQueue queue_;
  bool allSent_ = true, paused_ = false, closeFired_ = false, terminated_ = false;
  HANDLE lookup_ = nullptr;
  std::vector<char> lookupBuffer_;
  bool lookupByName_ = true;
  // An answer that came before the request call returned its handle.
  bool earlyAnswer_ = false;
  WPARAM earlyW_ = 0;
  LPARAM earlyL_ = 0;
};

class TCustomSocksWSocket : public TCustomWSocket {
 public:
  using TCustomWSocket::TCustomWSocket;
  const std::string& SocksLevel() const { return socks_.Level; }
  void SetSocksLevel(const std::string& level);
  const std::string& SocksServer() const { return socksServer_; }
  virtual void SetSocksServer(const std::string& server);
  const std::string& SocksPort() const { return socksPort_; }
  virtual void SetSocksPort(const std::string& port);
  std::string SocksUsercode, SocksPassword;
  TSocksAuthentication SocksAuthentication = socksNoAuthentication;
  TSocketEvent OnSocksConnected;
  std::function<void(TCustomWSocket* sender, int error, const std::string& message)> OnSocksError;
  std::function<void(TCustomWSocket* sender, int authState)> OnSocksAuthState;

  void Connect() override;
  void Listen() override;
  int GetRcvdCount() override;
  int SocksPhase() const { return socks_.Phase(); }

 protected:
  void ResetDefaults() override;
  int RawRecv(void* buffer, int length) override;
  void FireSessionConnected(int error) override;
  bool FireDataAvailable(int error) override;
  void FireSessionClosed(int error) override;
  virtual void FireSocksConnected(int error);
  virtual void FireSocksError(int error, const std::string& message);

 private:
  void SocksFailure(int code, const std::string& text);
  void SendSocks(const std::vector<uint8_t>& bytes, bool swallow);
  tSocksNegotiator socks_;
  std::string socksServer_, socksPort_;
  bool socksServerSet_ = false, socksPortSet_ = false;
  size_t leftoverPos_ = 0;
};

class TCustomLineWSocket : public TCustomSocksWSocket {
 public:
  using TCustomSocksWSocket::TCustomSocksWSocket;
  bool LineMode() const { return lineMode_; }
  virtual void SetLineMode(bool on);
  std::string& LineEnd() { return lines_.LineEnd; }
  bool& LineEcho() { return lines_.LineEcho; }
  bool& LineEdit() { return lines_.LineEdit; }
  size_t& LineLimit() { return lines_.LineLimit; }
  std::function<void(TCustomWSocket* sender, int receivedLength, bool& clearData)>
      OnLineLimitExceeded;
  int Receive(void* buffer, int length) override;
  int GetRcvdCount() override;

 protected:
  bool FireDataAvailable(int error) override;
  LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  virtual void FireLineLimitExceeded(int receivedLength, bool& clearData);

 private:
  bool lineMode_ = false;
  tLineAssembler lines_;
  std::string ready_;  // the line (or bytes) handed out by the next Receive
};

class TCustomSyncWSocket : public TCustomLineWSocket {
 public:
  using TCustomLineWSocket::TCustomLineWSocket;
  // Milliseconds; 0 waits without limit.
  uint32_t Timeout = 0;
  // 0 once the flag is set; 12001 on time-out or when the program ends.
  virtual int WaitUntilReady(const bool& flag);
  virtual int RunAndWait(bool& flag, const std::function<void()>& operation);
};

class TWSocket : public TCustomSyncWSocket {
 public:
  using TCustomSyncWSocket::TCustomSyncWSocket;
};

// A hidden window whose messages go to the handler (for components that need one of their
// own, as the HTTP client does).
HWND AllocateHWnd(std::function<LRESULT(UINT, WPARAM, LPARAM)>* handler);
void DeallocateHWnd(HWND window);
