#include "download/download_protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "download/recording_view.h"
#include "platform/rar_archive.h"
#include "support/file_bytes.h"
#include "support/local_servers.h"
#include "support/rar_writer.h"
#include "support/temp_folder.h"

// A download state whose info file is read: archives of that kind land in temp, jigsaws in
// jigsaws.
static TDownloadState ReadyToDownload(const std::string& archiveExt, const TTempFolder& temp,
                                      const TTempFolder& jigsaws) {
  TDownloadState s;
  s.HttpClient = std::make_unique<TMyHttp>();
  s.InfoLoaded = true;
  s.ArchiveExt = archiveExt;
  s.sTempDir = temp.File("");
  s.sJigsawDir = jigsaws.File("");
  return s;
}

TEST(InfoFile, Lines) {
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
  for (const char* skipped : {"ext\n:zip\next:\n extension:zip\nnothing here\n", "ext:../../x", "ext:a/b", "ext:rar%00",
                              "ext:abcdefghijklmnopq", "ext:.", "ext:r ar"}) {
    ParseInfoFile(skipped, ext);
    EXPECT_EQ(ext, ".rar") << skipped;
  }
  ParseInfoFile("ext:.abcdefghijklmnop", ext);  // 16 is still an extension
  EXPECT_EQ(ext, ".abcdefghijklmnop");
}

TEST(InfoFile, HtmlRecognition) {
  EXPECT_TRUE(IsHtmlText("<HTML><head>"));
  EXPECT_TRUE(IsHtmlText("<!DOCTYPE x>\n<HtMl>"));
  EXPECT_FALSE(IsHtmlText(""));
  EXPECT_FALSE(IsHtmlText("<html lang=en>"));
  EXPECT_FALSE(IsHtmlText(std::string_view("ab\0<html>", 9)));  // after a zero byte
  EXPECT_TRUE(IsHtmlText(std::string(250, ' ') + "<html>"));    // ends at byte 256
  EXPECT_FALSE(IsHtmlText(std::string(251, ' ') + "<html>"));   // crosses byte 256

  TTempFolder dir;
  Spit(dir.File("a"), RarBytes(std::string(100, 'x') + "<Html><title>x</title>"));
  Spit(dir.File("b"), MakeRar4({{.Name = "<html>", .Data = RarBytes("<html>")}}));
  EXPECT_TRUE(IsHtmlFile(dir.File("a")));
  EXPECT_FALSE(IsHtmlFile(dir.File("b")));  // a zero byte in the header comes first
  EXPECT_FALSE(IsHtmlFile(dir.File("missing")));
}

TEST(InfoFile, Urls) {
  TGameOptions o;
  o.DnSrc = "host:8080";
  EXPECT_EQ(DownloadUrl(o, "info.dat"), "http://host:8080/zorva/jigsaws_quix/info.dat");
  o.UseSecure = true;
  o.SiteJigsawsDir = "p/";
  EXPECT_EQ(DownloadUrl(o, "big cat#1?.rar"), "https://host:8080/p/big%20cat%231%3F.rar");
}

TEST(InfoFile, ErrorPages) {
  struct TCase {
    const char* Page;
    const char* Shown;  // nullptr: nothing shown
  };
  for (const TCase& c : {TCase{"<html><head><title>404 Not Found</title></head></html>", "MS_FileNotFound[u]"},
                         TCase{"<HTML><TITLE>401 Authorization Required</TITLE></HTML>", "MS_InvalidLogin[u]"},
                         TCase{"<html><title> 404 Gone</title>", " 404 Gone"},  // first word is empty
                         TCase{"<html><title>Service Down Today</title>", "Service Down Today"},
                         TCase{"<html><title>404</title>", "404"}, TCase{"<html></title>x<title>", ""},
                         TCase{"<title>404 Not Found</title>", nullptr}, TCase{"<html><title>no end", nullptr}}) {
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

// The sources file: both entries read, the player's copy winning; values that would change a
// URL's meaning, unknown sections and keys, and oversized files are refused.
TEST(SourcesFile, EntriesAndHostileValues) {
  TTempFolder program, user;
  Spit(program.File("sources.ini"), RarBytes("\xEF\xBB\xBF; shipped\r\n[Source 1]\r\nHost = one.example:8080\r\n"
                                             "Site = https://one.example/home//\r\n[ source 2 ]\nhost=[::1]:81\n"
                                             "[Source 3]\nHost = three.example\n"));
  TDownloadSources s = LoadDownloadSources(program.File(""), user.File(""));
  EXPECT_EQ(s.ServerHosts, (TServerHosts{"one.example:8080", "[::1]:81"}));
  EXPECT_EQ(SiteUrl(s, 0), "https://one.example/home/");
  EXPECT_EQ(SiteUrl(s, 1), "");
  EXPECT_EQ(DefaultDnSrc(s), "[::1]:81");
  EXPECT_EQ(s.FileToEdit, user.File("sources.ini"));

  Spit(user.File("sources.ini"), RarBytes("[Source 1]\nHost = evil.example/path\nSite = javascript:x\n"
                                          "[Source 2]\nHost = two.example\nSite = http://two.example\n"
                                          "Other = x\nHost = a b\n"));
  s = LoadDownloadSources(program.File(""), user.File(""));
  EXPECT_EQ(s.ServerHosts, (TServerHosts{"", ""}));
  EXPECT_EQ(SiteUrl(s, 0), "");
  EXPECT_EQ(SiteUrl(s, 1), "http://two.example/");
  EXPECT_TRUE(s.Empty());

  Spit(user.File("sources.ini"),
       RarBytes("[Source 1]\nHost = one.example\n" + std::string(size_t(kMaxSourcesFileBytes), ';')));
  EXPECT_EQ(LoadDownloadSources(program.File(""), user.File("")).ServerHosts[1], "[::1]:81");  // the shipped one
  EXPECT_FALSE(ReadDownloadSources(user.File("sources.ini"), s));
  EXPECT_EQ(DefaultDnSrc(LoadDownloadSources(user.File("none/"), user.File("none/"))), "");
}

// What a server says reaches the player as one short line of text.
TEST(InfoFile, OutsideTextIsCutToOneShortLine) {
  std::string accents = "x";
  for (int i = 0; i < 150; ++i) accents += "\xC3\xA9";
  std::string accentsShown = "x";
  for (int i = 0; i < 99; ++i) accentsShown += "\xC3\xA9";
  struct TCase {
    std::string Text, Shown;
  };
  for (const TCase& c :
       {TCase{"Service Down", "Service Down"}, TCase{"a\r\nb\tc\x7F", "a  b c "},
        TCase{std::string(200, 'y'), std::string(200, 'y')},
        TCase{std::string(60000, 'z'), std::string(200, 'z') + "..."}, TCase{accents, accentsShown + "..."}}) {
    EXPECT_EQ(OutsideText(c.Text), c.Shown) << c.Text.substr(0, 20);
  }
  // An error page's long title is shown cut.
  TRecordingView view;
  TDownloadState s;
  view.Page = "<html><title>Moved <a href=\"http://evil.example\">" + std::string(60000, 'w') + "</a></title>";
  ReportHtmlError(s, view, "u");
  ASSERT_EQ(view.Messages.size(), 1u);
  EXPECT_EQ(view.Messages[0].Text, "Moved <a href=\"http://evil.example\">" + std::string(164, 'w') + "...");
}

// A list name becomes a file name and part of a URL: names that are or hold a path, hold
// controls, line separators or direction marks, begin or end with a blank, are no UTF-8 or are
// far too long are refused, with a message, before anything is asked of the source; any other
// name is asked for (and here not found).
TEST(DownloadJigsaw, OnlyPlainNamesAreFetched) {
  TTempFolder web, player;
  TStaticServer server(web.Path());
  TGameOptions options;
  options.DnSrc = server.Host();
  TDownloadState s = ReadyToDownload(".zip", player, player);
  struct TCase {
    std::string Name;
    bool Asked;
  };
  for (const TCase& c : {TCase{"", false},
                         TCase{".", false},
                         TCase{"..", false},
                         TCase{"a/b", false},
                         TCase{"a\\b", false},
                         TCase{"x\x01", false},
                         TCase{"x\x1F", false},
                         TCase{"x\x7F", false},
                         TCase{std::string(129, 'n'), false},
                         TCase{std::string(128, 'n'), true},
                         TCase{"...", true},
                         TCase{"big cat~", true},
                         TCase{" ", false},
                         TCase{" a", false},
                         TCase{"a ", false},
                         TCase{"a b", true},
                         TCase{"caf\xC3\xA9", true},
                         TCase{"caf\xE9", false},
                         TCase{"rtl\u202Eabc", false},
                         TCase{"x\u2028y", false},
                         TCase{"x\u0085", false},
                         TCase{"x\u2066", false},
                         TCase{"x\u202F", true}}) {
    SCOPED_TRACE(c.Name);
    TRecordingView view;
    view.Items = {{"first", 0}, {c.Name, 0}};
    EXPECT_EQ(DownloadJigsaw(s, options, view, 1, true), kArchiveFailed);
    ASSERT_EQ(view.Messages.size(), 1u);
    if (c.Asked)
      EXPECT_EQ(view.Messages[0].Text, "MS_FileNotFound[" + DownloadUrl(options, c.Name + ".zip") + "]");
    else
      EXPECT_EQ(view.Messages[0].Text, "\"" + OutsideText(c.Name) + "\" cannot be a jigsaw's file name.");
    // A run reports nothing of its own: its failures are counted.
    if (!c.Asked) {
      view.Messages.clear();
      EXPECT_EQ(DownloadJigsaw(s, options, view, 1, false), kArchiveFailed);
      EXPECT_TRUE(view.Messages.empty());
    }
    EXPECT_TRUE(std::filesystem::is_empty(player.Path()));
  }
  // Items outside the list, and a run that is not ready, fetch nothing and fail nothing.
  TRecordingView view;
  view.Items = {{"first", 0}};
  for (int32_t index : {-1, 1}) EXPECT_EQ(DownloadJigsaw(s, options, view, index, true), kDownloadOk);
  // Not ready: no client, no info file, stopped, closing; then ready, it asks the source.
  for (int unready = 0; unready < 4; ++unready) {
    s.InfoLoaded = unready != 1;
    s.DownloadStop = unready == 2;
    s.DownloadClosing = unready == 3;
    std::unique_ptr<TMyHttp> client = unready == 0 ? std::move(s.HttpClient) : nullptr;
    EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk) << unready;
    if (client) s.HttpClient = std::move(client);
  }
  EXPECT_TRUE(view.Messages.empty());
  s.DownloadClosing = false;
  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kArchiveFailed);
  EXPECT_EQ(view.Messages.size(), 1u);
}

namespace {

std::string ReadAll(const std::string& path) {
  const std::vector<uint8_t> b = Slurp(path);
  return std::string(b.begin(), b.end());
}

std::vector<std::string> Names(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Says yes to the first question, then no.
class TYesView : public TRecordingView {
 public:
  int MsgBox(const std::string& text, int flags) override {
    TRecordingView::MsgBox(text, flags);
    return (flags & kMbYesNo) == kMbYesNo && std::exchange(yes_, false) ? kIdYes : kIdNo;
  }

 private:
  bool yes_ = true;
};

}  // namespace

// An archive arrives whole, replacing only the item's own jigsaw; one that would replace
// another of the player's files, or that breaks part way, leaves the jigsaw folder as it was.
TEST(DownloadJigsaw, ArrivesWholeOrNotAtAll) {
  TTempFolder web, temp, jigsaws;
  Spit(web.File("cat.rar"),
       MakeRar4({{.Name = "cat.zvq", .Data = RarBytes("new")}, {.Name = "cat.jpg", .Data = RarBytes("pic")}}));
  Spit(web.File("dog.rar"), MakeRar4({{.Name = "dog.zvq", .Data = RarBytes("dog")}}));
  Spit(web.File("clash.rar"),
       MakeRar4({{.Name = "clash.zvq", .Data = RarBytes("c")}, {.Name = "mine.txt", .Data = RarBytes("theirs")}}));
  Spit(web.File("broken.rar"), MakeRar4({{.Name = "broken.zvq", .Data = RarBytes("b")},
                                         {.Name = "z.txt", .Data = RarBytes("z"), .BadHeaderCrc = true}}));
  Spit(jigsaws.File("cat.zvq"), RarBytes("old"));
  Spit(jigsaws.File("mine.txt"), RarBytes("keep"));
  TStaticServer server(web.Path());
  TGameOptions options;
  options.DnSrc = server.Host();
  options.SiteJigsawsDir = "";
  TDownloadState s = ReadyToDownload(".rar", temp, jigsaws);
  TRecordingView view;
  view.Items = {{"cat", 0}, {"dog", 2}, {"clash", 0}, {"broken", 0}};

  EXPECT_EQ(DownloadJigsaw(s, options, view, 0, true), kDownloadOk);
  EXPECT_EQ(ReadAll(jigsaws.File("cat.zvq")), "new");
  EXPECT_EQ(ReadAll(jigsaws.File("cat.jpg")), "pic");
  EXPECT_EQ(view.Items[0].State, 1);
  EXPECT_EQ(s.FirstDownloadedPath, jigsaws.File("cat.rar"));
  // A ticked item keeps its mark, and the first jigsaw of the run stays the first.
  EXPECT_EQ(DownloadJigsaw(s, options, view, 1, true), kDownloadOk);
  EXPECT_EQ(ReadAll(jigsaws.File("dog.zvq")), "dog");
  EXPECT_EQ(view.Items[1].State, 2);
  EXPECT_EQ(s.FirstDownloadedPath, jigsaws.File("cat.rar"));
  EXPECT_TRUE(view.Messages.empty());

  const std::vector<std::string> before = Names(jigsaws.Path());
  for (const bool report : {false, true}) {
    SCOPED_TRACE(report);
    view.Messages.clear();
    EXPECT_EQ(DownloadJigsaw(s, options, view, 2, report), kRarCreateError);
    EXPECT_EQ(DownloadJigsaw(s, options, view, 3, report), kRarBadData);
    if (report) {
      EXPECT_EQ(view.Messages, (std::vector<TShownMessage>{{"RARProcessFile error - 16", kMbOk},
                                                           {"RARReadHeader error - File header broken", kMbOk}}));
    } else {
      EXPECT_TRUE(view.Messages.empty());
    }
    EXPECT_EQ(Names(jigsaws.Path()), before);
    EXPECT_EQ(ReadAll(jigsaws.File("mine.txt")), "keep");
    EXPECT_EQ(view.Items[2].State, 0);
    EXPECT_EQ(view.Items[3].State, 0);
  }
  EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));
  EXPECT_EQ(s.FirstDownloadedPath, jigsaws.File("cat.rar"));
}

// The info file: read once, its ext taken; missing or a page, it is unreadable and said so; a
// stopped or closing window asks nothing; the other source is offered and, taken, is used.
TEST(InfoFile, FetchedOnceAndTheOtherSourceOffered) {
  TTempFolder good, bare;
  std::filesystem::create_directories(good.File("zorva/jigsaws_quix"));
  WriteRaw(good.File("zorva/jigsaws_quix/info.dat"), "ext:rar\n");
  TStaticServer goodServer(good.Path()), bareServer(bare.Path());
  const auto fresh = [] {
    TDownloadState s;
    s.HttpClient = std::make_unique<TMyHttp>();
    return s;
  };
  TGameOptions options;
  options.DnSrc = goodServer.Host();

  for (const int cut : {1, 2}) {
    TDownloadState s = fresh();
    (cut == 1 ? s.DownloadStop : s.DownloadClosing) = true;
    TRecordingView view;
    EXPECT_EQ(FetchInfoFile(s, options, view), kInfoUnreadable);
    EXPECT_FALSE(s.InfoLoaded);
    EXPECT_TRUE(s.ArchiveExt.empty());
    EXPECT_TRUE(view.Messages.empty());
  }
  TDownloadState s = fresh();
  TRecordingView view;
  EXPECT_EQ(FetchInfoFile(s, options, view), kDownloadOk);
  EXPECT_TRUE(s.InfoLoaded);
  EXPECT_EQ(s.ArchiveExt, ".rar");
  s.ArchiveExt = ".zip";  // loaded once: not asked again
  EXPECT_EQ(FetchInfoFile(s, options, view), kDownloadOk);
  EXPECT_EQ(s.ArchiveExt, ".zip");
  EXPECT_TRUE(view.Messages.empty());

  // The bare source has no info file; the other one is offered, declined, then taken.
  TGameOptions bareOptions;
  bareOptions.DnSrc = bareServer.Host();
  const std::string bareUrl = DownloadUrl(bareOptions, kInfoFileName);
  const std::string question = "Q_TryAnotherDnSrc[" + bareServer.Host() + "|" + goodServer.Host() + "]";
  s = fresh();
  s.ServerHosts = {bareServer.Host(), goodServer.Host()};
  TRecordingView no;
  EXPECT_FALSE(FetchInfoWithRetry(s, bareOptions, no));
  EXPECT_EQ(no.Messages, (std::vector<TShownMessage>{{"MS_FileNotFound[" + bareUrl + "]", kMbIconExclamation},
                                                     {question, kMbYesNo | kMbIconQuestion}}));
  EXPECT_EQ(bareOptions.DnSrc, bareServer.Host());
  TYesView yes;
  EXPECT_TRUE(FetchInfoWithRetry(s, bareOptions, yes));
  EXPECT_EQ(yes.Messages.size(), 2u);
  EXPECT_EQ(bareOptions.DnSrc, goodServer.Host());
  EXPECT_EQ(s.ArchiveExt, ".rar");
  // Stopped, the failure is neither shown nor followed by a question.
  bareOptions.DnSrc = bareServer.Host();
  s = fresh();
  s.ServerHosts = {bareServer.Host(), goodServer.Host()};
  s.DownloadStop = true;
  TYesView stopped;
  EXPECT_FALSE(FetchInfoWithRetry(s, bareOptions, stopped));
  EXPECT_TRUE(stopped.Messages.empty());
  EXPECT_EQ(bareOptions.DnSrc, bareServer.Host());
}
