#include "download/download_protocol.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "download/recording_view.h"
#include "download/test_http_server.h"
#include "platform/rar_archive.h"
#include "support/file_bytes.h"
#include "support/rar_writer.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

const std::string kSite = "/zorva/jigsaws_quix/";

std::string AsText(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

std::vector<uint8_t> JigsawBytes(size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(seed ^ (i * 31) ^ (i >> 9));
  return v;
}

// Two sources on 127.0.0.1, the player's folders in a temporary folder, and the window.
class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir.Path() / "temp");
    fs::create_directory(dir.Path() / "jigsaws");
    s.sTempDir = dir.File("temp") + "/";
    s.sJigsawDir = dir.File("jigsaws") + "/";
    s.HttpClient = std::make_unique<TMyHttp>();
    s.HttpClient->ProgressBar = &view;
    s.HttpClient->CaptionControl = &view;
    s.ServerHosts = {source0.Host(), source1.Host()};
    options.DnSrc = source0.Host();
  }

  void ServeInfo(TTestHttpServer& server, const std::string& text) { server.Route(kSite + "info.dat", {.Body = text}); }
  void ServeArchive(TTestHttpServer& server, const std::string& name, const std::vector<uint8_t>& bytes) {
    server.Route(kSite + name, {.Body = AsText(bytes)});
  }
  void LoadInfo() {
    ServeInfo(source0, "ext:rar\r\n");
    ASSERT_EQ(FetchInfoFile(s, options, view), kDownloadOk);
    view = TRecordingView();
  }
  std::vector<std::string> TempFiles() {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(s.sTempDir)) names.push_back(e.path().filename().string());
    return names;
  }

  TTestHttpServer source0, source1;
  TTempFolder dir;
  TDownloadState s;
  TGameOptions options;
  TRecordingView view;
};

}  // namespace

TEST(InfoFileTest, Lines) {
  std::string ext;
  ParseInfoFile("  EXT  :  RAR  \r\nother:mirror.example\r\n", ext);
  EXPECT_EQ(ext, ".rar");
  ext.clear();
  ParseInfoFile("ext:.ZIP", ext);
  EXPECT_EQ(ext, ".zip");
  // Lines without a colon or with an empty side, and other keys, are skipped.
  ext = ".rar";
  ParseInfoFile("ext\n:zip\next:\n extension:zip\nnothing here\n", ext);
  EXPECT_EQ(ext, ".rar");
  // The value is split at the first colon only; later "ext" lines win; any line break counts.
  ext.clear();
  ParseInfoFile("ext:r:ar\rext:7z\n", ext);
  EXPECT_EQ(ext, ".7z");
  // Values that are no plain extension would make paths and URLs: skipped.
  ext = ".rar";
  for (const char* hostile : {"ext:../../x", "ext:a/b", "ext:rar%00", "ext:abcdefghijklmnopq", "ext:.", "ext:r ar"}) {
    ParseInfoFile(hostile, ext);
    EXPECT_EQ(ext, ".rar") << hostile;
  }
}

TEST(InfoFileTest, HtmlRecognition) {
  EXPECT_TRUE(IsHtmlText("<HTML><head>"));
  EXPECT_TRUE(IsHtmlText("<!DOCTYPE x>\n<HtMl>"));
  EXPECT_FALSE(IsHtmlText(""));
  EXPECT_FALSE(IsHtmlText("ext:rar"));
  EXPECT_FALSE(IsHtmlText("<html lang=en>"));
  EXPECT_FALSE(IsHtmlText(std::string_view("ab\0<html>", 9)));  // after a zero byte
  EXPECT_TRUE(IsHtmlText(std::string(250, ' ') + "<html>"));   // ends at byte 256
  EXPECT_FALSE(IsHtmlText(std::string(251, ' ') + "<html>"));  // crosses byte 256

  TTempFolder dir;
  Spit(dir.File("a"), RarBytes(std::string(100, 'x') + "<Html><title>x</title>"));
  Spit(dir.File("b"), MakeRar4({{.Name = "<html>", .Data = RarBytes("<html>")}}));
  EXPECT_TRUE(IsHtmlFile(dir.File("a")));
  EXPECT_FALSE(IsHtmlFile(dir.File("b")));  // a zero byte in the header comes first
  EXPECT_FALSE(IsHtmlFile(dir.File("missing")));
}

TEST(InfoFileTest, SourcesAndUrls) {
  const TServerHosts hosts = {"one.example", "Two.Example"};
  EXPECT_EQ(ServerIndex(hosts, "one.example"), 0);
  EXPECT_EQ(ServerIndex(hosts, "TWO.example"), 1);
  EXPECT_EQ(ServerIndex(hosts, "three.example"), 0);
  const TServerHosts real = TDownloadState().ServerHosts;
  EXPECT_EQ(real[0], kServerHost0);
  EXPECT_EQ(real[1], kServerHost1);
  EXPECT_NE(real[0], real[1]);

  TGameOptions o;
  o.DnSrc = "host:8080";
  EXPECT_EQ(DownloadUrl(o, "info.dat"), "http://host:8080/zorva/jigsaws_quix/info.dat");
  o.UseSecure = true;
  o.SiteJigsawsDir = "p/";
  EXPECT_EQ(UrlScheme(o), "https://");
  EXPECT_EQ(DownloadUrl(o, "big cat#1?.rar"), "https://host:8080/p/big%20cat%231%3F.rar");
}

TEST(InfoFileTest, ErrorPages) {
  struct TCase {
    const char* Page;
    const char* Shown;  // nullptr: nothing shown
  };
  for (const TCase& c : {TCase{"<html><head><title>404 Not Found</title></head></html>", "MS_FileNotFound[u]"},
                         TCase{"<HTML><TITLE>401 Authorization Required</TITLE></HTML>", "MS_InvalidLogin[u]"},
                         TCase{"<html><title> 404 Gone</title>", " 404 Gone"},  // first word is empty
                         TCase{"<html><title>Service Down Today</title>", "Service Down Today"},
                         TCase{"<html><title>404</title>", "404"},
                         TCase{"<html></title>x<title>", ""},
                         TCase{"<title>404 Not Found</title>", nullptr},
                         TCase{"<html><title>no end", nullptr}}) {
    TRecordingView view;
    TDownloadState s;
    s.DownloadRunning = true;
    view.Page = c.Page;
    ReportHtmlError(s, view, "u");
    if (c.Shown) {
      ASSERT_EQ(view.Messages.size(), 1u) << c.Page;
      EXPECT_EQ(view.Messages[0], (TShownMessage{c.Shown, kMbIconExclamation}));
      EXPECT_FALSE(s.DownloadRunning);
    } else {
      EXPECT_TRUE(view.Messages.empty()) << c.Page;
      EXPECT_TRUE(s.DownloadRunning);
    }
  }
}

TEST_F(DownloadTest, InfoFileFetched) {
  ServeInfo(source0, "EXT : RAR\r\nother: x\r\n");
  EXPECT_EQ(FetchInfoFile(s, options, view), kDownloadOk);
  EXPECT_TRUE(s.InfoLoaded);
  EXPECT_EQ(s.ArchiveExt, ".rar");
  EXPECT_EQ(s.sLastUrl, "http://" + source0.Host() + kSite + "info.dat");
  EXPECT_TRUE(s.DownloadRunning);
  EXPECT_TRUE(view.Messages.empty());
  EXPECT_EQ(view.Captions.front(), "Download - ProcConnect");
  EXPECT_EQ(view.Captions.back(), "Download");
  EXPECT_EQ(view.ProgressLog.front(), "reset");
  EXPECT_EQ(view.ProgressLog.back(), "reset");
  EXPECT_EQ(s.HttpClient->HttpMode, 0);
  // Loaded once per activation: no second request.
  EXPECT_EQ(FetchInfoFile(s, options, view), kDownloadOk);
  EXPECT_EQ(source0.Requests().size(), 1u);
}

TEST_F(DownloadTest, InfoFileFailures) {
  struct TCase {
    TTestRoute Route;
    int32_t Result;
    std::string Shown;
  };
  const std::string url = "http://" + source0.Host() + kSite + "info.dat";
  for (const TCase& c : {TCase{{.Status = 404, .Reason = "Not Found"}, kInfoUnreadable, "MS_FileNotFound[" + url + "]"},
                         TCase{{.Status = 401, .Reason = "Unauthorized"}, kInfoLoginRefused, "MS_InvalidLogin[" + url + "]"},
                         TCase{{.Status = 500, .Reason = "Internal Server Error"}, kInfoUnreadable,
                               "HTTP/1.1 500 Internal Server Error"},
                         TCase{{.Body = "<html><title>Site Closed</title></html>"}, kInfoUnreadable, "Site Closed"},
                         TCase{{.Body = "<html><title>404 Not Found</title></html>"}, kInfoUnreadable,
                               "MS_FileNotFound[" + url + "]"},
                         TCase{{.Body = "other:elsewhere\r\n"}, kInfoUnreadable, ""},
                         TCase{{.Body = ""}, kInfoUnreadable, ""}}) {
    source0.Route(kSite + "info.dat", c.Route);
    view.Messages.clear();
    EXPECT_EQ(FetchInfoFile(s, options, view), c.Result) << c.Shown;
    EXPECT_FALSE(s.InfoLoaded);
    if (c.Shown.empty()) {
      EXPECT_TRUE(view.Messages.empty());
    } else {
      ASSERT_EQ(view.Messages.size(), 1u) << c.Shown;
      EXPECT_EQ(view.Messages[0], (TShownMessage{c.Shown, kMbIconExclamation}));
    }
    EXPECT_EQ(view.Captions.back(), "Download");
  }
}

TEST_F(DownloadTest, InfoFileRefusedWithoutTransfer) {
  ServeInfo(source0, "ext:rar");
  s.DownloadStop = true;
  EXPECT_EQ(FetchInfoFile(s, options, view), kInfoUnreadable);
  s.DownloadStop = false;
  s.DownloadClosing = true;
  EXPECT_EQ(FetchInfoFile(s, options, view), kInfoUnreadable);
  s.DownloadClosing = false;
  s.HttpClient.reset();
  EXPECT_EQ(FetchInfoFile(s, options, view), kInfoUnreadable);
  EXPECT_TRUE(source0.Requests().empty());
  EXPECT_TRUE(view.Messages.empty());
}

// An info file without "ext" keeps the extension of an earlier fetch of the same run.
TEST_F(DownloadTest, ExtensionKeptFromEarlierFetch) {
  ServeInfo(source0, "other:x");
  s.ArchiveExt = ".rar";
  EXPECT_EQ(FetchInfoFile(s, options, view), kDownloadOk);
  EXPECT_EQ(s.ArchiveExt, ".rar");
  EXPECT_TRUE(s.InfoLoaded);
}

TEST_F(DownloadTest, RefusedConnectionShowsItsMessage) {
  options.DnSrc = "127.0.0.1:" + std::to_string(UnusedPort());
  EXPECT_EQ(FetchInfoFile(s, options, view), kInfoUnreadable);
  ASSERT_EQ(view.Messages.size(), 1u);
  EXPECT_NE(view.Messages[0].Text, "");
  EXPECT_EQ(view.Messages[0].Flags, kMbIconExclamation);
  EXPECT_FALSE(s.DownloadRunning);
}

TEST_F(DownloadTest, SwitchToTheOtherSource) {
  ServeInfo(source1, "ext:rar");
  view.Answers = {kIdYes};
  EXPECT_TRUE(FetchInfoWithRetry(s, options, view));
  EXPECT_EQ(options.DnSrc, source1.Host());
  EXPECT_EQ(view.MessageTexts(),
            (std::vector<std::string>{"MS_FileNotFound[http://" + source0.Host() + kSite + "info.dat]",
                                      "Q_TryAnotherDnSrc[" + source0.Host() + "|" + source1.Host() + "]"}));
  EXPECT_EQ(view.Messages[1].Flags, kMbYesNo | kMbIconQuestion);
  EXPECT_EQ(source1.Requests(), std::vector<std::string>{kSite + "info.dat"});
}

TEST_F(DownloadTest, SwitchDeclinedOrRefusedLogin) {
  view.Answers = {kIdNo};
  EXPECT_FALSE(FetchInfoWithRetry(s, options, view));
  EXPECT_EQ(options.DnSrc, source0.Host());
  EXPECT_TRUE(source1.Requests().empty());

  // Both sources fail: the question comes back for each, naming the current one first.
  view.Messages.clear();
  view.Answers = {kIdYes, kIdYes, kIdNo};
  EXPECT_FALSE(FetchInfoWithRetry(s, options, view));
  std::vector<std::string> questions;
  for (const auto& text : view.MessageTexts())
    if (text.rfind("Q_", 0) == 0) questions.push_back(text);
  EXPECT_EQ(questions, (std::vector<std::string>{"Q_TryAnotherDnSrc[" + source0.Host() + "|" + source1.Host() + "]",
                                                 "Q_TryAnotherDnSrc[" + source1.Host() + "|" + source0.Host() + "]",
                                                 "Q_TryAnotherDnSrc[" + source0.Host() + "|" + source1.Host() + "]"}));
  EXPECT_EQ(options.DnSrc, source0.Host());

  // A refused login offers no other source.
  source0.Route(kSite + "info.dat", {.Status = 401, .Reason = "Unauthorized"});
  view.Messages.clear();
  view.Answers = {kIdYes};
  EXPECT_FALSE(FetchInfoWithRetry(s, options, view));
  EXPECT_EQ(view.Messages.size(), 1u);
}

// A window that is closing asks nothing more.
TEST_F(DownloadTest, NoQuestionWhileClosing) {
  s.DownloadClosing = true;
  view.Answers = {kIdYes};
  EXPECT_FALSE(FetchInfoWithRetry(s, options, view));
  EXPECT_TRUE(view.Messages.empty());
  EXPECT_EQ(options.DnSrc, source0.Host());
  EXPECT_TRUE(source0.Requests().empty());
}

// A source that is not in the table is followed by entry 1.
TEST_F(DownloadTest, UnknownSourceOffersEntryOne) {
  TTestHttpServer other;
  options.DnSrc = other.Host();
  ServeInfo(source1, "ext:rar");
  view.Answers = {kIdYes};
  EXPECT_TRUE(FetchInfoWithRetry(s, options, view));
  EXPECT_EQ(options.DnSrc, source1.Host());
}

TEST_F(DownloadTest, JigsawDownloadedAndUnpacked) {
  LoadInfo();
  const auto cat = JigsawBytes(150000, 1), dog = JigsawBytes(9000, 2);
  ServeArchive(source0, "cat.rar", MakeRar4({{.Name = "cat.zvq", .Data = cat}}));
  ServeArchive(source0, "dog.rar", MakeRar4({{.Name = "dog.zvq", .Data = dog}}));
  view.Items = {{"cat", 0}, {"dog", 1}};
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk);
  EXPECT_EQ(Slurp(s.sJigsawDir + "cat.zvq"), cat);
  EXPECT_EQ(view.Items[0].State, 1);
  EXPECT_EQ(s.FirstDownloadedPath, s.sJigsawDir + "cat.rar");
  EXPECT_EQ(s.sArchiveFile, "cat.rar");
  EXPECT_EQ(s.sLastUrl, "http://" + source0.Host() + kSite + "cat.rar");
  EXPECT_TRUE(TempFiles().empty());
  EXPECT_EQ(view.Shown, std::vector<int32_t>{0});
  EXPECT_EQ(view.Refreshes, 1);
  EXPECT_TRUE(view.Messages.empty());
  EXPECT_EQ(view.ProgressLog[1], "pos 0");
  EXPECT_EQ(view.ProgressLog[2], "max " + std::to_string(MakeRar4({{.Name = "cat.zvq", .Data = cat}}).size()));

  // The first jigsaw stays the one remembered.
  EXPECT_EQ(DownloadJigsaw(s, options, view, 1, true), kDownloadOk);
  EXPECT_EQ(Slurp(s.sJigsawDir + "dog.zvq"), dog);
  EXPECT_EQ(view.Items[1].State, 1);
  EXPECT_EQ(s.FirstDownloadedPath, s.sJigsawDir + "cat.rar");
}

TEST_F(DownloadTest, JigsawDownloadPreconditions) {
  view.Items = {{"cat", 0}};
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk);  // info not loaded
  LoadInfo();
  EXPECT_EQ(DownloadJigsaw(s, options, view, 1, true), kDownloadOk);
  EXPECT_EQ(DownloadJigsaw(s, options, view, -1, true), kDownloadOk);
  s.DownloadStop = true;
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk);
  s.DownloadStop = false;
  s.DownloadClosing = true;
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk);
  EXPECT_EQ(source0.Requests().size(), 1u);  // the info file only
  EXPECT_TRUE(view.Shown.empty());
  EXPECT_TRUE(fs::is_empty(s.sJigsawDir));
}

// A failed transfer leaves nothing in the temporary folder and no jigsaw.
TEST_F(DownloadTest, FailedTransfers) {
  LoadInfo();
  source0.Route(kSite + "gone.rar", {.Status = 404, .Reason = "Not Found"});
  source0.Route(kSite + "login.rar", {.Status = 401, .Reason = "Unauthorized"});
  ServeArchive(source0, "cut.rar", MakeRar4({{.Name = "cut.zvq", .Data = JigsawBytes(200000, 3)}}));
  source0.Route(kSite + "cut.rar", {.Body = AsText(MakeRar4({{.Name = "cut.zvq", .Data = JigsawBytes(200000, 3)}})),
                                    .CloseAfter = 100000});
  view.Items = {{"gone", 0}, {"login", 0}, {"cut", 0}};
  const std::string base = "http://" + source0.Host() + kSite;
  const std::vector<std::string> shown = {"MS_FileNotFound[" + base + "gone.rar]",
                                          "MS_InvalidLogin[" + base + "login.rar]", ""};
  for (int32_t i = 0; i < 3; ++i) {
    view.Messages.clear();
    s.DownloadRunning = true;
    EXPECT_EQ(DownloadJigsaw(s, options, view, i, true), kArchiveFailed) << i;
    EXPECT_FALSE(s.DownloadRunning);
    ASSERT_EQ(view.Messages.size(), 1u);
    if (!shown[size_t(i)].empty()) {
      EXPECT_EQ(view.Messages[0].Text, shown[size_t(i)]);
    }
    EXPECT_EQ(view.Items[size_t(i)].State, 0);
    EXPECT_TRUE(TempFiles().empty()) << i;
  }
  EXPECT_TRUE(fs::is_empty(s.sJigsawDir));
  EXPECT_EQ(s.FirstDownloadedPath, "");
  EXPECT_EQ(view.Refreshes, 0);
}

// An error page in place of the archive is not unpacked; its title is shown.
TEST_F(DownloadTest, ErrorPageInPlaceOfArchive) {
  LoadInfo();
  source0.Route(kSite + "cat.rar", {.Body = "<html><head><title>Quota Exceeded</title></head></html>"});
  view.Items = {{"cat", 0}};
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kArchiveFailed);
  EXPECT_EQ(view.MessageTexts(), std::vector<std::string>{"Quota Exceeded"});
  EXPECT_FALSE(s.DownloadRunning);
  EXPECT_TRUE(TempFiles().empty());
  EXPECT_TRUE(fs::is_empty(s.sJigsawDir));
}

TEST_F(DownloadTest, BrokenArchives) {
  LoadInfo();
  const auto good = JigsawBytes(5000, 4);
  // The first entry unpacks, the second is corrupt: the partly unpacked jigsaw is removed.
  ServeArchive(source0, "cat.rar", MakeRar4({{.Name = "cat.zvq", .Data = good},
                                             {.Name = "cat.txt", .Data = good, .BadDataCrc = true}}));
  ServeArchive(source0, "dog.rar", RarBytes("this is no archive"));
  ServeArchive(source0, "eel.rar", MakeRar4({{.Name = "eel.zvq", .Data = good},
                                             {.Name = "x.zvq", .Data = good, .BadHeaderCrc = true}}));
  ServeArchive(source0, "fox.rar", MakeRar4({{.Name = "../fox.zvq", .Data = good}}));
  view.Items = {{"cat", 0}, {"dog", 0}, {"eel", 0}, {"fox", 0}};

  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kRarBadData);
  EXPECT_EQ(view.Messages, (std::vector<TShownMessage>{{"RARProcessFile error - 12", kMbOk}}));
  EXPECT_FALSE(fs::exists(s.sJigsawDir + "cat.zvq"));

  // The open error is always shown; the others only when asked.
  view.Messages.clear();
  EXPECT_EQ(DownloadJigsaw(s, options, view, 1, false), kRarBadArchive);
  EXPECT_EQ(view.Messages, (std::vector<TShownMessage>{{"RAROpenArchive error - 13", kMbOk}}));

  view.Messages.clear();
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, false), kRarBadData);
  EXPECT_TRUE(view.Messages.empty());

  // A broken header after a good entry fails the download too.
  EXPECT_EQ(DownloadJigsaw(s, options, view, 2, true), kRarBadData);
  EXPECT_EQ(view.Messages, (std::vector<TShownMessage>{{"RARReadHeader error - File header broken", kMbOk}}));
  EXPECT_FALSE(fs::exists(s.sJigsawDir + "eel.zvq"));

  view.Messages.clear();
  EXPECT_EQ(DownloadJigsaw(s, options, view, 3, true), kRarCreateError);
  EXPECT_EQ(view.Messages, (std::vector<TShownMessage>{{"RARProcessFile error - 16", kMbOk}}));
  EXPECT_FALSE(fs::exists(dir.File("fox.zvq")));

  for (const auto& item : view.Items) EXPECT_EQ(item.State, 0);
  EXPECT_EQ(s.FirstDownloadedPath, "");
  EXPECT_TRUE(fs::is_empty(s.sJigsawDir));
  EXPECT_TRUE(TempFiles().empty());
  EXPECT_TRUE(s.DownloadRunning);  // the transfers themselves succeeded: a run goes on
}

TEST_F(DownloadTest, ArchiveFileCannotBeCreated) {
  LoadInfo();
  ServeArchive(source0, "cat.rar", MakeRar4({{.Name = "cat.zvq", .Data = RarBytes("x")}}));
  view.Items = {{"cat", 0}};
  s.sTempDir = dir.File("no-such-folder") + "/";
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kArchiveFailed);
  EXPECT_EQ(view.Messages, (std::vector<TShownMessage>{{"Failed create file " + s.sTempDir + "cat.rar!", kMbOk}}));
  EXPECT_EQ(source0.Requests().size(), 1u);
}

// A link planted where the archive goes is replaced, never written through.
TEST_F(DownloadTest, LinkInTemporaryFolderIsNotFollowed) {
  LoadInfo();
  const auto cat = JigsawBytes(1000, 5);
  ServeArchive(source0, "cat.rar", MakeRar4({{.Name = "cat.zvq", .Data = cat}}));
  Spit(dir.File("victim"), RarBytes("keep"));
  fs::create_symlink(dir.File("victim"), s.sTempDir + "cat.rar");
  view.Items = {{"cat", 0}};
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk);
  EXPECT_EQ(Slurp(dir.File("victim")), RarBytes("keep"));
  EXPECT_EQ(Slurp(s.sJigsawDir + "cat.zvq"), cat);
}

// Names from the download list that hold a path are refused without a request; names with
// blanks are escaped in the URL.
TEST_F(DownloadTest, ListNames) {
  LoadInfo();
  const auto data = JigsawBytes(100, 6);
  source0.Route(kSite + "big%20cat.rar", {.Body = AsText(MakeRar4({{.Name = "big cat.zvq", .Data = data}}))});
  view.Items = {{"../evil", 0}, {"a\\b", 0}, {"..", 0}, {"big cat", 0}};
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(DownloadJigsaw(s, options, view, i, true), kArchiveFailed);
  EXPECT_EQ(source0.Requests().size(), 1u);
  EXPECT_EQ(DownloadJigsaw(s, options, view, 3, true), kDownloadOk);
  EXPECT_EQ(Slurp(s.sJigsawDir + "big cat.zvq"), data);
  EXPECT_EQ(source0.Requests().back(), kSite + "big%20cat.rar");
}

TEST_F(DownloadTest, OverHttps) {
  const TTestCertificate cert = TTestCertificate::Make();
  TTestHttpServer secure(&cert);
  secure.Route(kSite + "info.dat", {.Body = "ext:rar"});
  const auto cat = JigsawBytes(40000, 7);
  secure.Route(kSite + "cat.rar", {.Body = AsText(MakeRar4({{.Name = "cat.zvq", .Data = cat}}))});
  options.DnSrc = secure.Host();
  options.UseSecure = true;
  s.HttpClient->TrustedCertificates = cert.CertPem;
  view.Items = {{"cat", 0}};
  ASSERT_EQ(FetchInfoFile(s, options, view), kDownloadOk);
  EXPECT_EQ(s.sLastUrl.rfind("https://", 0), 0u);
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk);
  EXPECT_EQ(Slurp(s.sJigsawDir + "cat.zvq"), cat);

  // A retired TLS choice: the library's message, and the other source is offered.
  s.InfoLoaded = false;
  s.HttpClient->SslVersion = kSslV2;
  view.Messages.clear();
  EXPECT_FALSE(FetchInfoWithRetry(s, options, view));
  ASSERT_EQ(view.Messages.size(), 2u);
  EXPECT_EQ(view.Messages[0].Text, "Could not load SSL library.");
  EXPECT_EQ(view.Messages[1].Text.rfind("Q_TryAnotherDnSrc[", 0), 0u);
}
