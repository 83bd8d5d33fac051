#include "QxRtl.WinsockLoader.hpp"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <memory>

namespace QxRtl {

namespace {

using TClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

void InitCurl()
{
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

String Lower(String S)
{
  std::transform(S.begin(), S.end(), S.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return S;
}

struct TUrlParts {
  String Scheme;
  String Host;
};

String UrlPart(CURLU* Url, CURLUPart Part)
{
  char* value = nullptr;
  if (curl_url_get(Url, Part, &value, 0) != CURLUE_OK || !value)
    return String();
  String result(value);
  curl_free(value);
  return result;
}

// The scheme and host of a URL that may be fetched; EDownloadError for any
// other.
TUrlParts CheckUrl(const String& Url)
{
  if (Url.empty())
    throw EDownloadError("No URL to download");
  std::unique_ptr<CURLU, void (*)(CURLU*)> parsed(curl_url(), curl_url_cleanup);
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, Url.c_str(), 0) != CURLUE_OK)
    throw EDownloadError("Invalid URL: " + Url);
  TUrlParts parts{Lower(UrlPart(parsed.get(), CURLUPART_SCHEME)), Lower(UrlPart(parsed.get(), CURLUPART_HOST))};
  if (parts.Scheme != "http" && parts.Scheme != "https")
    throw EDownloadError("Only http and https URLs can be downloaded: " + Url);
  // Names under ".invalid" never exist: no lookup leaves the machine for them.
  if (parts.Host == "invalid" || (parts.Host.size() > 8 && parts.Host.ends_with(".invalid")))
    throw EDownloadError("Host not found: " + parts.Host);
  return parts;
}

// The proxy exceptions of the environment, plus the loopback addresses,
// which never go through a proxy.
String NoProxyList()
{
  const char* env = std::getenv("NO_PROXY");
  if (!env)
    env = std::getenv("no_proxy");
  String list = env ? String(env) : String();
  return list.empty() ? String("localhost,127.0.0.1,::1") : list + ",localhost,127.0.0.1,::1";
}

} // namespace

// One request: its handle, the body so far and why it stopped, if it did.
struct TWinsockLoader::TTransfer {
  explicit TTransfer(std::size_t MaxBody) : Easy(curl_easy_init()), MaxBody(MaxBody) {}
  ~TTransfer() { curl_easy_cleanup(Easy); }

  static size_t OnBody(char* Data, size_t Size, size_t Count, void* User)
  {
    auto* t = static_cast<TTransfer*>(User);
    const size_t n = Size * Count;
    t->Received += n;
    if (t->Body.size() + n > t->MaxBody) {
      t->Error = "The answer is larger than " + std::to_string(t->MaxBody) + " bytes";
      return 0;
    }
    t->Body.append(Data, n);
    return n;
  }
  static size_t OnHeader(char*, size_t Size, size_t Count, void* User)
  {
    static_cast<TTransfer*>(User)->Received += Size * Count;
    return Size * Count;
  }

  CURL* Easy;
  std::size_t MaxBody;
  std::size_t Received = 0; // headers and body, for the speed check
  String Body;
  String Error;
  char CurlError[CURL_ERROR_SIZE] = {};
};

TWinsockLoader::TWinsockLoader()
{
  InitCurl();
}

TWinsockLoader::~TWinsockLoader() = default;

void TWinsockLoader::Cancel()
{
  FCancelled = true;
  Wake();
}

void TWinsockLoader::Wake()
{
  std::lock_guard lock(FLock);
  if (FMulti)
    curl_multi_wakeup(static_cast<CURLM*>(FMulti));
}

namespace {

// Fails when fewer than the limit's bytes arrived over the last whole window.
// The window opens once the connection is up: setting one up (with the TLS
// handshake and the loading of the trusted authorities, which a loaded machine
// can stretch past a short window) is bounded by the connect timeout instead.
class TSpeedWatch {
public:
  explicit TSpeedWatch(const TDownloadLimits& Limits) : FLimits(Limits) {}

  bool TooSlow(TClock::time_point Now, bool Connected, std::size_t Received)
  {
    if (FLimits.LowSpeedBytesPerSec == 0 || !Connected)
      return false;
    if (FSamples.empty())
      FStart = Now;
    FSamples.push_back({Now, Received});
    const auto window = milliseconds(FLimits.LowSpeedWindowMs);
    if (Now - FStart < window)
      return false;
    while (FSamples.size() > 1 && Now - FSamples[1].first >= window)
      FSamples.pop_front();
    const std::size_t bytes = Received - FSamples.front().second;
    return std::uint64_t(bytes) * 1000 < std::uint64_t(FLimits.LowSpeedBytesPerSec) * FLimits.LowSpeedWindowMs;
  }

private:
  const TDownloadLimits& FLimits;
  TClock::time_point FStart;
  std::deque<std::pair<TClock::time_point, std::size_t>> FSamples;
};

// The request has gone out, so the connection (and its handshake) is up.
bool Connected(CURL* Easy)
{
  curl_off_t pretransfer = 0;
  return curl_easy_getinfo(Easy, CURLINFO_PRETRANSFER_TIME_T, &pretransfer) == CURLE_OK && pretransfer > 0;
}

} // namespace

void TWinsockLoader::Download(const String& URL, Vcl::TStream& Stream)
{
  const auto deadline = TClock::now() + milliseconds(FLimits.TotalTimeoutMs);
  String url = URL;
  TUrlParts parts = CheckUrl(url);
  const String noProxy = NoProxyList();
  for (int hop = 0;; ++hop) {
    TTransfer t(FLimits.MaxBodyBytes);
    if (!t.Easy)
      throw EDownloadError("Cannot start a download");
    curl_easy_setopt(t.Easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(t.Easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(t.Easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(t.Easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(t.Easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(t.Easy, CURLOPT_NOPROXY, noProxy.c_str());
    curl_easy_setopt(t.Easy, CURLOPT_USERAGENT, "QxComponents");
    curl_easy_setopt(t.Easy, CURLOPT_CONNECTTIMEOUT_MS, long(FLimits.ConnectTimeoutMs));
    curl_easy_setopt(t.Easy, CURLOPT_WRITEFUNCTION, &TTransfer::OnBody);
    curl_easy_setopt(t.Easy, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(t.Easy, CURLOPT_HEADERFUNCTION, &TTransfer::OnHeader);
    curl_easy_setopt(t.Easy, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(t.Easy, CURLOPT_ERRORBUFFER, t.CurlError);
    if (!FCertificateAuthorities.empty())
      curl_easy_setopt(t.Easy, CURLOPT_CAINFO, FCertificateAuthorities.c_str());
    Run(&t, deadline);

    long status = 0;
    curl_easy_getinfo(t.Easy, CURLINFO_RESPONSE_CODE, &status);
    char* location = nullptr;
    curl_easy_getinfo(t.Easy, CURLINFO_REDIRECT_URL, &location);
    if (status >= 300 && status < 400 && location) {
      if (hop >= FLimits.MaxRedirects)
        throw EDownloadError("Too many redirects");
      const String next(location);
      const TUrlParts nextParts = CheckUrl(next);
      if (parts.Scheme == "https" && nextParts.Scheme == "http")
        throw EDownloadError("A redirect from https to http is refused: " + next);
      url = next;
      parts = nextParts;
      continue;
    }
    if (status < 200 || status >= 300)
      throw EDownloadError("The server answered " + std::to_string(status));
    Stream.WriteBuffer(t.Body.data(), Vcl::Int64(t.Body.size()));
    return;
  }
}

void TWinsockLoader::Run(TTransfer* T, std::chrono::steady_clock::time_point Deadline)
{
  CURLM* multi = curl_multi_init();
  if (!multi)
    throw EDownloadError("Cannot start a download");
  {
    std::lock_guard lock(FLock);
    FMulti = multi;
  }
  curl_multi_add_handle(multi, T->Easy);
  struct TCleanup {
    TWinsockLoader* Self;
    CURLM* Multi;
    CURL* Easy;
    ~TCleanup()
    {
      {
        std::lock_guard lock(Self->FLock);
        Self->FMulti = nullptr;
      }
      curl_multi_remove_handle(Multi, Easy);
      curl_multi_cleanup(Multi);
    }
  } cleanup{this, multi, T->Easy};

  TSpeedWatch speed(FLimits);
  for (;;) {
    if (FCancelled)
      throw EDownloadError("Download cancelled");
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK)
      throw EDownloadError("The download failed");
    if (!running)
      break;
    const auto now = TClock::now();
    if (now >= Deadline)
      throw EDownloadError("The download took too long");
    if (speed.TooSlow(now, Connected(T->Easy), T->Received))
      throw EDownloadError("The download is too slow");
    const auto left = std::chrono::duration_cast<milliseconds>(Deadline - now).count();
    curl_multi_poll(multi, nullptr, 0, int(std::min<long long>(left + 1, 100)), nullptr);
  }
  int queued = 0;
  CURLMsg* msg = curl_multi_info_read(multi, &queued);
  const CURLcode result = msg && msg->msg == CURLMSG_DONE ? msg->data.result : CURLE_FAILED_INIT;
  if (result == CURLE_OK)
    return;
  if (!T->Error.empty())
    throw EDownloadError(T->Error);
  throw EDownloadError(T->CurlError[0] ? String(T->CurlError) : String(curl_easy_strerror(result)));
}

} // namespace QxRtl
