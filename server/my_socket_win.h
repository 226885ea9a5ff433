// The local server's sockets. Notifications arrive on the view's window thread, so every request
// is answered there, one at a time, against the live tree. Nothing there waits for a client: a
// request is read as its bytes arrive, and an answer is written as fast as the client takes it.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "server/request_router.h"
#include "util/unique_handle_win.h"

struct SocketTraits {
  using type = SOCKET;
  static SOCKET Invalid() noexcept { return INVALID_SOCKET; }
  static void Close(SOCKET socket) noexcept { ::closesocket(socket); }
};
using unique_socket = unique_any<SocketTraits>;

class CMySocket {
 public:
  // A request is at most this many bytes, read in pieces of kReadBytes.
  static constexpr std::size_t kMaxRequestBytes = 64 * 1024;
  static constexpr int kReadBytes = 10000;
  static constexpr int kBacklog = 5;
  static constexpr int kAcceptsPerNotification = 16;
  static constexpr int kSendBufferBytes = 1 << 20;
  // Browsers open connections ahead of need that may never carry a request. Unfinished
  // connections are kept up to this number, the one idle longest going first, and none longer
  // than the idle time (looked at whenever a connection comes in).
  static constexpr std::size_t kMaxOpenConnections = 64;
  static constexpr DWORD kIdleMilliseconds = 60000;

  CMySocket(IServerHost& host, uint16_t port) : host_(host), router_(port), port_(port) {}
  CMySocket(const CMySocket&) = delete;
  CMySocket& operator=(const CMySocket&) = delete;

  enum class OpenResult { kOpen, kCreateFailed, kListenFailed };
  // Binds to the port on the loopback address and listens; notifications come as `message`.
  OpenResult Open(HWND window, UINT message, int* error);

  // One notification of `message`: wParam is the socket, lParam the event.
  void OnSocketMessage(WPARAM socket, LPARAM event);

  ItemId LastPageId() const { return router_.LastPageId(); }

 private:
  struct Connection {
    unique_socket socket;
    std::string request;
    std::string answer;  // empty until the request is complete
    std::size_t sent = 0;
    DWORD lastActivity = 0;
  };

  void AcceptWaiting();
  // Reads what has arrived; answers once the request is complete.
  void Serve(SOCKET socket);
  void MakeRoom();

  IServerHost& host_;
  CRequestRouter router_;
  uint16_t port_;
  unique_socket listener_;
  HWND window_ = nullptr;
  UINT message_ = 0;
  std::map<SOCKET, std::unique_ptr<Connection>> connections_;
};
