// The listening socket of the local server. Notifications arrive on the view's window thread,
// so every request is answered there, one at a time, against the live tree.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>

#include "server/request_router.h"

class CMySocket {
 public:
  // A client gets this long to send its request, and the request at most this many bytes.
  static constexpr DWORD kRequestWaitMilliseconds = 3000;
  static constexpr std::size_t kMaxRequestBytes = 64 * 1024;
  static constexpr int kReadBytes = 10000;
  static constexpr int kBacklog = 5;
  static constexpr int kAcceptsPerNotification = 16;
  static constexpr int kSendBufferBytes = 1 << 20;

  CMySocket(IServerHost& host, uint16_t port) : host_(host), router_(port), port_(port) {}
  CMySocket(const CMySocket&) = delete;
  CMySocket& operator=(const CMySocket&) = delete;
  ~CMySocket();

  enum class OpenResult { kOpen, kCreateFailed, kListenFailed };
  // Binds to the port on every interface and listens; notifications come as `message`.
  OpenResult Open(HWND window, UINT message, int* error);

  // The socket notification: accepts one connection and answers it.
  void OnAccept();

  ItemId LastPageId() const { return router_.LastPageId(); }

 private:
  IServerHost& host_;
  CRequestRouter router_;
  uint16_t port_;
  SOCKET listener_ = INVALID_SOCKET;
  HWND window_ = nullptr;
  UINT message_ = 0;
};
