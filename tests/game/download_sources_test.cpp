#include "game/download_sources.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <string_view>

#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace {

// Reads text as the one entry of a sources file; the host and site read, or "-" for a refusal.
struct TRead {
  std::string Host, Site;
};
TRead ReadEntry(const TTempFolder& dir, const std::string& host, const std::string& site) {
  WriteRaw(dir.File("s.ini"), "[Source 1]\nHost=" + host + "\nSite=" + site + "\n");
  TDownloadSources s;
  if (!ReadDownloadSources(dir.File("s.ini"), s)) return {"-", "-"};
  return {s.ServerHosts[0], s.SiteAddresses[0]};
}

// Every byte in a host and in a site address, against the rules written out plainly: a host
// is letters, digits and . - : [ ]; a site address holds no control byte, blank, quote, angle
// bracket or backslash. Blanks at either end are trimmed, so they are tried inside.
TEST(DownloadSources, EveryByteOfAHostOrSiteIsKeptOrRefusedByItsRule) {
  TTempFolder dir;
  for (int c = 0; c < 256; ++c) {
    if (c == '\n' || c == '\r') continue;
    const std::string ch(1, char(c));
    const bool hostOk =
        (c < 128 && std::isalnum(c)) || std::string_view(".-:[]").find(char(c)) != std::string_view::npos;
    const bool siteOk = c > ' ' && c != '"' && c != '<' && c != '>' && c != '\\';
    const TRead r = ReadEntry(dir, "a" + ch + "b", "http://a" + ch + "b");
    SCOPED_TRACE(c);
    EXPECT_EQ(r.Host, hostOk ? "a" + ch + "b" : "");
    EXPECT_EQ(r.Site, siteOk ? "http://a" + ch + "b" : "");
  }
}

TEST(DownloadSources, LengthsAreTriedAtTheLimitAndOneOver) {
  TTempFolder dir;
  EXPECT_EQ(ReadEntry(dir, std::string(255, 'h'), "").Host, std::string(255, 'h'));
  EXPECT_EQ(ReadEntry(dir, std::string(256, 'h'), "").Host, "");
  const std::string site2000 = "https://" + std::string(2000 - 8, 's');
  EXPECT_EQ(ReadEntry(dir, "h", site2000).Site, site2000);
  EXPECT_EQ(ReadEntry(dir, "h", site2000 + "s").Site, "");
  // Only http and https, in any letter case; trailing slashes go, one "/" comes back.
  EXPECT_EQ(ReadEntry(dir, "h", "HTTPS://x.example///").Site, "HTTPS://x.example");
  EXPECT_EQ(ReadEntry(dir, "h", "ftp://x.example").Site, "");
  EXPECT_EQ(ReadEntry(dir, "h", "http:/x.example").Site, "");

  // The file itself: the limit is read, one byte more refuses the whole file and keeps what
  // the sources held.
  const std::string head = "\xEF\xBB\xBF[ SOURCE 2 ]\r\nHOST = two.example\r\n;";
  std::string text = head + std::string(size_t(kMaxSourcesFileBytes) - head.size(), 'x');
  WriteRaw(dir.File("s.ini"), text);
  TDownloadSources s;
  s.FileToEdit = "kept";
  ASSERT_TRUE(ReadDownloadSources(dir.File("s.ini"), s));
  EXPECT_EQ(s.ServerHosts, (TServerHosts{"", "two.example"}));
  EXPECT_EQ(s.FileToEdit, "kept");
  WriteRaw(dir.File("s.ini"), text + "x");
  s.ServerHosts[0] = "before";
  EXPECT_FALSE(ReadDownloadSources(dir.File("s.ini"), s));
  EXPECT_EQ(s.ServerHosts, (TServerHosts{"before", "two.example"}));
  EXPECT_FALSE(ReadDownloadSources(dir.File("missing.ini"), s));
}

TEST(DownloadSources, KeysCountOnlyInsideTheTwoSourceSections) {
  TTempFolder dir;
  WriteRaw(dir.File("s.ini"),
           "Host = before.example\n[Source 2]\n# Host = comment.example\nHost = b.example\n"
           "[Source 1\nHost = [::1]\n"
           "[Source 3]\nHost = three.example\n[Source 1]\nsite=http://one.example\nHost\n"
           "host = a.example");
  TDownloadSources s;
  ASSERT_TRUE(ReadDownloadSources(dir.File("s.ini"), s));
  EXPECT_EQ(s.ServerHosts, (TServerHosts{"a.example", "[::1]"}));
  EXPECT_EQ(s.SiteAddresses[0], "http://one.example");
  EXPECT_EQ(s.SiteAddresses[1], "");
  EXPECT_EQ(SiteUrl(s, 0), "http://one.example/");
  EXPECT_EQ(SiteUrl(s, 1), "");
  EXPECT_EQ(SiteUrl(s, 2), "http://one.example/");  // anything but entry 1 is entry 0
  EXPECT_FALSE(s.Empty());
}

TEST(DownloadSources, HostsAreMatchedWithoutLetterCaseAndNeverWhenEmpty) {
  const TServerHosts both{"One.example", "two.example"};
  EXPECT_TRUE(IsSourceHost(both, "ONE.EXAMPLE"));
  EXPECT_TRUE(IsSourceHost(both, "Two.Example"));
  EXPECT_FALSE(IsSourceHost(both, "three.example"));
  EXPECT_FALSE(IsSourceHost(both, "one.example2"));
  EXPECT_FALSE(IsSourceHost(both, ""));
  const TServerHosts secondOnly{"", "two.example"};
  EXPECT_FALSE(IsSourceHost(secondOnly, ""));
  EXPECT_EQ(ServerIndex(secondOnly, "TWO.example"), 1);

  TDownloadSources s;
  EXPECT_TRUE(s.Empty());
  EXPECT_EQ(DefaultDnSrc(s), "");
  s.ServerHosts = {"one.example", ""};
  EXPECT_FALSE(s.Empty());
  EXPECT_EQ(DefaultDnSrc(s), "one.example");
  s.ServerHosts = {"one.example", "two.example"};
  EXPECT_EQ(DefaultDnSrc(s), "two.example");
  s.ServerHosts = {"", "two.example"};
  EXPECT_FALSE(s.Empty());
  EXPECT_EQ(DefaultDnSrc(s), "two.example");
}

TEST(DownloadSources, ThePlayersFilesWinOnlyWhenTheyAreThereAndReadable) {
  TTempFolder program, player;
  const std::string exe = program.File(""), data = player.File("");
  std::filesystem::create_directories(program.File("thumb"));
  EXPECT_EQ(DownloadListHome(exe, data), exe + "thumb/");
  std::filesystem::create_directories(player.File("thumb/jiglist.txt"));  // a folder is no list
  EXPECT_EQ(DownloadListHome(exe, data), exe + "thumb/");
  std::filesystem::remove(player.File("thumb/jiglist.txt"));
  WriteRaw(player.File("thumb/jiglist.txt"), "");
  EXPECT_EQ(DownloadListHome(exe, data), data + "thumb/");

  WriteRaw(program.File(kSourcesFileName), "[Source 1]\nHost=program.example\n");
  TDownloadSources s = LoadDownloadSources(exe, data);
  EXPECT_EQ(s.ServerHosts[0], "program.example");
  EXPECT_EQ(s.FileToEdit, data + kSourcesFileName);
  WriteRaw(player.File(kSourcesFileName), "[Source 1]\nHost=player.example\n");
  EXPECT_EQ(LoadDownloadSources(exe, data).ServerHosts[0], "player.example");
  WriteRaw(player.File(kSourcesFileName), std::string(size_t(kMaxSourcesFileBytes) + 1, ';'));
  s = LoadDownloadSources(exe, data);
  EXPECT_EQ(s.ServerHosts[0], "program.example");
  EXPECT_EQ(s.FileToEdit, data + kSourcesFileName);
}

}  // namespace
