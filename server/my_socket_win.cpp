#include "server/my_socket_win.h"

#include <algorithm>

namespace {

enum class ReadState { kWaiting, kComplete, kFailed };

// A read that fills the whole piece means more may follow; anything shorter, the end of the
// stream included, ends the request. Whatever has not arrived yet is waited for by
// notification, never here.
ReadState ReadArrived(SOCKET socket, std::string& request) {
  char piece[CMySocket::kReadBytes];
  while (request.size() < CMySocket::kMaxRequestBytes) {
    const int got = ::recv(socket, piece, CMySocket::kReadBytes, 0);
    if (got == SOCKET_ERROR) return ::WSAGetLastError() == WSAEWOULDBLOCK ? ReadState::kWaiting : ReadState::kFailed;
    request.append(piece, static_cast<std::size_t>(got));
    if (got < CMySocket::kReadBytes) return ReadState::kComplete;
  }
  return ReadState::kComplete;
}

// True while part of the answer waits for the client to take it; false when all of it went,
// or the client is gone.
bool SendSome(SOCKET socket, const std::string& answer, std::size_t& sent) {
  while (sent < answer.size()) {
    const int chunk = static_cast<int>(std::min<std::size_t>(answer.size() - sent, CMySocket::kSendBufferBytes));
    const int done = ::send(socket, answer.data() + sent, chunk, 0);
    if (done > 0)
      sent += static_cast<std::size_t>(done);
    else
      return done == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK;
  }
  return false;
}

}  // namespace

// Only the loopback address is bound: the port is never open to the network.
CMySocket::OpenResult CMySocket::Open(HWND window, UINT message, int* error) {
  window_ = window;
  message_ = message;
  listener_.reset(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(port_);
  address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  if (!listener_ ||
      ::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == SOCKET_ERROR ||
      ::WSAAsyncSelect(listener_.get(), window, message, FD_ACCEPT) == SOCKET_ERROR) {
    *error = ::WSAGetLastError();
    return OpenResult::kCreateFailed;
  }
  // Accepted connections inherit it: a whole page goes out in one send instead of waiting on
  // the client to take it piece by piece.
  const int sendBuffer = kSendBufferBytes;
  ::setsockopt(listener_.get(), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&sendBuffer), sizeof sendBuffer);
  if (::listen(listener_.get(), kBacklog) == SOCKET_ERROR) {
    *error = ::WSAGetLastError();
    return OpenResult::kListenFailed;
  }
  return OpenResult::kOpen;
}

void CMySocket::OnSocketMessage(WPARAM socket, LPARAM event) {
  const auto which = static_cast<SOCKET>(socket);
  if (listener_ && which == listener_.get()) {
    if (WSAGETSELECTEVENT(event) == FD_ACCEPT) AcceptWaiting();
    return;
  }
  // A notice may still come for a connection already closed, or whose handle a new one reuses:
  // reading or sending then finds nothing to do.
  const auto found = connections_.find(which);
  if (found == connections_.end()) return;
  Connection& connection = *found->second;
  if (connection.answer.empty()) {
    Serve(which);
  } else if (WSAGETSELECTEVENT(event) == FD_CLOSE ||
             !SendSome(which, connection.answer, connection.sent)) {
    connections_.erase(found);
  } else {
    connection.lastActivity = ::GetTickCount();
  }
}

// Connections already waiting are taken in the same turn; each is answered at once when its
// request is already there, as it usually is.
void CMySocket::AcceptWaiting() {
  for (int turn = 0; turn < kAcceptsPerNotification; ++turn) {
    sockaddr_in peer{};
    int peerSize = sizeof peer;
    unique_socket accepted(::accept(listener_.get(), reinterpret_cast<sockaddr*>(&peer), &peerSize));
    if (!accepted) break;
    // Other loopback addresses reach the port too; only this one is served.
    if (peer.sin_family != AF_INET || peer.sin_addr.s_addr != ::htonl(INADDR_LOOPBACK)) {
      std::size_t sent = 0;
      (void)SendSome(accepted.get(), "HTTP/1.0 403\r\n\r\n", sent);
      continue;
    }
    if (::WSAAsyncSelect(accepted.get(), window_, message_, FD_READ | FD_WRITE | FD_CLOSE) == SOCKET_ERROR) continue;
    MakeRoom();
    const SOCKET socket = accepted.get();
    auto connection = std::make_unique<Connection>();
    connection->socket = std::move(accepted);
    connection->lastActivity = ::GetTickCount();
    connections_[socket] = std::move(connection);
    Serve(socket);
  }
  // Wine does not arm the notification again after an accept that found nothing waiting;
  // registering again does, and posts at once when a connection is already there.
  ::WSAAsyncSelect(listener_.get(), window_, message_, FD_ACCEPT);
}

void CMySocket::Serve(SOCKET socket) {
  const auto found = connections_.find(socket);
  if (found == connections_.end()) return;
  switch (ReadArrived(socket, found->second->request)) {
    case ReadState::kWaiting: found->second->lastActivity = ::GetTickCount(); return;
    case ReadState::kFailed: connections_.erase(found); return;
    case ReadState::kComplete: break;
  }
  // Out of the table while the request is routed, so that nothing the routing does can close it.
  std::unique_ptr<Connection> connection = std::move(found->second);
  connections_.erase(found);
  connection->answer = router_.HandleRequest(connection->request, host_);
  connection->request = std::string();
  if (connection->answer.empty() || !SendSome(socket, connection->answer, connection->sent)) return;
  // The rest when the client takes it.
  connection->lastActivity = ::GetTickCount();
  connections_[socket] = std::move(connection);
}

void CMySocket::MakeRoom() {
  const DWORD now = ::GetTickCount();
  std::erase_if(connections_, [now](const auto& entry) { return now - entry.second->lastActivity > kIdleMilliseconds; });
  if (connections_.size() < kMaxOpenConnections) return;
  const auto idlest = std::min_element(connections_.begin(), connections_.end(), [now](const auto& a, const auto& b) {
    return now - a.second->lastActivity > now - b.second->lastActivity;
  });
  connections_.erase(idlest);
}
