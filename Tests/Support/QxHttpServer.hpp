// A small HTTP/1.1 server that a test starts on 127.0.0.1 at a free port
// and scripts per path: each path answers with a script that writes to the
// connection (plain answers, redirects, slow drips, endless bodies). Every
// connection runs on its own thread; the server's destructor stops the
// scripts and joins them. Unknown paths answer 404. Given a TLS identity,
// the server speaks https instead.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ssl_ctx_st;
struct ssl_st;

namespace QxTest {

// A key and a self-signed certificate for 127.0.0.1, made afresh for each
// identity; the certificate is also written to a PEM file a client can
// trust.
class QxTlsIdentity {
public:
  QxTlsIdentity();
  ~QxTlsIdentity();
  QxTlsIdentity(const QxTlsIdentity&) = delete;
  QxTlsIdentity& operator=(const QxTlsIdentity&) = delete;
  const std::string& CertificateFile() const { return FCertificateFile; }
  ssl_ctx_st* Context() const { return FContext; }

private:
  ssl_ctx_st* FContext = nullptr;
  std::string FCertificateFile;
};

class QxHttpConnection {
public:
  QxHttpConnection(int Socket, ssl_st* Tls, const std::atomic<bool>& Stopping, std::mutex& Lock,
                   std::condition_variable& Stop)
    : FSocket(Socket), FTls(Tls), FStopping(Stopping), FLock(Lock), FStop(Stop) {}
  // False once the client has gone or the server stops.
  bool Send(const std::string& Bytes);
  // Waits, or less when the server stops; false then.
  bool Pause(int Milliseconds);

private:
  int FSocket;
  ssl_st* FTls;
  const std::atomic<bool>& FStopping;
  std::mutex& FLock;
  std::condition_variable& FStop;
};

using QxHttpScript = std::function<void(QxHttpConnection&)>;

// Ready-made scripts.
QxHttpScript HttpReply(int Status, const std::string& Body,
                       const std::string& ExtraHeaders = "Content-Type: text/xml\r\n");
QxHttpScript HttpRedirect(const std::string& Location, int Status = 302);
// The headers of a 200 answer of Length bytes, then one byte every
// IntervalMs until the client leaves.
QxHttpScript HttpDrip(std::size_t Length, int IntervalMs);
// A chunked 200 answer that never ends, as fast as the client reads.
QxHttpScript HttpEndlessChunks();
// A 200 answer announcing Length bytes and sending them as fast as the
// client reads.
QxHttpScript HttpLongBody(std::uint64_t Length);

class QxHttpServer {
public:
  // Tls, when given, outlives the server.
  explicit QxHttpServer(const QxTlsIdentity* Tls = nullptr);
  ~QxHttpServer();

  int Port() const { return FPort; }
  // "http://127.0.0.1:<port><Path>" ("https://..." with a TLS identity).
  std::string Url(const std::string& Path) const;
  void On(const std::string& Path, QxHttpScript Script);
  // Requests that reached the path so far.
  int Hits(const std::string& Path) const;

private:
  void Accept();
  void Serve(int Socket);
  void Answer(int Socket, ssl_st* Tls);

  const QxTlsIdentity* FTls;
  int FListen = -1;
  int FPort = 0;
  std::atomic<bool> FStopping{false};
  mutable std::mutex FLock;
  std::condition_variable FStop;
  std::map<std::string, QxHttpScript> FScripts;
  std::map<std::string, int> FHits;
  std::vector<std::thread> FConnections;
  std::thread FAcceptor;
};

} // namespace QxTest
