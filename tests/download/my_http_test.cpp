#include "download/my_http.h"

#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <algorithm>

#include "download/recording_view.h"
#include "download/test_http_server.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

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
  std::string Url(const TTestHttpServer& s, const std::string& path, bool secure = false) {
    return (secure ? "https://" : "http://") + s.Host() + path;
  }
  TRecordingView view;
  TMyHttp http;
};

}  // namespace

TEST_F(MyHttpTest, CreatedAsTheWindowExpects) {
  TMyHttp fresh;
  EXPECT_EQ(fresh.ShowInCaption, 1);
  EXPECT_EQ(fresh.IsConnected, 0);
  EXPECT_EQ(fresh.HttpMode, 0);
  EXPECT_EQ(fresh.ConnectTimeout, 5000);
  EXPECT_EQ(fresh.SslVersion, kTlsV1_2);
  EXPECT_EQ(fresh.ProgressBar, nullptr);
}

// A GET into memory: the body arrives whole, the window sees connect, progress up to the full
// size, receiving and disconnect, and the connection is closed afterwards.
TEST_F(MyHttpTest, GetIntoMemoryWithProgress) {
  TTestHttpServer server;
  const std::string body = Body(300000);
  server.Route("/a/info.dat", {.Body = body});
  std::string got;
  THttpError error;
  ASSERT_TRUE(http.Get(Url(server, "/a/info.dat"), got, error)) << error.Message;
  EXPECT_EQ(got, body);
  EXPECT_EQ(error.Kind, THttpErrorKind::None);
  EXPECT_EQ(http.ResponseCode(), 200);
  EXPECT_FALSE(http.Connected());
  EXPECT_EQ(http.WorkCountMax, 300000);
  EXPECT_EQ(http.WorkCount, 300000);
  ASSERT_GE(view.ProgressLog.size(), 3u);
  EXPECT_EQ(view.ProgressLog[0], "pos 0");
  EXPECT_EQ(view.ProgressLog[1], "max 300000");
  EXPECT_EQ(view.ProgressLog.back(), "pos 300000");
  // Positions only grow.
  int last = -1;
  for (size_t i = 2; i < view.ProgressLog.size(); ++i) {
    const int pos = std::stoi(view.ProgressLog[i].substr(4));
    EXPECT_GT(pos, last);
    last = pos;
  }
  ASSERT_GE(view.Captions.size(), 3u);
  EXPECT_EQ(view.Captions.front(), "Download - ProcConnect");
  EXPECT_EQ(view.Captions[1], "Download - ProcReceivingData");
  EXPECT_EQ(view.Captions.back(), "Download - ProcDisconnect");
  EXPECT_EQ(server.Requests(), std::vector<std::string>{"/a/info.dat"});
}

// Outside modes 1 and 2 the handlers leave the window alone.
TEST_F(MyHttpTest, IdleModeShowsNothing) {
  TTestHttpServer server;
  server.Route("/x", {.Body = "data"});
  http.HttpMode = 0;
  std::string got;
  THttpError error;
  ASSERT_TRUE(http.Get(Url(server, "/x"), got, error));
  EXPECT_EQ(got, "data");
  EXPECT_TRUE(view.Captions.empty());
  EXPECT_TRUE(view.ProgressLog.empty());
}

TEST_F(MyHttpTest, GetIntoFile) {
  TTestHttpServer server;
  const std::string body = Body(70000);
  server.Route("/f.rar", {.Body = body});
  TTempFolder dir;
  std::FILE* f = std::fopen(dir.File("f.rar").c_str(), "wb");
  THttpError error;
  ASSERT_TRUE(http.Get(Url(server, "/f.rar"), f, error)) << error.Message;
  std::fclose(f);
  const auto bytes = Slurp(dir.File("f.rar"));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), body);
}

// Answers outside 200..299 are protocol errors with the status line as message; their pages
// never reach the sink, and redirects are not followed.
TEST_F(MyHttpTest, ErrorAnswers) {
  TTestHttpServer server;
  server.Route("/gone", {.Status = 404, .Reason = "Not Found", .Body = "page"});
  server.Route("/login", {.Status = 401, .Reason = "Unauthorized", .Body = "page"});
  server.Route("/broken", {.Status = 500, .Reason = "Internal Server Error", .Body = "page"});
  server.Route("/moved", {.Status = 302, .Reason = "Found", .Body = "",
                          .ExtraHeaders = "Location: http://" + server.Host() + "/gone\r\n"});
  struct TCase {
    const char* Path;
    int Code;
    const char* Message;
  };
  for (const TCase& c : {TCase{"/gone", 404, "HTTP/1.1 404 Not Found"}, TCase{"/login", 401, "HTTP/1.1 401 Unauthorized"},
                         TCase{"/broken", 500, "HTTP/1.1 500 Internal Server Error"},
                         TCase{"/moved", 302, "HTTP/1.1 302 Found"}}) {
    std::string got;
    THttpError error;
    EXPECT_FALSE(http.Get(Url(server, c.Path), got, error)) << c.Path;
    EXPECT_EQ(error.Kind, THttpErrorKind::Protocol) << c.Path;
    EXPECT_EQ(error.ResponseCode, c.Code);
    EXPECT_EQ(error.Message, c.Message);
    EXPECT_EQ(got, "") << c.Path;
    EXPECT_FALSE(http.Connected());
  }
  EXPECT_EQ(server.Requests(), (std::vector<std::string>{"/gone", "/login", "/broken", "/moved"}));
}

TEST_F(MyHttpTest, TransferFailures) {
  // Nothing listens: refused at once, no caption shown.
  std::string got;
  THttpError error;
  EXPECT_FALSE(http.Get("http://127.0.0.1:" + std::to_string(UnusedPort()) + "/info.dat", got, error));
  EXPECT_EQ(error.Kind, THttpErrorKind::Other);
  EXPECT_FALSE(error.Message.empty());
  EXPECT_TRUE(view.Captions.empty());

  // The server hangs up in the middle of the body.
  TTestHttpServer server;
  server.Route("/cut", {.Body = Body(100000), .CloseAfter = 40000});
  server.Route("/big", {.Body = Body(5000)});
  EXPECT_FALSE(http.Get(Url(server, "/cut"), got, error));
  EXPECT_EQ(error.Kind, THttpErrorKind::Other);
  EXPECT_FALSE(error.Message.empty());
  EXPECT_FALSE(http.Connected());
  EXPECT_EQ(view.Captions.back(), "Download - ProcDisconnect");

  // More than the caller takes.
  EXPECT_FALSE(http.Get(Url(server, "/big"), got, error, 4096));
  EXPECT_EQ(error.Kind, THttpErrorKind::Other);
  EXPECT_EQ(error.Message, "The answer is larger than 4096 bytes.");
}

TEST_F(MyHttpTest, ConnectTimeOut) {
  TStalledListener stalled;
  if (!stalled.Stalled()) GTEST_SKIP() << "the system accepts every connection attempt";
  http.ConnectTimeout = 300;
  std::string got;
  THttpError error;
  EXPECT_FALSE(http.Get("http://127.0.0.1:" + std::to_string(stalled.Port()) + "/info.dat", got, error));
  EXPECT_EQ(error.Kind, THttpErrorKind::ConnectTimeout);
  EXPECT_EQ(error.Message, "Connect timed out.");
  EXPECT_FALSE(http.Connected());
}

// Disconnect from a handler (the window closing during a transfer) cuts the transfer off.
TEST_F(MyHttpTest, DisconnectDuringTransfer) {
  struct TClosingView : TRecordingView {
    TMyHttp* Http = nullptr;
    void SetProgressPosition(int32_t pos) override {
      TRecordingView::SetProgressPosition(pos);
      if (pos > 0) Http->Disconnect();
    }
  } closing;
  closing.Http = &http;
  http.ProgressBar = &closing;
  TTestHttpServer server;
  server.Route("/slow", {.Body = Body(4 << 20)});
  std::string got;
  THttpError error;
  EXPECT_FALSE(http.Get(Url(server, "/slow"), got, error, int64_t(8) << 20));
  EXPECT_EQ(error.Kind, THttpErrorKind::Other);
  EXPECT_LT(got.size(), size_t(4) << 20);
  EXPECT_FALSE(http.Connected());
}

class MyHttpsTest : public MyHttpTest {};

TEST_F(MyHttpsTest, TrustedServerAndVersions) {
  TTestHttpServer server(&Certificate());
  server.Route("/info.dat", {.Body = "ext:rar"});
  http.TrustedCertificates = Certificate().CertPem;
  std::string got;
  THttpError error;
  http.SslVersion = kTlsV1_2;
  ASSERT_TRUE(http.Get(Url(server, "/info.dat", true), got, error)) << error.Message;
  EXPECT_EQ(got, "ext:rar");
  http.SslVersion = kTlsV1_3;
  ASSERT_TRUE(http.Get(Url(server, "/info.dat", true), got, error)) << error.Message;
  http.SslVersion = kSslV23;
  ASSERT_TRUE(http.Get(Url(server, "/info.dat", true), got, error)) << error.Message;
  EXPECT_EQ(server.TlsVersions(), (std::vector<int>{TLS1_2_VERSION, TLS1_3_VERSION, TLS1_3_VERSION}));

  // TLS 1.0 is either refused by this system's TLS library or negotiated exactly.
  http.SslVersion = kTlsV1;
  if (http.Get(Url(server, "/info.dat", true), got, error)) {
    EXPECT_EQ(server.TlsVersions().back(), TLS1_VERSION);
  } else {
    EXPECT_EQ(error.Kind, THttpErrorKind::Other);
  }
}

TEST_F(MyHttpsTest, RetiredProtocolsAreRefusedBeforeConnecting) {
  TTestHttpServer server(&Certificate());
  http.TrustedCertificates = Certificate().CertPem;
  for (int32_t choice : {int32_t(kSslV2), int32_t(kSslV3), 7, -1}) {
    http.SslVersion = choice;
    std::string got;
    THttpError error;
    EXPECT_FALSE(http.Get(Url(server, "/info.dat", true), got, error));
    EXPECT_EQ(error.Kind, THttpErrorKind::SslLibrary);
    EXPECT_EQ(error.Message, "Could not load SSL library.");
  }
  // Plain HTTP does not use the TLS choice.
  EXPECT_TRUE(server.Requests().empty());
}

TEST_F(MyHttpsTest, UntrustedCertificateFails) {
  TTestHttpServer server(&Certificate());
  server.Route("/info.dat", {.Body = "ext:rar"});
  std::string got;
  THttpError error;
  EXPECT_FALSE(http.Get(Url(server, "/info.dat", true), got, error));
  EXPECT_EQ(error.Kind, THttpErrorKind::Other);
  EXPECT_EQ(got, "");
  EXPECT_TRUE(server.Requests().empty());

  // Another certificate for the same address is no better.
  http.TrustedCertificates = TTestCertificate::Make().CertPem;
  EXPECT_FALSE(http.Get(Url(server, "/info.dat", true), got, error));
  EXPECT_TRUE(server.Requests().empty());
}

TEST_F(MyHttpsTest, PlainClientAgainstTlsServerFails) {
  TTestHttpServer server(&Certificate());
  std::string got;
  THttpError error;
  EXPECT_FALSE(http.Get(Url(server, "/info.dat"), got, error));
  EXPECT_NE(error.Kind, THttpErrorKind::None);
}
