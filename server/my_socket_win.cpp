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

void SendAll(SOCKET socket, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1 << 20));
    const int done = ::send(socket, bytes.data() + sent, chunk, 0);
    if (done <= 0) return;  // the client went away: nothing to tell anyone
    sent += static_cast<std::size_t>(done);
  }
}

// A read that fills the whole piece means more may follow; anything shorter ends the request.
std::string ReadRequest(SOCKET socket) {
  std::string request;
  char piece[CMySocket::kReadBytes];
  while (request.size() < CMySocket::kMaxRequestBytes) {
    const int got = ::recv(socket, piece, CMySocket::kReadBytes, 0);
    if (got > 0) request.append(piece, static_cast<std::size_t>(got));
    if (got < CMySocket::kReadBytes) break;
  }
  return request;
}

// Accepted sockets inherit the listener's notifications and non-blocking mode; the exchange
// itself is short and blocking, with a bounded wait.
void MakeBlockingWithTimeouts(SOCKET socket) {
  ::WSAAsyncSelect(socket, nullptr, 0, 0);
  u_long nonBlocking = 0;
  ::ioctlsocket(socket, FIONBIO, &nonBlocking);
  const DWORD wait = CMySocket::kRequestWaitMilliseconds;
  ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
  ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
}

}  // namespace

CMySocket::~CMySocket() {
  if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
}

CMySocket::OpenResult CMySocket::Open(HWND window, UINT message, int* error) {
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
  if (::listen(listener_, kBacklog) == SOCKET_ERROR) {
    *error = ::WSAGetLastError();
    return OpenResult::kListenFailed;
  }
  return OpenResult::kOpen;
}

// Only this computer's loopback address is served: the socket listens on every interface.
void CMySocket::OnAccept() {
  sockaddr_in peer{};
  int peerSize = sizeof peer;
  AcceptedSocket connection(::accept(listener_, reinterpret_cast<sockaddr*>(&peer), &peerSize));
  if (connection.get() == INVALID_SOCKET) return;
  MakeBlockingWithTimeouts(connection.get());
  if (peer.sin_family != AF_INET || peer.sin_addr.s_addr != ::htonl(INADDR_LOOPBACK)) {
    SendAll(connection.get(), "HTTP/1.0 403\r\n\r\n");
    return;
  }
  const std::string request = ReadRequest(connection.get());
  SendAll(connection.get(), router_.HandleRequest(request, host_));
}
