// The gallery's own update server: a tiny HTTP server on 127.0.0.1 at a free
// port that publishes one version file, so that the update service on the
// Services page has something real to check.
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace Gallery {

class TVersionServer {
public:
  // Serves Document at "/version.xml"; every other path answers 404.
  explicit TVersionServer(std::string Document);
  ~TVersionServer();
  TVersionServer(const TVersionServer&) = delete;
  TVersionServer& operator=(const TVersionServer&) = delete;

  // The version file's address, or empty when the server could not start.
  std::string Url() const;

private:
  void Serve();
  void Answer(int Socket);

  std::string FDocument;
  int FListen = -1;
  int FPort = 0;
  std::atomic<bool> FStopping{false};
  std::thread FThread;
};

} // namespace Gallery
