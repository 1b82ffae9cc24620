#include "download/my_http.h"

#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include "download/recording_view.h"
#include "download/test_http_server.h"

namespace {

std::string Body(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char('a' + i % 26);
  return s;
}

const TTestCertificate& Certificate() {
  static const TTestCertificate cert = TTestCertificate::Make();
  return cert;
}

class MyHttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    http.ProgressBar = &view;
    http.CaptionControl = &view;
    http.HttpMode = 1;
  }
  bool Get(const std::string& url, int64_t limit = int64_t(64) << 20) {
    got.clear();
    error = THttpError();
    return http.Get(url, got, error, limit);
  }
  static std::string Url(const TTestHttpServer& s, const std::string& path, bool secure = false) {
    return (secure ? "https://" : "http://") + s.Host() + path;
  }
  TRecordingView view;
  TMyHttp http;
  std::string got;
  THttpError error;
};

}  // namespace

// The body arrives whole; the window sees connect, progress growing to the full size,
// receiving and disconnect. Outside modes 1 and 2 the window is left alone.
TEST_F(MyHttpTest, GetWithProgress) {
  TTestHttpServer server;
  const std::string body = Body(300000);
  server.Route("/a/info.dat", {.Body = body});
  ASSERT_TRUE(Get(Url(server, "/a/info.dat"))) << error.Message;
  EXPECT_EQ(got, body);
  EXPECT_EQ(http.ResponseCode(), 200);
  EXPECT_FALSE(http.Connected());
  EXPECT_EQ(http.WorkCount, 300000);
  ASSERT_GE(view.ProgressLog.size(), 3u);
  EXPECT_EQ(view.ProgressLog[0], "pos 0");
  EXPECT_EQ(view.ProgressLog[1], "max 300000");
  EXPECT_EQ(view.ProgressLog.back(), "pos 300000");
  for (size_t i = 3; i < view.ProgressLog.size(); ++i)
    EXPECT_GT(std::stoi(view.ProgressLog[i].substr(4)), std::stoi(view.ProgressLog[i - 1].substr(4)));
  ASSERT_GE(view.Captions.size(), 3u);
  EXPECT_EQ(view.Captions.front(), "Download - ProcConnect");
  EXPECT_EQ(view.Captions[1], "Download - ProcReceivingData");
  EXPECT_EQ(view.Captions.back(), "Download - ProcDisconnect");

  view = TRecordingView();
  http.HttpMode = 0;
  ASSERT_TRUE(Get(Url(server, "/a/info.dat")));
  EXPECT_EQ(got, body);
  EXPECT_TRUE(view.Captions.empty());
  EXPECT_TRUE(view.ProgressLog.empty());
}

// An answer outside 200..299 is a protocol error with the status line as message; its page
// never reaches the sink, and a redirect is not followed.
TEST_F(MyHttpTest, ErrorAnswers) {
  TTestHttpServer server;
  server.Route("/moved", {.Status = 302, .Reason = "Found", .Body = "page", .ExtraHeaders = "Location: /x\r\n"});
  server.Route("/x", {.Body = "moved here"});
  EXPECT_FALSE(Get(Url(server, "/moved")));
  EXPECT_EQ(error.Kind, THttpErrorKind::Protocol);
  EXPECT_EQ(error.ResponseCode, 302);
  EXPECT_EQ(error.Message, "HTTP/1.1 302 Found");
  EXPECT_EQ(got, "");
  EXPECT_FALSE(http.Connected());
  EXPECT_EQ(server.Requests(), std::vector<std::string>{"/moved"});

  // More than the caller takes is refused.
  EXPECT_FALSE(Get(Url(server, "/x"), 4));
  EXPECT_EQ(error.Kind, THttpErrorKind::Other);
  EXPECT_EQ(error.Message, "The answer is larger than 4 bytes.");
}

TEST_F(MyHttpTest, ConnectTimeOut) {
  TStalledListener stalled;
  if (!stalled.Stalled()) GTEST_SKIP() << "the system accepts every connection attempt";
  http.ConnectTimeout = 300;
  EXPECT_FALSE(Get("http://127.0.0.1:" + std::to_string(stalled.Port()) + "/info.dat"));
  EXPECT_EQ(error.Kind, THttpErrorKind::ConnectTimeout);
  EXPECT_EQ(error.Message, "Connect timed out.");
  EXPECT_FALSE(http.Connected());
}

// The TLS choice is the version negotiated; TLS 1.0 is either refused by this system's TLS
// library or negotiated exactly.
TEST_F(MyHttpTest, HttpsVersions) {
  TTestHttpServer server(&Certificate());
  server.Route("/info.dat", {.Body = "ext:rar"});
  http.TrustedCertificates = Certificate().CertPem;
  EXPECT_EQ(http.SslVersion, kTlsV1_2);
  for (int32_t choice : {kTlsV1_2, kTlsV1_3, kSslV23}) {
    http.SslVersion = choice;
    ASSERT_TRUE(Get(Url(server, "/info.dat", true))) << error.Message;
    EXPECT_EQ(got, "ext:rar");
  }
  EXPECT_EQ(server.TlsVersions(), (std::vector<int>{TLS1_2_VERSION, TLS1_3_VERSION, TLS1_3_VERSION}));
  http.SslVersion = kTlsV1;
  if (Get(Url(server, "/info.dat", true))) {
    EXPECT_EQ(server.TlsVersions().back(), TLS1_VERSION);
  }

  // Retired or unknown choices are refused before connecting.
  const size_t asked = server.Requests().size();
  for (int32_t choice : {int32_t(kSslV2), int32_t(kSslV3), 7, -1}) {
    http.SslVersion = choice;
    EXPECT_FALSE(Get(Url(server, "/info.dat", true)));
    EXPECT_EQ(error.Kind, THttpErrorKind::SslLibrary);
    EXPECT_EQ(error.Message, "Could not load SSL library.");
  }
  EXPECT_EQ(server.Requests().size(), asked);
}

// No certificate, another certificate for the same address, or plain HTTP to a TLS server.
TEST_F(MyHttpTest, HttpsFailures) {
  TTestHttpServer server(&Certificate());
  server.Route("/info.dat", {.Body = "ext:rar"});
  for (const std::string& trusted : {std::string(), TTestCertificate::Make().CertPem}) {
    http.TrustedCertificates = trusted;
    EXPECT_FALSE(Get(Url(server, "/info.dat", true)));
    EXPECT_EQ(error.Kind, THttpErrorKind::Other);
    EXPECT_EQ(got, "");
  }
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_FALSE(Get(Url(server, "/info.dat")));
  EXPECT_NE(error.Kind, THttpErrorKind::None);
}
