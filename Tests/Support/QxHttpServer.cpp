#include "QxHttpServer.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace QxTest {

bool QxHttpConnection::Send(const std::string& Bytes)
{
  std::size_t sent = 0;
  while (sent < Bytes.size()) {
    if (FStopping)
      return false;
    pollfd p{FSocket, POLLOUT, 0};
    if (::poll(&p, 1, 50) <= 0)
      continue;
    const ssize_t n = ::send(FSocket, Bytes.data() + sent, Bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0)
      return false;
    sent += std::size_t(n);
  }
  return true;
}

bool QxHttpConnection::Pause(int Milliseconds)
{
  std::unique_lock lock(FLock);
  return !FStop.wait_for(lock, std::chrono::milliseconds(Milliseconds), [&] { return FStopping.load(); });
}

namespace {

std::string Head(int Status, const std::string& Headers)
{
  return "HTTP/1.1 " + std::to_string(Status) + " Scripted\r\nConnection: close\r\n" + Headers + "\r\n";
}

} // namespace

QxHttpScript HttpReply(int Status, const std::string& Body, const std::string& ExtraHeaders)
{
  return [=](QxHttpConnection& c) {
    c.Send(Head(Status, ExtraHeaders + "Content-Length: " + std::to_string(Body.size()) + "\r\n") + Body);
  };
}

QxHttpScript HttpRedirect(const std::string& Location, int Status)
{
  return [=](QxHttpConnection& c) { c.Send(Head(Status, "Location: " + Location + "\r\nContent-Length: 0\r\n")); };
}

QxHttpScript HttpDrip(std::size_t Length, int IntervalMs)
{
  return [=](QxHttpConnection& c) {
    if (!c.Send(Head(200, "Content-Length: " + std::to_string(Length) + "\r\n")))
      return;
    for (std::size_t i = 0; i < Length; ++i)
      if (!c.Pause(IntervalMs) || !c.Send("<"))
        return;
  };
}

QxHttpScript HttpEndlessChunks()
{
  return [](QxHttpConnection& c) {
    if (!c.Send(Head(200, "Transfer-Encoding: chunked\r\n")))
      return;
    const std::string chunk = "1000\r\n" + std::string(0x1000, 'x') + "\r\n";
    while (c.Send(chunk)) {
    }
  };
}

QxHttpScript HttpLongBody(std::uint64_t Length)
{
  return [=](QxHttpConnection& c) {
    if (!c.Send(Head(200, "Content-Length: " + std::to_string(Length) + "\r\n")))
      return;
    const std::string block(0x4000, 'y');
    for (std::uint64_t left = Length; left > 0;) {
      const std::size_t n = std::size_t(std::min<std::uint64_t>(left, block.size()));
      if (!c.Send(block.substr(0, n)))
        return;
      left -= n;
    }
  };
}

QxHttpServer::QxHttpServer()
{
  FListen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (FListen < 0 || ::bind(FListen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(FListen, 64) != 0 || ::getsockname(FListen, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("the test HTTP server cannot listen on 127.0.0.1");
  FPort = ntohs(address.sin_port);
  FAcceptor = std::thread([this] { Accept(); });
}

QxHttpServer::~QxHttpServer()
{
  {
    std::lock_guard lock(FLock);
    FStopping = true;
  }
  FStop.notify_all();
  FAcceptor.join();
  for (std::thread& t : FConnections)
    t.join();
  ::close(FListen);
}

std::string QxHttpServer::Url(const std::string& Path) const
{
  return "http://127.0.0.1:" + std::to_string(FPort) + Path;
}

void QxHttpServer::On(const std::string& Path, QxHttpScript Script)
{
  std::lock_guard lock(FLock);
  FScripts[Path] = std::move(Script);
}

int QxHttpServer::Hits(const std::string& Path) const
{
  std::lock_guard lock(FLock);
  auto it = FHits.find(Path);
  return it == FHits.end() ? 0 : it->second;
}

void QxHttpServer::Accept()
{
  while (!FStopping) {
    pollfd p{FListen, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0)
      continue;
    const int socket = ::accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (socket < 0)
      continue;
    std::lock_guard lock(FLock);
    FConnections.emplace_back([this, socket] { Serve(socket); });
  }
}

void QxHttpServer::Serve(int Socket)
{
  // The request line and headers; the body of a GET is empty.
  std::string request;
  char buffer[2048];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536 && !FStopping) {
    pollfd p{Socket, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0)
      continue;
    const ssize_t n = ::recv(Socket, buffer, sizeof buffer, 0);
    if (n <= 0)
      break;
    request.append(buffer, std::size_t(n));
  }
  const std::size_t start = request.find(' ') + 1;
  const std::string path = start == 0 ? std::string() : request.substr(start, request.find(' ', start) - start);
  QxHttpScript script;
  {
    std::lock_guard lock(FLock);
    ++FHits[path];
    auto it = FScripts.find(path);
    script = it == FScripts.end() ? HttpReply(404, "not found", "") : it->second;
  }
  QxHttpConnection connection(Socket, FStopping, FLock, FStop);
  script(connection);
  ::shutdown(Socket, SHUT_RDWR);
  ::close(Socket);
}

} // namespace QxTest
