#include "download/download_protocol.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "download/jigsaw_site.h"
#include "platform/rar_archive.h"

namespace fs = std::filesystem;

namespace {

class DownloadTest : public TwoSourcesTest {
 protected:
  // The info file fetched from the first source, and a fresh window with the given items.
  void LoadInfo(std::vector<TRecordingView::TItem> items) {
    ServeInfoFile(source0);
    ASSERT_EQ(FetchInfoFile(s, options, view), kDownloadOk);
    view = TRecordingView();
    view.Items = std::move(items);
  }
};

}  // namespace

TEST(InfoFileTest, Lines) {
  std::string ext;
  ParseInfoFile("  EXT  :  RAR  \r\nother:mirror.example\r\n", ext);
  EXPECT_EQ(ext, ".rar");
  ext.clear();
  ParseInfoFile("ext:.ZIP", ext);
  EXPECT_EQ(ext, ".zip");
  // The value is split at the first colon only; later "ext" lines win; any line break counts.
  ext.clear();
  ParseInfoFile("ext:r:ar\rext:7z\n", ext);
  EXPECT_EQ(ext, ".7z");
  // Lines without a colon or with an empty side, other keys, and values that are no plain
  // extension (they would make paths and URLs) are skipped.
  ext = ".rar";
  for (const char* skipped : {"ext\n:zip\next:\n extension:zip\nnothing here\n", "ext:../../x", "ext:a/b",
                              "ext:rar%00", "ext:abcdefghijklmnopq", "ext:.", "ext:r ar"}) {
    ParseInfoFile(skipped, ext);
    EXPECT_EQ(ext, ".rar") << skipped;
  }
}

TEST(InfoFileTest, HtmlRecognition) {
  EXPECT_TRUE(IsHtmlText("<HTML><head>"));
  EXPECT_TRUE(IsHtmlText("<!DOCTYPE x>\n<HtMl>"));
  EXPECT_FALSE(IsHtmlText(""));
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

  TGameOptions o;
  o.DnSrc = "host:8080";
  EXPECT_EQ(DownloadUrl(o, "info.dat"), "http://host:8080/zorva/jigsaws_quix/info.dat");
  o.UseSecure = true;
  o.SiteJigsawsDir = "p/";
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
    SCOPED_TRACE(c.Page);
    TRecordingView view;
    TDownloadState s;
    s.DownloadRunning = true;
    view.Page = c.Page;
    ReportHtmlError(s, view, "u");
    if (c.Shown) {
      EXPECT_EQ(view.Messages, (std::vector<TShownMessage>{{c.Shown, kMbIconExclamation}}));
    } else {
      EXPECT_TRUE(view.Messages.empty());
    }
    EXPECT_EQ(s.DownloadRunning, c.Shown == nullptr);
  }
}

TEST_F(DownloadTest, InfoFileFetchedOncePerActivation) {
  ServeInfoFile(source0, "EXT : RAR\r\nother: x\r\n");
  EXPECT_EQ(FetchInfoFile(s, options, view), kDownloadOk);
  EXPECT_TRUE(s.InfoLoaded);
  EXPECT_EQ(s.ArchiveExt, ".rar");
  EXPECT_EQ(s.sLastUrl, SiteUrl(source0, "info.dat"));
  EXPECT_TRUE(view.Messages.empty());
  EXPECT_EQ(view.Captions.front(), "Download - ProcConnect");
  EXPECT_EQ(view.Captions.back(), "Download");
  EXPECT_EQ(view.ProgressLog.back(), "reset");
  EXPECT_EQ(s.HttpClient->HttpMode, 0);
  EXPECT_EQ(FetchInfoFile(s, options, view), kDownloadOk);
  EXPECT_EQ(source0.Requests().size(), 1u);

  // An info file without "ext" keeps the extension of an earlier fetch of the same run.
  s.InfoLoaded = false;
  ServeInfoFile(source0, "other:x");
  EXPECT_EQ(FetchInfoFile(s, options, view), kDownloadOk);
  EXPECT_EQ(s.ArchiveExt, ".rar");
}

TEST_F(DownloadTest, InfoFileFailures) {
  struct TCase {
    TTestRoute Route;
    int32_t Result;
    std::string Shown;
  };
  const std::string url = SiteUrl(source0, "info.dat");
  for (const TCase& c : {TCase{{.Status = 404, .Reason = "Not Found"}, kInfoUnreadable, "MS_FileNotFound[" + url + "]"},
                         TCase{{.Status = 401, .Reason = "Unauthorized"}, kInfoLoginRefused, "MS_InvalidLogin[" + url + "]"},
                         TCase{{.Status = 500, .Reason = "Internal Server Error"}, kInfoUnreadable,
                               "HTTP/1.1 500 Internal Server Error"},
                         TCase{{.Body = "<html><title>Site Closed</title></html>"}, kInfoUnreadable, "Site Closed"},
                         TCase{{.Body = "<html><title>404 Not Found</title></html>"}, kInfoUnreadable,
                               "MS_FileNotFound[" + url + "]"},
                         TCase{{.Body = "other:elsewhere\r\n"}, kInfoUnreadable, ""},
                         TCase{{.Body = ""}, kInfoUnreadable, ""}}) {
    SCOPED_TRACE(c.Shown);
    source0.Route(kJigsawSite + "info.dat", c.Route);
    view.Messages.clear();
    EXPECT_EQ(FetchInfoFile(s, options, view), c.Result);
    EXPECT_FALSE(s.InfoLoaded);
    if (c.Shown.empty()) {
      EXPECT_TRUE(view.Messages.empty());
    } else {
      EXPECT_EQ(view.Messages, (std::vector<TShownMessage>{{c.Shown, kMbIconExclamation}}));
    }
    EXPECT_EQ(view.Captions.back(), "Download");
  }

  // Nothing listens: the library's message.
  view.Messages.clear();
  options.DnSrc = "127.0.0.1:" + std::to_string(UnusedPort());
  EXPECT_EQ(FetchInfoFile(s, options, view), kInfoUnreadable);
  ASSERT_EQ(view.Messages.size(), 1u);
  EXPECT_NE(view.Messages[0].Text, "");
  EXPECT_FALSE(s.DownloadRunning);
}

// Stopped, closing or without a client: no request, no message; a closing window asks nothing.
TEST_F(DownloadTest, InfoFileRefusedWithoutTransfer) {
  ServeInfoFile(source0);
  view.Answers = {kIdYes, kIdYes, kIdYes};
  s.DownloadStop = true;
  EXPECT_EQ(FetchInfoFile(s, options, view), kInfoUnreadable);
  s.DownloadStop = false;
  s.DownloadClosing = true;
  EXPECT_FALSE(FetchInfoWithRetry(s, options, view));
  s.DownloadClosing = false;
  s.HttpClient.reset();
  EXPECT_EQ(FetchInfoFile(s, options, view), kInfoUnreadable);
  EXPECT_TRUE(source0.Requests().empty());
  EXPECT_TRUE(view.Messages.empty());
  EXPECT_EQ(options.DnSrc, source0.Host());
}

TEST_F(DownloadTest, OtherSourceOffered) {
  ServeInfoFile(source1);
  view.Answers = {kIdYes};
  EXPECT_TRUE(FetchInfoWithRetry(s, options, view));
  EXPECT_EQ(options.DnSrc, source1.Host());
  EXPECT_EQ(view.Messages, (std::vector<TShownMessage>{
                               {"MS_FileNotFound[" + SiteUrl(source0, "info.dat") + "]", kMbIconExclamation},
                               {"Q_TryAnotherDnSrc[" + source0.Host() + "|" + source1.Host() + "]",
                                kMbYesNo | kMbIconQuestion}}));
  EXPECT_EQ(SiteRequests(source1), std::vector<std::string>{"info.dat"});

  // A source that is not in the table is followed by entry 1.
  TTestHttpServer other;
  options.DnSrc = other.Host();
  s.InfoLoaded = false;
  view.Answers = {kIdYes};
  EXPECT_TRUE(FetchInfoWithRetry(s, options, view));
  EXPECT_EQ(options.DnSrc, source1.Host());
}

TEST_F(DownloadTest, OtherSourceDeclinedOrFailingOrLoginRefused) {
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
  const std::string there = "Q_TryAnotherDnSrc[" + source0.Host() + "|" + source1.Host() + "]";
  const std::string back = "Q_TryAnotherDnSrc[" + source1.Host() + "|" + source0.Host() + "]";
  EXPECT_EQ(questions, (std::vector<std::string>{there, back, there}));

  // A refused login offers no other source.
  source0.Route(kJigsawSite + "info.dat", {.Status = 401, .Reason = "Unauthorized"});
  view.Messages.clear();
  view.Answers = {kIdYes};
  EXPECT_FALSE(FetchInfoWithRetry(s, options, view));
  EXPECT_EQ(view.Messages.size(), 1u);
}

TEST_F(DownloadTest, JigsawDownloadedAndUnpacked) {
  LoadInfo({{"dog", 1}, {"cat", 0}});
  const auto cat = FakeJigsaw(150000, 1);
  const size_t catSize = ServeJigsaw(source0, "cat", cat);
  EXPECT_EQ(DownloadJigsaw(s, options, view, 1, true), kDownloadOk);
  EXPECT_EQ(Slurp(f.Jigsaws + "cat.zvq"), cat);
  EXPECT_EQ(view.Items[1].State, 1);
  EXPECT_EQ(s.FirstDownloadedPath, f.Jigsaws + "cat.rar");
  EXPECT_EQ(s.sLastUrl, SiteUrl(source0, "cat.rar"));
  EXPECT_TRUE(f.TempFiles().empty());
  EXPECT_EQ(view.Shown, std::vector<int32_t>{1});
  EXPECT_EQ(view.Refreshes, 1);
  EXPECT_TRUE(view.Messages.empty());
  EXPECT_EQ(view.ProgressLog[2], "max " + std::to_string(catSize));
}

TEST_F(DownloadTest, JigsawDownloadPreconditions) {
  view.Items = {{"cat", 0}};
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk);  // info not loaded
  LoadInfo({{"cat", 0}});
  EXPECT_EQ(DownloadJigsaw(s, options, view, 1, true), kDownloadOk);
  EXPECT_EQ(DownloadJigsaw(s, options, view, -1, true), kDownloadOk);
  s.DownloadStop = true;
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk);
  s.DownloadStop = false;
  s.DownloadClosing = true;
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk);
  EXPECT_EQ(source0.Requests().size(), 1u);  // the info file only
  EXPECT_TRUE(view.Shown.empty());
  EXPECT_TRUE(fs::is_empty(f.Jigsaws));
}

// A failed transfer or an error page in place of the archive ends the run, leaves nothing in
// the temporary folder and no jigsaw.
TEST_F(DownloadTest, FailedTransfers) {
  LoadInfo({{"gone", 0}, {"login", 0}, {"cut", 0}, {"page", 0}});
  source0.Route(kJigsawSite + "gone.rar", {.Status = 404, .Reason = "Not Found"});
  source0.Route(kJigsawSite + "login.rar", {.Status = 401, .Reason = "Unauthorized"});
  source0.Route(kJigsawSite + "cut.rar",
                {.Body = BytesText(MakeRar4({{.Name = "cut.zvq", .Data = FakeJigsaw(200000, 3)}})), .CloseAfter = 100000});
  source0.Route(kJigsawSite + "page.rar", {.Body = "<html><head><title>Quota Exceeded</title></head></html>"});
  const std::vector<std::string> shown = {"MS_FileNotFound[" + SiteUrl(source0, "gone.rar") + "]",
                                          "MS_InvalidLogin[" + SiteUrl(source0, "login.rar") + "]", "",
                                          "Quota Exceeded"};
  for (int32_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    view.Messages.clear();
    EXPECT_EQ(DownloadJigsaw(s, options, view, i, true), kArchiveFailed);
    EXPECT_FALSE(s.DownloadRunning);
    ASSERT_EQ(view.Messages.size(), 1u);
    if (!shown[size_t(i)].empty()) {
      EXPECT_EQ(view.Messages[0].Text, shown[size_t(i)]);
    }
    EXPECT_EQ(view.Items[size_t(i)].State, 0);
    EXPECT_TRUE(f.TempFiles().empty());
  }
  EXPECT_TRUE(fs::is_empty(f.Jigsaws));
  EXPECT_EQ(s.FirstDownloadedPath, "");
  EXPECT_EQ(view.Refreshes, 0);
}

// A broken archive removes the partly unpacked jigsaw; its transfer succeeded, so a run goes on.
TEST_F(DownloadTest, BrokenArchives) {
  LoadInfo({{"cat", 0}, {"dog", 0}, {"eel", 0}, {"fox", 0}});
  const auto good = FakeJigsaw(5000, 4);
  ServeFile(source0, "cat.rar",
            MakeRar4({{.Name = "cat.zvq", .Data = good}, {.Name = "cat.txt", .Data = good, .BadDataCrc = true}}));
  ServeFile(source0, "dog.rar", RarBytes("this is no archive"));
  ServeFile(source0, "eel.rar",
            MakeRar4({{.Name = "eel.zvq", .Data = good}, {.Name = "x.zvq", .Data = good, .BadHeaderCrc = true}}));
  ServeFile(source0, "fox.rar", MakeRar4({{.Name = "../fox.zvq", .Data = good}}));
  struct TCase {
    int32_t Item;
    bool Report;
    int32_t Result;
    const char* Shown;  // nullptr: nothing
  };
  // The open error is always shown; the others only when asked.
  for (const TCase& c : {TCase{0, true, kRarBadData, "RARProcessFile error - 12"},
                         TCase{0, false, kRarBadData, nullptr},
                         TCase{1, false, kRarBadArchive, "RAROpenArchive error - 13"},
                         TCase{2, true, kRarBadData, "RARReadHeader error - File header broken"},
                         TCase{3, true, kRarCreateError, "RARProcessFile error - 16"}}) {
    SCOPED_TRACE(c.Item);
    view.Messages.clear();
    EXPECT_EQ(DownloadJigsaw(s, options, view, c.Item, c.Report), c.Result);
    const std::vector<TShownMessage> shown = c.Shown ? std::vector<TShownMessage>{{c.Shown, kMbOk}} : std::vector<TShownMessage>{};
    EXPECT_EQ(view.Messages, shown);
    EXPECT_TRUE(fs::is_empty(f.Jigsaws));
    EXPECT_TRUE(f.TempFiles().empty());
    EXPECT_TRUE(s.DownloadRunning);
  }
  EXPECT_FALSE(fs::exists(f.Root.File("fox.zvq")));
  for (const auto& item : view.Items) EXPECT_EQ(item.State, 0);
  EXPECT_EQ(s.FirstDownloadedPath, "");
}

TEST_F(DownloadTest, ArchiveFileCannotBeCreated) {
  LoadInfo({{"cat", 0}});
  ServeJigsaw(source0, "cat", RarBytes("x"));
  s.sTempDir = f.Root.File("no-such-folder") + "/";
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kArchiveFailed);
  EXPECT_EQ(view.Messages, (std::vector<TShownMessage>{{"Failed create file " + s.sTempDir + "cat.rar!", kMbOk}}));
  EXPECT_EQ(source0.Requests().size(), 1u);
}

// A link planted where the archive goes is replaced, never written through.
TEST_F(DownloadTest, LinkInTemporaryFolderIsNotFollowed) {
  LoadInfo({{"cat", 0}});
  const auto cat = FakeJigsaw(1000, 5);
  ServeJigsaw(source0, "cat", cat);
  Spit(f.Root.File("victim"), RarBytes("keep"));
  fs::create_symlink(f.Root.File("victim"), f.Temp + "cat.rar");
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk);
  EXPECT_EQ(Slurp(f.Root.File("victim")), RarBytes("keep"));
  EXPECT_EQ(Slurp(f.Jigsaws + "cat.zvq"), cat);
}

// Names from the download list that hold a path are refused without a request; names with
// blanks are escaped in the URL.
TEST_F(DownloadTest, ListNames) {
  LoadInfo({{"../evil", 0}, {"a\\b", 0}, {"..", 0}, {"big cat", 0}});
  const auto data = FakeJigsaw(100, 6);
  ServeFile(source0, "big%20cat.rar", MakeRar4({{.Name = "big cat.zvq", .Data = data}}));
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(DownloadJigsaw(s, options, view, i, true), kArchiveFailed);
  EXPECT_EQ(source0.Requests().size(), 1u);
  EXPECT_EQ(DownloadJigsaw(s, options, view, 3, true), kDownloadOk);
  EXPECT_EQ(Slurp(f.Jigsaws + "big cat.zvq"), data);
}
