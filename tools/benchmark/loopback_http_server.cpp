#include "loopback_http_server.h"

#include <ws2tcpip.h>

#include <cstdlib>
#include <string_view>

namespace zxbench {
namespace {

bool ReceiveMore(SOCKET socket, std::string& buffer) {
  char piece[8192];
  const int received = recv(socket, piece, sizeof piece, 0);
  if (received <= 0) return false;
  buffer.append(piece, received);
  return true;
}

size_t ContentLength(std::string_view head) {
  for (std::string_view name : {"\r\nContent-Length:", "\r\ncontent-length:"}) {
    const size_t at = head.find(name);
    if (at != std::string_view::npos) {
      return std::strtoul(std::string(head.substr(at + name.size(), 20)).c_str(), nullptr, 10);
    }
  }
  return 0;
}

// The request line's target: "<path>[?<query>]".
std::string_view Target(std::string_view head) {
  const size_t start = head.find(' ') + 1;
  return head.substr(start, head.find(' ', start) - start);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(std::string_view text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

// The value of the query's json parameter, decoded; empty without one.
std::string QueryJson(std::string_view target) {
  const size_t at = target.find("?json=");
  if (at == std::string_view::npos) return {};
  const std::string_view value = target.substr(at + 6);
  return PercentDecode(value.substr(0, value.find('&')));
}

// The whole answer goes out in one send: split writes would wait on the
// client's delayed acknowledgement.
bool Answer(SOCKET socket, std::string_view path, std::string_view json) {
  std::string body = "{\"path\":\"";
  body.append(path).append("\",\"json\":").append(json).append("}");
  std::string response = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                         std::to_string(body.size()) + "\r\n\r\n" + body;
  return send(socket, response.data(), static_cast<int>(response.size()), 0) ==
         static_cast<int>(response.size());
}

// One request after the other until the client closes the connection.
void Serve(SOCKET socket) {
  std::string buffer;
  for (;;) {
    size_t headEnd;
    while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
      if (!ReceiveMore(socket, buffer)) return;
    }
    const std::string_view head(buffer.data(), headEnd);
    const size_t bodyStart = headEnd + 4, bodyLength = ContentLength(head);
    while (buffer.size() < bodyStart + bodyLength) {
      if (!ReceiveMore(socket, buffer)) return;
    }
    const std::string_view target = Target(head);
    const std::string json = bodyLength ? std::string(buffer, bodyStart, bodyLength) : QueryJson(target);
    if (!Answer(socket, target.substr(0, target.find('?')), json)) return;
    buffer.erase(0, bodyStart + bodyLength);
  }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
  WSADATA data;
  m_winsock = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  if (!m_winsock) return;
  m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (m_listener == INVALID_SOCKET ||
      bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(m_listener, SOMAXCONN) != 0 ||
      getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  m_acceptThread.Reset(CreateThread(nullptr, 0, AcceptThread, this, 0, nullptr));
  if (m_acceptThread) m_port = ntohs(address.sin_port);
}

// Closing the listener ends the accept loop; shutting the connections ends
// their threads.
LoopbackHttpServer::~LoopbackHttpServer() {
  if (m_listener != INVALID_SOCKET) closesocket(m_listener);
  if (m_acceptThread) WaitForSingleObject(m_acceptThread.Get(), INFINITE);
  for (SOCKET connection : m_connections) shutdown(connection, SD_BOTH);
  for (const zx::UniqueHandle& thread : m_connectionThreads) {
    WaitForSingleObject(thread.Get(), INFINITE);
  }
  for (SOCKET connection : m_connections) closesocket(connection);
  if (m_winsock) WSACleanup();
}

DWORD WINAPI LoopbackHttpServer::AcceptThread(void* server) {
  static_cast<LoopbackHttpServer*>(server)->AcceptAll();
  return 0;
}

DWORD WINAPI LoopbackHttpServer::ConnectionThread(void* socket) {
  Serve(reinterpret_cast<SOCKET>(socket));
  return 0;
}

void LoopbackHttpServer::AcceptAll() {
  for (;;) {
    const SOCKET connection = accept(m_listener, nullptr, nullptr);
    if (connection == INVALID_SOCKET) return;
    const BOOL noDelay = TRUE;
    setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
    HANDLE thread = CreateThread(nullptr, 0, ConnectionThread,
                                 reinterpret_cast<void*>(connection), 0, nullptr);
    if (!thread) {
      closesocket(connection);
      continue;
    }
    m_connections.push_back(connection);
    m_connectionThreads.emplace_back(thread);
  }
}

}  // namespace zxbench
