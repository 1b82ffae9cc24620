#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

class TDownloadView;

// How a transfer failed.
enum class THttpErrorKind {
  None,
  Protocol,        // the server answered with a status outside 200..299
  ConnectTimeout,  // no connection within ConnectTimeout
  ReadTimeout,     // connected, but too little arrived over LowSpeedTime
  SslLibrary,      // the TLS library cannot serve the chosen version
  Other,           // anything else: refused, reset, cut short, too large, bad certificate
};

struct THttpError {
  THttpErrorKind Kind = THttpErrorKind::None;
  int32_t ResponseCode = 0;  // with Protocol
  std::string Message;       // the text shown to the player
};

constexpr char kSslLibraryError[] = "Could not load SSL library.";
constexpr char kConnectTimeoutError[] = "Connect timed out.";
constexpr char kReadTimeoutError[] = "Read timed out.";
constexpr char kNoHttpLibraryError[] = "The HTTP library cannot be started.";
constexpr int32_t kDefaultConnectTimeout = 5000;  // ms
// A transfer slower than LowSpeedLimit bytes a second over LowSpeedTime seconds would take hours
// for a jigsaw: it fails with the time-out message rather than hold the run.
constexpr int32_t kDefaultLowSpeedTime = 30;     // s
constexpr int32_t kDefaultLowSpeedLimit = 1024;  // bytes a second
// How often a waiting transfer lets the window handle input: Stop and closing act within it.
constexpr int32_t kHttpIdleMs = 50;

// What a transfer is for: its progress shows on the window only while it fetches a file.
enum class THttpMode : uint8_t { Idle = 0, InfoFile = 1, Archive = 2 };

// TLS choices in the order the options dialog lists them.
enum : int32_t {
  kSslV2 = 0,
  kSslV23 = 1,
  kSslV3 = 2,
  kTlsV1 = 3,
  kTlsV1_1 = 4,
  kTlsV1_2 = 5,
  kTlsV1_3 = 6,
};

// The download's HTTP client over libcurl. Transfers block the caller, but the window handles
// its input every kHttpIdleMs whether bytes arrive or not, so Stop and closing cut a transfer
// off at once; a source slower than LowSpeedLimit over LowSpeedTime fails the transfer. Progress
// arrives through the work and connection handlers, which show it on the window while HttpMode is
// InfoFile or Archive. Each transfer opens its own connection and closes it when done. Redirects
// are not followed, no proxy is used, and only http and https are spoken.
class TMyHttp {
 public:
  TMyHttp();
  ~TMyHttp();
  TMyHttp(const TMyHttp&) = delete;
  TMyHttp& operator=(const TMyHttp&) = delete;

  // False when the HTTP library could not be started: every transfer then fails.
  bool Ready() const { return curl_ != nullptr && multi_ != nullptr; }

  uint8_t ShowInCaption = 1;
  TDownloadView* SizeLabel = nullptr;  // shows "received / expected"
  TDownloadView* ProgressBar = nullptr;
  TDownloadView* CaptionControl = nullptr;
  uint8_t IsConnected = 0;
  int32_t WorkCount = 0;
  int32_t WorkCountMax = 0;
  THttpMode HttpMode = THttpMode::Idle;
  bool Fetching() const { return HttpMode != THttpMode::Idle; }

  int32_t ConnectTimeout = kDefaultConnectTimeout;  // ms
  int32_t LowSpeedTime = kDefaultLowSpeedTime;      // s
  int32_t LowSpeedLimit = kDefaultLowSpeedLimit;    // bytes a second
  int32_t SslVersion = kTlsV1_2;                    // one of the TLS choices
  // Certificates (PEM) trusted instead of the system's; empty: the system's.
  std::string TrustedCertificates;

  // GET into memory (at most maxSize bytes) or appended to an open file. False with `error`
  // filled on any failure; an answer outside 200..299 never reaches the sink.
  bool Get(const std::string& url, std::string& body, THttpError& error, int64_t maxSize = int64_t(1) << 20);
  bool Get(const std::string& url, std::FILE* file, THttpError& error, int64_t maxSize = int64_t(1) << 31);

  // Ends the connection; a transfer running under the caller (the window handling its input)
  // is cut off as soon as that returns.
  void Disconnect();
  bool Connected() const { return IsConnected != 0; }
  int32_t ResponseCode() const { return responseCode_; }

  // Event handlers, called by the transfer.
  void HandleConnected();
  void HandleDisconnected();
  void HandleWorkBegin(int64_t countMax);
  void HandleWork(int64_t count);
  void HandleWorkEnd();

 private:
  struct TTransfer;
  using TSink = std::function<bool(const char* data, size_t size)>;
  bool Perform(const std::string& url, const TSink& sink, int64_t maxSize, THttpError& error);
  bool Configure(const std::string& url, bool secure, char* detail, THttpError& error);
  void SetCallbacks(TTransfer& t);
  int Pump();  // the transfer's result code
  static THttpError DescribeFailure(int result, const TTransfer& t, bool secure, const char* detail, int64_t maxSize);
  void ShowCaptionSuffix(const char* key);

  void* curl_ = nullptr;
  void* multi_ = nullptr;
  bool inTransfer_ = false;
  int32_t responseCode_ = 0;
  bool abort_ = false;
};
