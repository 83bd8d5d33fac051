// The closed runtime's downloader: fetches an http or https URL into a
// stream, on libcurl, within limits that keep a hostile or broken server
// from holding the caller or its memory. Cancel stops a running download
// from any thread.
#pragma once

#include <System.Streams.hpp>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace QxRtl {

using Vcl::String;

using Vcl::Exception;
QX_EXCEPTION(EDownloadError, Exception);

struct TDownloadLimits {
  // The body, counted after content decoding.
  std::size_t MaxBodyBytes = 64 * 1024;
  std::uint32_t ConnectTimeoutMs = 10000;
  // The whole download, every redirect included.
  std::uint32_t TotalTimeoutMs = 30000;
  // A transfer slower than this many bytes a second over a whole window of
  // LowSpeedWindowMs fails.
  std::uint32_t LowSpeedBytesPerSec = 16;
  std::uint32_t LowSpeedWindowMs = 10000;
  int MaxRedirects = 5;
};

class TWinsockLoader : public Vcl::TObject {
public:
  TWinsockLoader();
  ~TWinsockLoader() override;

  // Writes the body of a 2xx answer to Stream, only once all of it has
  // arrived. Redirects are followed to http and https only, never from
  // https down to http. Any failure raises EDownloadError and writes
  // nothing. Names under ".invalid" fail without a lookup.
  void Download(const String& URL, Vcl::TStream& Stream);
  // Any thread: the running download fails at once with "Download
  // cancelled", and so does every later one.
  void Cancel();
  bool Cancelled() const { return FCancelled; }

  const TDownloadLimits& Limits() const { return FLimits; }
  void SetLimits(const TDownloadLimits& Value) { FLimits = Value; }
  // A PEM file of the certificate authorities https servers are checked
  // against instead of the system's (a private deployment's own, a test's);
  // empty: the system's. Certificates and host names are always checked.
  const String& CertificateAuthorities() const { return FCertificateAuthorities; }
  void SetCertificateAuthorities(const String& PemFile) { FCertificateAuthorities = PemFile; }

private:
  struct TTransfer;
  void Run(TTransfer* T, std::chrono::steady_clock::time_point Deadline);
  void Wake();

  TDownloadLimits FLimits;
  String FCertificateAuthorities;
  std::atomic<bool> FCancelled{false};
  std::mutex FLock; // guards FMulti against Cancel from another thread
  void* FMulti = nullptr;
};

} // namespace QxRtl
