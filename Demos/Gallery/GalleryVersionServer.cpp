#include "GalleryVersionServer.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Gallery {

TVersionServer::TVersionServer(std::string Document) : FDocument(std::move(Document))
{
  FListen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (FListen < 0 || ::bind(FListen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(FListen, 8) != 0 || ::getsockname(FListen, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    return;
  FPort = ntohs(address.sin_port);
  FThread = std::thread([this] { Serve(); });
}

TVersionServer::~TVersionServer()
{
  FStopping = true;
  if (FThread.joinable())
    FThread.join();
  if (FListen >= 0)
    ::close(FListen);
}

std::string TVersionServer::Url() const
{
  return FPort ? "http://127.0.0.1:" + std::to_string(FPort) + "/version.xml" : std::string();
}

void TVersionServer::Serve()
{
  while (!FStopping) {
    pollfd p{FListen, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0)
      continue;
    const int socket = ::accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (socket < 0)
      continue;
    Answer(socket);
    ::close(socket);
  }
}

// One request at a time: the version file is small and the page asks rarely.
void TVersionServer::Answer(int Socket)
{
  std::string request;
  char buffer[1024];
  for (int waits = 0; request.find("\r\n\r\n") == std::string::npos && request.size() < 8192 && waits < 40;) {
    pollfd p{Socket, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) {
      ++waits;
      continue;
    }
    const ssize_t n = ::recv(Socket, buffer, sizeof buffer, 0);
    if (n <= 0)
      return;
    request.append(buffer, std::size_t(n));
  }
  const bool found = request.rfind("GET /version.xml ", 0) == 0;
  const std::string body = found ? FDocument : "not found";
  const std::string answer = std::string(found ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") +
                             "\r\nContent-Type: text/xml; charset=utf-8\r\nConnection: close\r\nContent-Length: " +
                             std::to_string(body.size()) + "\r\n\r\n" + body;
  ::send(Socket, answer.data(), answer.size(), MSG_NOSIGNAL);
}

} // namespace Gallery
