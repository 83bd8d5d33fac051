#include "QxHttpServer.hpp"

#include "QxTestSupport.hpp"

#include <arpa/inet.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace QxTest {

namespace {

template <class T, void (*Free)(T*)>
struct TOpenSslFree {
  void operator()(T* p) const { Free(p); }
};
template <class T, void (*Free)(T*)>
using TOpenSslPtr = std::unique_ptr<T, TOpenSslFree<T, Free>>;

void Require(bool Ok, const char* What)
{
  if (!Ok)
    throw std::runtime_error(std::string("the test TLS identity: ") + What);
}

// A self-signed certificate for 127.0.0.1 that may also stand as the
// authority a client trusts.
TOpenSslPtr<X509, X509_free> SelfSigned(EVP_PKEY* Key)
{
  TOpenSslPtr<X509, X509_free> cert(X509_new());
  Require(cert && X509_set_version(cert.get(), 2), "certificate");
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -60);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 24 * 60 * 60);
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1,
                             0);
  X509_set_issuer_name(cert.get(), name);
  X509_set_pubkey(cert.get(), Key);
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, cert.get(), cert.get(), nullptr, nullptr, 0);
  for (auto [nid, value] : {std::pair{NID_basic_constraints, "critical,CA:TRUE"},
                            std::pair{NID_subject_alt_name, "IP:127.0.0.1"},
                            std::pair{NID_subject_key_identifier, "hash"}}) {
    TOpenSslPtr<X509_EXTENSION, X509_EXTENSION_free> ext(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
    Require(ext && X509_add_ext(cert.get(), ext.get(), -1), "extension");
  }
  Require(X509_sign(cert.get(), Key, EVP_sha256()) > 0, "signature");
  return cert;
}

} // namespace

QxTlsIdentity::QxTlsIdentity()
{
  TOpenSslPtr<EVP_PKEY, EVP_PKEY_free> key(EVP_EC_gen("P-256"));
  Require(bool(key), "key");
  TOpenSslPtr<X509, X509_free> cert = SelfSigned(key.get());
  FContext = SSL_CTX_new(TLS_server_method());
  Require(FContext && SSL_CTX_use_certificate(FContext, cert.get()) == 1 &&
            SSL_CTX_use_PrivateKey(FContext, key.get()) == 1,
          "context");
  static std::atomic<int> count{0};
  FCertificateFile = TempDir() + "/test-ca-" + std::to_string(++count) + ".pem";
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(FCertificateFile.c_str(), "w"), std::fclose);
  Require(file && PEM_write_X509(file.get(), cert.get()) == 1, "certificate file");
}

QxTlsIdentity::~QxTlsIdentity()
{
  SSL_CTX_free(FContext);
}

bool QxHttpConnection::Send(const std::string& Bytes)
{
  std::size_t sent = 0;
  while (sent < Bytes.size()) {
    if (FStopping)
      return false;
    pollfd p{FSocket, POLLOUT, 0};
    if (::poll(&p, 1, 50) <= 0)
      continue;
    const ssize_t n = FTls ? SSL_write(FTls, Bytes.data() + sent, int(Bytes.size() - sent))
                           : ::send(FSocket, Bytes.data() + sent, Bytes.size() - sent, MSG_NOSIGNAL);
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

QxHttpServer::QxHttpServer(const QxTlsIdentity* Tls) : FTls(Tls)
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
  return (FTls ? "https" : "http") + std::string("://127.0.0.1:") + std::to_string(FPort) + Path;
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
  // OpenSSL writes to the socket without MSG_NOSIGNAL: a client that has gone
  // (one refusing the certificate does) would raise SIGPIPE in the test. The
  // signal goes to the writing thread, so blocking it here is enough.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
  if (!FTls) {
    Answer(Socket, nullptr);
  } else {
    // A client that stalls the handshake cannot hold the server's shutdown for long.
    const timeval limit{2, 0};
    ::setsockopt(Socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(Socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    TOpenSslPtr<SSL, SSL_free> tls(SSL_new(FTls->Context()));
    // A client that refuses the certificate leaves without a request.
    if (tls && SSL_set_fd(tls.get(), Socket) == 1 && SSL_accept(tls.get()) == 1) {
      Answer(Socket, tls.get());
      SSL_shutdown(tls.get());
    }
  }
  ::shutdown(Socket, SHUT_RDWR);
  ::close(Socket);
}

void QxHttpServer::Answer(int Socket, SSL* Tls)
{
  // The request line and headers; the body of a GET is empty.
  std::string request;
  char buffer[2048];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536 && !FStopping) {
    pollfd p{Socket, POLLIN, 0};
    if (!(Tls && SSL_pending(Tls) > 0) && ::poll(&p, 1, 50) <= 0)
      continue;
    const ssize_t n = Tls ? SSL_read(Tls, buffer, int(sizeof buffer)) : ::recv(Socket, buffer, sizeof buffer, 0);
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
  QxHttpConnection connection(Socket, Tls, FStopping, FLock, FStop);
  script(connection);
}

} // namespace QxTest
