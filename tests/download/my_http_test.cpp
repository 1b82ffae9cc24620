#include "download/my_http.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "download/recording_view.h"
#include "support/file_bytes.h"
#include "support/local_servers.h"
#include "support/temp_folder.h"

namespace {

class MyHttp : public ::testing::Test {
 protected:
  void SetUp() override {
    http.SizeLabel = &view;
    http.ProgressBar = &view;
    http.CaptionControl = &view;
    http.HttpMode = THttpMode::InfoFile;
  }
  bool Get(const std::string& url, int64_t limit = int64_t(64) << 20) {
    got.clear();
    error = THttpError();
    return http.Get(url, got, error, limit);
  }
  TTempFolder web;
  TRecordingView view;
  TMyHttp http;
  std::string got;
  THttpError error;
};

}  // namespace

// The body arrives whole; the window sees connect, progress and the size line growing to the
// full size, receiving and disconnect. Outside modes 1 and 2 the window is left alone. An
// answer outside 200..299 is a protocol error with the status line as message; its page never
// reaches the sink, and a redirect is not followed. More than the caller takes is refused.
TEST_F(MyHttp, GetWithProgressErrorAnswersAndSizeCap) {
  std::vector<uint8_t> body(300000);
  for (size_t i = 0; i < body.size(); ++i) body[i] = uint8_t('a' + i % 26);
  Spit(web.File("info.dat"), body);
  std::filesystem::create_directory(web.Path() / "folder");
  TStaticServer server(web.Path());
  ASSERT_TRUE(Get("http://" + server.Host() + "/info.dat")) << error.Message;
  EXPECT_EQ(got, std::string(body.begin(), body.end()));
  EXPECT_EQ(http.ResponseCode(), 200);
  EXPECT_FALSE(http.Connected());
  EXPECT_EQ(http.WorkCount, 300000);
  ASSERT_GE(view.ProgressLog.size(), 4u);
  EXPECT_EQ(view.ProgressLog[0], "pos 0");
  EXPECT_EQ(view.ProgressLog[1], "max 300000");
  EXPECT_EQ(view.ProgressLog.back(), "pos 300000");
  EXPECT_EQ(view.ProgressLog[view.ProgressLog.size() - 2], "size 293 Kb / 293 Kb");
  int last = 0;
  for (const std::string& entry : view.ProgressLog) {
    if (entry.rfind("pos ", 0) != 0 || entry == "pos 0") continue;
    EXPECT_GT(std::stoi(entry.substr(4)), last);
    last = std::stoi(entry.substr(4));
  }
  ASSERT_GE(view.Captions.size(), 3u);
  EXPECT_EQ(view.Captions.front(), "Download - ProcConnect");
  EXPECT_EQ(view.Captions[1], "Download - ProcReceivingData");
  EXPECT_EQ(view.Captions.back(), "Download - ProcDisconnect");
  // An empty answer counts from nothing, not from where the last one ended.
  Spit(web.File("empty.dat"), {});
  ASSERT_TRUE(Get("http://" + server.Host() + "/empty.dat")) << error.Message;
  EXPECT_EQ(got, "");
  EXPECT_EQ(http.WorkCount, 0);

  view = TRecordingView();
  http.HttpMode = THttpMode::Idle;
  ASSERT_TRUE(Get("http://" + server.Host() + "/info.dat"));
  EXPECT_EQ(got.size(), body.size());
  EXPECT_TRUE(view.Captions.empty());
  EXPECT_TRUE(view.ProgressLog.empty());

  const std::string base = "http://" + server.Host();
  EXPECT_FALSE(Get(base + "/missing"));
  EXPECT_EQ(error.Kind, THttpErrorKind::Protocol);
  EXPECT_EQ(error.ResponseCode, 404);
  EXPECT_EQ(error.Message.substr(0, 13), "HTTP/1.0 404 ");
  EXPECT_EQ(error.Message.substr(error.Message.size() - 9), "not found");  // the reason phrase whole
  EXPECT_EQ(got, "");
  EXPECT_FALSE(Get(base + "/folder"));  // answered with a redirect to "/folder/"
  EXPECT_EQ(error.ResponseCode, 301);
  EXPECT_EQ(got, "");
  EXPECT_FALSE(Get(base + "/info.dat", 4));
  EXPECT_EQ(error.Kind, THttpErrorKind::Other);
  EXPECT_EQ(error.Message, "The answer is larger than 4 bytes.");
  // The limit itself is allowed; one byte under the answer's size is not.
  ASSERT_TRUE(Get(base + "/info.dat", int64_t(body.size()))) << error.Message;
  EXPECT_EQ(got.size(), body.size());
  EXPECT_FALSE(Get(base + "/info.dat", int64_t(body.size()) - 1));
  EXPECT_EQ(error.Message, "The answer is larger than 299999 bytes.");
  EXPECT_FALSE(http.Connected());
}

// A connection that never completes, and a source that goes silent after its header: both end
// with their time-out message, and the window handles its input all the while; Disconnect from
// the window cuts a silent transfer off at once.
TEST_F(MyHttp, TimeOutsAndCutOff) {
  TStalledListener stalled;
  if (stalled.Stalled()) {
    http.ConnectTimeout = 300;
    EXPECT_FALSE(Get("http://127.0.0.1:" + std::to_string(stalled.Port()) + "/info.dat"));
    EXPECT_EQ(error.Kind, THttpErrorKind::ConnectTimeout);
    EXPECT_EQ(error.Message, "Connect timed out.");
    EXPECT_GE(view.Idle, 3);
  }
  TSilentServer silent;
  http.LowSpeedTime = 1;
  view.Idle = 0;
  EXPECT_FALSE(Get("http://" + silent.Host() + "/info.dat"));
  EXPECT_EQ(error.Kind, THttpErrorKind::ReadTimeout);
  EXPECT_EQ(error.Message, "Read timed out.");
  EXPECT_EQ(error.ResponseCode, 0);  // the header said 200, but no answer came whole
  EXPECT_GE(view.Idle, 10);
  EXPECT_FALSE(http.Connected());

  http.LowSpeedTime = kDefaultLowSpeedTime;
  // A fetch asked for while one runs (a click handled meanwhile) is refused without touching the
  // running one, even right after a cut-off was asked for.
  int nestedFetched = 0;
  THttpError nestedError;
  view.OnIdle = [&] {
    if (view.Idle == 2 || view.Idle == 5) {
      if (view.Idle == 5) http.Disconnect();
      std::string other;
      nestedFetched += http.Get("http://" + silent.Host() + "/other.dat", other, nestedError) ? 1 : 0;
    }
  };
  view.Idle = 0;
  EXPECT_FALSE(Get("http://" + silent.Host() + "/info.dat"));
  EXPECT_EQ(view.Idle, 5);
  EXPECT_EQ(error.Message, "Connection closed.");
  EXPECT_EQ(nestedFetched, 0);
  EXPECT_EQ(nestedError.Kind, THttpErrorKind::Other);
  EXPECT_EQ(nestedError.ResponseCode, 0);
  EXPECT_EQ(silent.Requests(), 2);
}

// The TLS choice is the version offered: a server that speaks only TLS 1.3 refuses "TLS v1_2"
// and takes "TLS v1_3" and "SSL v23". Retired or unknown choices are refused before connecting.
// Without the server's certificate, or over plain HTTP, nothing is fetched.
TEST_F(MyHttp, Https) {
  TTempFolder keys;
  const TTestCertificate cert = TTestCertificate::Make(keys.Path());
  Spit(web.File("info.dat"), {'e', 'x', 't', ':', 'z', 'i', 'p'});
  TStaticServer server(web.Path(), &cert, "-tls1_3");
  const std::string url = "https://" + server.Host() + "/info.dat";
  http.TrustedCertificates = cert.CertPem;
  EXPECT_EQ(http.SslVersion, kTlsV1_2);
  EXPECT_FALSE(Get(url));
  for (int32_t choice : {kTlsV1_3, kSslV23}) {
    http.SslVersion = choice;
    ASSERT_TRUE(Get(url)) << error.Message;
    EXPECT_EQ(got, "ext:zip");
  }
  for (int32_t choice : {int32_t(kSslV2), int32_t(kSslV3), 7, -1}) {
    http.SslVersion = choice;
    EXPECT_FALSE(Get(url));
    EXPECT_EQ(error.Kind, THttpErrorKind::SslLibrary);
    EXPECT_EQ(error.Message, "Could not load SSL library.");
  }
  http.SslVersion = kTlsV1_3;
  for (const std::string& trusted : {std::string(), TTestCertificate::Make(web.Path()).CertPem}) {
    http.TrustedCertificates = trusted;
    EXPECT_FALSE(Get(url));
    EXPECT_EQ(error.Kind, THttpErrorKind::Other);
    EXPECT_EQ(got, "");
  }
  EXPECT_FALSE(Get("http://" + server.Host() + "/info.dat"));
}

// Into a file: the body arrives whole; a file that cannot take the bytes, at once or when they
// are flushed, fails the transfer.
TEST_F(MyHttp, GetIntoAFile) {
  std::vector<uint8_t> body(100000, 'z');
  Spit(web.File("a.zip"), body);
  TStaticServer server(web.Path());
  const std::string url = "http://" + server.Host() + "/a.zip";
  TTempFolder out;
  std::FILE* file = std::fopen(out.File("a.zip").c_str(), "wb");
  ASSERT_TRUE(http.Get(url, file, error));
  std::fclose(file);
  EXPECT_EQ(Slurp(out.File("a.zip")), body);

  file = std::fopen(out.File("a.zip").c_str(), "rb");
  EXPECT_FALSE(http.Get(url, file, error));
  std::fclose(file);
  EXPECT_EQ(error.Kind, THttpErrorKind::Other);
  EXPECT_EQ(error.Message, "The received data cannot be stored.");

  file = std::fopen("/dev/full", "wb");
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(http.Get(url, file, error));
  std::fclose(file);
}
