#include "server/my_socket_win.h"

#include <string>

namespace {

class AcceptedSocket {
 public:
  explicit AcceptedSocket(SOCKET socket) : socket_(socket) {}
  AcceptedSocket(const AcceptedSocket&) = delete;
  AcceptedSocket& operator=(const AcceptedSocket&) = delete;
  ~AcceptedSocket() {
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
  }
  SOCKET get() const { return socket_; }

 private:
  SOCKET socket_;
};

// Waits until the socket may be read (or written); false after the request wait ran out.
bool WaitFor(SOCKET socket, bool forWriting) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval wait{static_cast<long>(CMySocket::kRequestWaitMilliseconds / 1000),
               static_cast<long>(CMySocket::kRequestWaitMilliseconds % 1000) * 1000};
  return ::select(0, forWriting ? nullptr : &set, forWriting ? &set : nullptr, nullptr, &wait) == 1;
}

// The accepted socket stays non-blocking (it inherits that from the listener), and every wait
// is bounded: a client that sends nothing or reads nothing holds the program only briefly.
void SendAll(SOCKET socket, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1 << 20));
    const int done = ::send(socket, bytes.data() + sent, chunk, 0);
    if (done > 0) {
      sent += static_cast<std::size_t>(done);
    } else if (done == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) {
      if (!WaitFor(socket, true)) return;
    } else {
      return;  // the client went away: nothing to tell anyone
    }
  }
}

// A read that fills the whole piece means more may follow; anything shorter ends the request.
std::string ReadRequest(SOCKET socket) {
  std::string request;
  char piece[CMySocket::kReadBytes];
  while (request.size() < CMySocket::kMaxRequestBytes) {
    int got = ::recv(socket, piece, CMySocket::kReadBytes, 0);
    if (got == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) {
      if (!WaitFor(socket, false)) break;
      got = ::recv(socket, piece, CMySocket::kReadBytes, 0);
    }
    if (got > 0) request.append(piece, static_cast<std::size_t>(got));
    if (got < CMySocket::kReadBytes) break;
  }
  return request;
}

}  // namespace

CMySocket::~CMySocket() {
  if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
}

CMySocket::OpenResult CMySocket::Open(HWND window, UINT message, int* error) {
  window_ = window;
  message_ = message;
  listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(port_);
  address.sin_addr.s_addr = ::htonl(INADDR_ANY);
  if (listener_ == INVALID_SOCKET ||
      ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == SOCKET_ERROR ||
      ::WSAAsyncSelect(listener_, window, message, FD_ACCEPT) == SOCKET_ERROR) {
    *error = ::WSAGetLastError();
    return OpenResult::kCreateFailed;
  }
  // Accepted connections inherit it: a whole page goes out in one send instead of waiting on
  // the client to take it piece by piece.
  const int sendBuffer = kSendBufferBytes;
  ::setsockopt(listener_, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&sendBuffer), sizeof sendBuffer);
  if (::listen(listener_, kBacklog) == SOCKET_ERROR) {
    *error = ::WSAGetLastError();
    return OpenResult::kListenFailed;
  }
  return OpenResult::kOpen;
}

// Only this computer's loopback address is served: the socket listens on every interface.
// Connections already waiting are answered in the same turn, one after another.
void CMySocket::OnAccept() {
  for (int turn = 0; turn < kAcceptsPerNotification; ++turn) {
    sockaddr_in peer{};
    int peerSize = sizeof peer;
    AcceptedSocket connection(::accept(listener_, reinterpret_cast<sockaddr*>(&peer), &peerSize));
    if (connection.get() == INVALID_SOCKET) break;
    if (peer.sin_family != AF_INET || peer.sin_addr.s_addr != ::htonl(INADDR_LOOPBACK)) {
      SendAll(connection.get(), "HTTP/1.0 403\r\n\r\n");
      continue;
    }
    const std::string request = ReadRequest(connection.get());
    SendAll(connection.get(), router_.HandleRequest(request, host_));
  }
  // Wine does not arm the notification again after an accept that found nothing waiting;
  // registering again does, and posts at once when a connection is already there.
  ::WSAAsyncSelect(listener_, window_, message_, FD_ACCEPT);
}
