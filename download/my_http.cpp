#include "download/my_http.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <mutex>

#include "download/download_view.h"
#include "foundation/text_format.h"
#include "game/window_commands.h"

namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

int32_t ClampCount(int64_t n) { return int32_t(std::clamp<int64_t>(n, 0, INT32_MAX)); }

// libcurl's version option for a TLS choice: -1 when the choice names a protocol nobody may use
// any more (SSL 2 and 3), which the TLS library does not offer.
long SslVersionOption(int32_t choice) {
  switch (choice) {
    case kSslV23: return CURL_SSLVERSION_DEFAULT;
    case kTlsV1: return CURL_SSLVERSION_TLSv1_0 | long(CURL_SSLVERSION_MAX_TLSv1_0);
    case kTlsV1_1: return CURL_SSLVERSION_TLSv1_1 | long(CURL_SSLVERSION_MAX_TLSv1_1);
    case kTlsV1_2: return CURL_SSLVERSION_TLSv1_2 | long(CURL_SSLVERSION_MAX_TLSv1_2);
    case kTlsV1_3: return CURL_SSLVERSION_TLSv1_3 | long(CURL_SSLVERSION_MAX_TLSv1_3);
    default: return -1;
  }
}

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i) {
    if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  }
  return true;
}

std::string TrimLine(const char* data, size_t size) {
  while (size > 0 && (data[size - 1] == '\r' || data[size - 1] == '\n' || data[size - 1] == ' ')) --size;
  return std::string(data, size);
}

}  // namespace

// What one transfer's callbacks share.
struct TMyHttp::TTransfer {
  TMyHttp* Client = nullptr;
  const TSink* Sink = nullptr;
  int64_t MaxSize = 0;
  int64_t Received = 0;
  std::string StatusLine;  // of the last answer
  int32_t Status = 0;
  bool BodyWanted = false;  // the final answer's body goes to the sink
  bool TooLarge = false;
  bool SinkFailed = false;
  bool WorkBegun = false;
  bool Connected = false;
};

TMyHttp::TMyHttp() {
  GlobalInit();
  curl_ = curl_easy_init();
  multi_ = curl_multi_init();
}

TMyHttp::~TMyHttp() {
  if (multi_) curl_multi_cleanup(static_cast<CURLM*>(multi_));
  if (curl_) curl_easy_cleanup(static_cast<CURL*>(curl_));
}

void TMyHttp::ShowCaptionSuffix(const char* key) {
  if (!ShowInCaption || !CaptionControl) return;
  CaptionControl->SetCaption(CaptionControl->DownloadCaption() + " - " + CaptionControl->LangFormat(key, {}));
}

void TMyHttp::HandleConnected() {
  IsConnected = 1;
  if (Fetching()) ShowCaptionSuffix("ProcConnect");
}

void TMyHttp::HandleDisconnected() {
  IsConnected = 0;
  if (Fetching()) ShowCaptionSuffix("ProcDisconnect");
}

void TMyHttp::HandleWorkBegin(int64_t countMax) {
  if (!Fetching()) return;
  WorkCountMax = ClampCount(countMax);
  WorkCount = 0;
  if (ProgressBar) {
    ProgressBar->SetProgressPosition(0);
    ProgressBar->SetProgressMax(WorkCountMax);
  }
}

void TMyHttp::HandleWork(int64_t count) {
  if (!Fetching()) return;
  WorkCount = ClampCount(count);
  if (SizeLabel)
    SizeLabel->SetSizeText(WideFormat("%s / %s", {FormatByteSize(WorkCount), FormatByteSize(WorkCountMax)}));
  if (ProgressBar) ProgressBar->SetProgressPosition(WorkCount);
  ShowCaptionSuffix("ProcReceivingData");
}

void TMyHttp::HandleWorkEnd() {}

void TMyHttp::Disconnect() {
  // Also while still connecting: a stalled connect is cut off as well.
  if (IsConnected || inTransfer_) abort_ = true;
}

bool TMyHttp::Get(const std::string& url, std::string& body, THttpError& error, int64_t maxSize) {
  body.clear();
  const TSink sink = [&body](const char* data, size_t size) {
    body.append(data, size);
    return true;
  };
  return Perform(url, sink, maxSize, error);
}

bool TMyHttp::Get(const std::string& url, std::FILE* file, THttpError& error, int64_t maxSize) {
  const TSink sink = [file](const char* data, size_t size) { return std::fwrite(data, 1, size, file) == size; };
  return Perform(url, sink, maxSize, error) && std::fflush(file) == 0;
}

// The transfer's options: the address, the limits and, for https, the TLS version and trust.
// False when the TLS choice cannot be used.
bool TMyHttp::Configure(const std::string& url, bool secure, char* detail, THttpError& error) {
  CURL* curl = static_cast<CURL*>(curl_);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(ConnectTimeout));
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, long(std::max(LowSpeedLimit, 1)));
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(LowSpeedTime));
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Zorva Jigsaw Quix");

  if (secure) {
    const long version = SslVersionOption(SslVersion);
    if (version < 0 || curl_easy_setopt(curl, CURLOPT_SSLVERSION, version) != CURLE_OK) {
      error = {THttpErrorKind::SslLibrary, 0, kSslLibraryError};
      return false;
    }
    if (!TrustedCertificates.empty()) {
      curl_blob blob{TrustedCertificates.data(), TrustedCertificates.size(), CURL_BLOB_COPY};
      curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &blob);
    }
  }
  return true;
}

// The connection, header and body callbacks, which note what they see in t.
void TMyHttp::SetCallbacks(TTransfer& t) {
  CURL* curl = static_cast<CURL*>(curl_);
  curl_easy_setopt(curl, CURLOPT_PREREQDATA, &t);
  curl_easy_setopt(
      curl, CURLOPT_PREREQFUNCTION, +[](void* p, char*, char*, int, int) -> int {
        auto* t = static_cast<TTransfer*>(p);
        t->Connected = true;
        t->Client->HandleConnected();
        return CURL_PREREQFUNC_OK;
      });
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(
      curl, CURLOPT_HEADERFUNCTION, +[](char* data, size_t, size_t n, void* p) -> size_t {
        auto* t = static_cast<TTransfer*>(p);
        const std::string line = TrimLine(data, n);
        if (StartsWithNoCase(line, "http/")) {
          t->StatusLine = line;
          const size_t blank = line.find(' ');
          t->Status = blank == std::string::npos ? 0 : std::atoi(line.c_str() + blank + 1);
        } else if (line.empty() && t->Status >= 200 && t->Status <= 299) {
          // The end of the final answer's header: its body follows.
          curl_off_t length = -1;
          curl_easy_getinfo(static_cast<CURL*>(t->Client->curl_), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
          if (length > t->MaxSize) {
            t->TooLarge = true;
            return 0;
          }
          t->BodyWanted = true;
          t->WorkBegun = true;
          t->Client->HandleWorkBegin(length > 0 ? length : 0);
        }
        return n;
      });
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(
      curl, CURLOPT_WRITEFUNCTION, +[](char* data, size_t, size_t n, void* p) -> size_t {
        auto* t = static_cast<TTransfer*>(p);
        if (!t->BodyWanted) return n;  // an error page: not the asked-for data
        t->Received += int64_t(n);
        if (t->Received > t->MaxSize) {
          t->TooLarge = true;
          return CURL_WRITEFUNC_ERROR;
        }
        if (!(*t->Sink)(data, n)) {
          t->SinkFailed = true;
          return CURL_WRITEFUNC_ERROR;
        }
        t->Client->HandleWork(t->Received);
        return n;
      });
}

// The transfer runs in short steps; between them the window handles its input, bytes or not.
int TMyHttp::Pump() {
  CURL* curl = static_cast<CURL*>(curl_);
  CURLM* multi = static_cast<CURLM*>(multi_);
  inTransfer_ = true;
  CURLcode code = CURLE_OK;
  curl_multi_add_handle(multi, curl);
  for (int running = 1;;) {
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      code = CURLE_FAILED_INIT;
      break;
    }
    if (!running) {
      int left = 0;
      while (CURLMsg* m = curl_multi_info_read(multi, &left))
        if (m->msg == CURLMSG_DONE) code = m->data.result;
      break;
    }
    curl_multi_poll(multi, nullptr, 0, kHttpIdleMs, nullptr);
    if (CaptionControl) CaptionControl->ProcessMessages();
    if (abort_) {
      code = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
  }
  curl_multi_remove_handle(multi, curl);
  inTransfer_ = false;
  return code;
}

// The error of a transfer that ended with the code, not with an answer.
THttpError TMyHttp::DescribeFailure(int result, const TTransfer& t, bool secure, const char* detail, int64_t maxSize) {
  const CURLcode code = CURLcode(result);
  THttpError error;
  if (t.TooLarge) {
    error = {THttpErrorKind::Other, 0, "The answer is larger than " + std::to_string(maxSize) + " bytes."};
  } else if (t.SinkFailed) {
    error = {THttpErrorKind::Other, 0, "The received data cannot be stored."};
  } else if (code == CURLE_OPERATION_TIMEDOUT) {
    error = t.Connected ? THttpError{THttpErrorKind::ReadTimeout, 0, kReadTimeoutError}
                        : THttpError{THttpErrorKind::ConnectTimeout, 0, kConnectTimeoutError};
  } else if (code == CURLE_SSL_ENGINE_INITFAILED || code == CURLE_NOT_BUILT_IN ||
             (code == CURLE_UNSUPPORTED_PROTOCOL && secure)) {
    error = {THttpErrorKind::SslLibrary, 0, kSslLibraryError};
  } else if (code == CURLE_ABORTED_BY_CALLBACK) {
    error = {THttpErrorKind::Other, 0, "Connection closed."};
  } else {
    error = {THttpErrorKind::Other, 0, detail[0] ? std::string(detail) : curl_easy_strerror(code)};
  }
  return error;
}

bool TMyHttp::Perform(const std::string& url, const TSink& sink, int64_t maxSize, THttpError& error) {
  // The window's input is handled during a transfer: a click there never starts another one,
  // nor touches the running one's state (a cut-off asked for just before must hold).
  if (!Ready() || inTransfer_) {
    error = {THttpErrorKind::Other, 0, kNoHttpLibraryError};
    return false;
  }
  error = THttpError();
  responseCode_ = 0;
  abort_ = false;
  CURL* curl = static_cast<CURL*>(curl_);
  curl_easy_reset(curl);
  TTransfer t;
  t.Client = this;
  t.Sink = &sink;
  t.MaxSize = maxSize;

  char detail[CURL_ERROR_SIZE] = {};
  const bool secure = StartsWithNoCase(url, "https://");
  if (!Configure(url, secure, detail, error)) return false;
  SetCallbacks(t);
  const CURLcode code = CURLcode(Pump());
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  responseCode_ = int32_t(status);
  if (t.WorkBegun) HandleWorkEnd();
  // Every transfer ends its connection (FORBID_REUSE).
  if (IsConnected) HandleDisconnected();

  if (code == CURLE_OK) {
    if (status >= 200 && status <= 299) return true;
    error = {THttpErrorKind::Protocol, int32_t(status),
             t.StatusLine.empty() ? "HTTP " + std::to_string(status) : t.StatusLine};
    return false;
  }
  error = DescribeFailure(code, t, secure, detail, maxSize);
  return false;
}
