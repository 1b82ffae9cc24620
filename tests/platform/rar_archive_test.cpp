#include "platform/rar_archive.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <filesystem>

#include "support/file_bytes.h"
#include "support/jigsaw_site.h"
#include "support/rar_writer.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

struct TExtractRun {
  int32_t OpenResult = -1;
  std::vector<int32_t> ProcessResults;  // one per header read
  int32_t LastHeader = -1;
  std::vector<std::string> Names;
};

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(seed + i * 7 + (i >> 8));
  return v;
}

// Every name in the folder tree, relative, sorted.
std::vector<std::string> Tree(const fs::path& root) {
  std::vector<std::string> names;
  for (auto& e : fs::recursive_directory_iterator(root)) names.push_back(e.path().lexically_relative(root).string());
  std::sort(names.begin(), names.end());
  return names;
}

class RarArchive : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void Clear() {
    fs::remove_all(out);
    fs::create_directory(out);
  }
  std::string Write(const std::vector<uint8_t>& bytes) {
    Spit(dir.File("a.rar"), bytes);
    return dir.File("a.rar");
  }
  // Reads every header of the archive and extracts every entry into out, as the download does.
  TExtractRun ExtractAll(const std::vector<uint8_t>& bytes, int64_t maxEntry = kRarMaxEntrySize,
                         int64_t maxTotal = kRarMaxTotalSize) {
    TExtractRun run;
    TRarOpenArchiveData open{.ArcName = Write(bytes), .MaxEntrySize = maxEntry, .MaxTotalSize = maxTotal};
    TRarHandle h = RAROpenArchive(open);
    run.OpenResult = open.OpenResult;
    if (!h) return run;
    TRarHeaderData header;
    while ((run.LastHeader = RARReadHeader(h, header)) == kRarSuccess) {
      run.Names.push_back(header.FileName);
      run.ProcessResults.push_back(RARProcessFile(h, kRarExtract, out));
    }
    EXPECT_EQ(RARCloseArchive(h), kRarSuccess);
    return run;
  }
  TTempFolder dir;
  std::string out = dir.File("out");
};

}  // namespace

TEST_F(RarArchive, ExtractsFilesAndFoldersWithStoredNames) {
  const auto a = Pattern(200000, 9), b = RarBytes("inner file");
  Spit(out + "/cat.zvq", RarBytes("old contents that are longer"));  // replaced
  TExtractRun run = ExtractAll(MakeRar4({{.Name = "cat.zvq", .Data = a},
                                         {.Name = "sub", .Data = {}, .Directory = true},
                                         {.Name = "sub\\inner.txt", .Data = b},
                                         {.Name = "deep/er/empty.bin", .Data = {}}}));
  EXPECT_EQ(run.OpenResult, kRarSuccess);
  EXPECT_EQ(run.LastHeader, kRarEndArchive);
  EXPECT_EQ(run.ProcessResults, (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(run.Names[2], "sub/inner.txt");
  EXPECT_EQ(Slurp(out + "/cat.zvq"), a);
  EXPECT_EQ(Slurp(out + "/sub/inner.txt"), b);
  EXPECT_EQ(fs::file_size(out + "/deep/er/empty.bin"), 0u);
  // Nothing but the entries: no temporary file left behind.
  EXPECT_EQ(Tree(out),
            (std::vector<std::string>{"cat.zvq", "deep", "deep/er", "deep/er/empty.bin", "sub", "sub/inner.txt"}));
}

// Blocks other than files, down to a bare 7-byte header, may stand before and between the
// files: they are passed over and each file's checksum is still found and checked.
TEST_F(RarArchive, BareBlocksBetweenFilesArePassedOver) {
  const auto a = Pattern(300, 1), b = Pattern(200, 2);
  std::vector<uint8_t> bytes = MakeRar4({{.Name = "a.zvq", .Data = a}, {.Name = "b.zvq", .Data = b}});
  std::vector<uint8_t> bare;
  RarPutBlock(bare, {0x79, 0x00, 0x00, 7, 0x00});
  const size_t firstEnd = 7 + 13 + 32 + 5 + a.size();
  bytes.insert(bytes.begin() + std::ptrdiff_t(firstEnd), bare.begin(), bare.end());
  bytes.insert(bytes.begin() + 20, bare.begin(), bare.end());
  const TExtractRun run = ExtractAll(bytes);
  EXPECT_EQ(run.ProcessResults, (std::vector<int32_t>{kRarSuccess, kRarSuccess}));
  EXPECT_EQ(Slurp(out + "/a.zvq"), a);
  EXPECT_EQ(Slurp(out + "/b.zvq"), b);
}

// A game started with its standard input closed hands descriptor 0 to the first file it opens:
// extraction must close that one like any other.
TEST_F(RarArchive, ExtractionClosesDescriptorZeroToo) {
  const auto a = Pattern(5000, 3), b = RarBytes("inner");
  TRarOpenArchiveData open{.ArcName = Write(MakeRar4({{.Name = "top.zvq", .Data = a},
                                                      {.Name = "sub", .Data = {}, .Directory = true},
                                                      {.Name = "sub/in.txt", .Data = b}}))};
  TRarHandle h = RAROpenArchive(open);
  ASSERT_NE(h, nullptr);
  const int saved = dup(0);
  if (saved >= 0) close(0);
  std::vector<int32_t> results;
  std::vector<bool> zeroOpen;
  TRarHeaderData header;
  while (RARReadHeader(h, header) == kRarSuccess) {
    results.push_back(RARProcessFile(h, kRarExtract, out));
    zeroOpen.push_back(fcntl(0, F_GETFD) != -1);
    if (zeroOpen.back()) close(0);  // keep it free for the next entry
  }
  if (saved >= 0) {
    dup2(saved, 0);
    close(saved);
  }
  EXPECT_EQ(RARCloseArchive(h), kRarSuccess);
  EXPECT_EQ(results, (std::vector<int32_t>{0, 0, 0}));
  EXPECT_EQ(zeroOpen, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(Slurp(out + "/top.zvq"), a);
  EXPECT_EQ(Slurp(out + "/sub/in.txt"), b);
}

TEST_F(RarArchive, OpenFailures) {
  TRarOpenArchiveData missing{.ArcName = dir.File("missing.rar")};
  EXPECT_EQ(RAROpenArchive(missing), nullptr);
  EXPECT_EQ(missing.OpenResult, kRarOpenError);
  TRarOpenArchiveData folder{.ArcName = out};
  EXPECT_EQ(RAROpenArchive(folder), nullptr);
  EXPECT_EQ(folder.OpenResult, kRarOpenError);
  for (const auto& bytes :
       {RarBytes("<html><title>404 Not Found</title></html>"), std::vector<uint8_t>(), RarBytes("Rar!\x1a")}) {
    EXPECT_EQ(ExtractAll(bytes).OpenResult, kRarBadArchive);
  }
}

// Names that would land outside the destination, links and device files are refused; the
// entries around them are still extracted. A folder of the destination that is a link is not
// followed.
TEST_F(RarArchive, HostileEntriesAreRefused) {
  fs::create_directory(dir.Path() / "elsewhere");
  fs::create_directory_symlink(dir.Path() / "elsewhere", out + "/sub");
  TExtractRun run =
      ExtractAll(MakeRar4({{.Name = "../escape.txt", .Data = RarBytes("x")},
                           {.Name = "..\\..\\escape2.txt", .Data = RarBytes("x")},
                           {.Name = "a/../../escape3.txt", .Data = RarBytes("x")},
                           {.Name = "/tmp/absolute.txt", .Data = RarBytes("x")},
                           {.Name = "link", .Data = RarBytes("/etc/passwd"), .HostOs = 3, .Attributes = 0120777},
                           {.Name = "dev", .Data = {}, .HostOs = 3, .Attributes = 0020644},
                           {.Name = "fifo", .Data = {}, .HostOs = 3, .Attributes = 0010644},
                           {.Name = "sub/a.zvq", .Data = RarBytes("a")},
                           {.Name = "./good.zvq", .Data = RarBytes("good")}}));
  ASSERT_EQ(run.ProcessResults.size(), 9u);
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(run.ProcessResults[i], kRarCreateError) << run.Names[i];
  EXPECT_EQ(run.ProcessResults[8], kRarSuccess);
  EXPECT_EQ(Tree(out), (std::vector<std::string>{"good.zvq", "sub"}));
  EXPECT_TRUE(fs::is_empty(dir.Path() / "elsewhere"));
  EXPECT_FALSE(fs::exists(dir.Path() / "escape.txt"));
  EXPECT_FALSE(fs::exists("/tmp/absolute.txt"));
}

TEST_F(RarArchive, SizesAreCapped) {
  // A declared size far above the cap is refused before any byte is read.
  TExtractRun run =
      ExtractAll(MakeRar4({{.Name = "huge.zvq", .Data = RarBytes("small"), .DeclaredSize = int64_t(1) << 40}}));
  EXPECT_EQ(run.ProcessResults, std::vector<int32_t>{kRarCreateError});
  EXPECT_TRUE(fs::is_empty(out));

  // Each entry under the per-entry cap, but together over the total cap: the later one fails.
  const auto two = MakeRar4({{.Name = "a.zvq", .Data = Pattern(600, 1)}, {.Name = "b.zvq", .Data = Pattern(600, 2)}});
  run = ExtractAll(two, 1000, 1000);
  EXPECT_EQ(run.ProcessResults, (std::vector<int32_t>{kRarSuccess, kRarCreateError}));
  EXPECT_EQ(Tree(out), std::vector<std::string>{"a.zvq"});
  run = ExtractAll(two, 599, kRarMaxTotalSize);
  EXPECT_EQ(run.ProcessResults, (std::vector<int32_t>{kRarCreateError, kRarCreateError}));
  // Each cap is a size allowed: entries of exactly the entry cap, together exactly the total.
  Clear();
  run = ExtractAll(two, 600, 1200);
  EXPECT_EQ(run.ProcessResults, (std::vector<int32_t>{kRarSuccess, kRarSuccess}));
  EXPECT_EQ(Slurp(out + "/b.zvq"), Pattern(600, 2));
  Clear();
  run = ExtractAll(two, 600, 1199);
  EXPECT_EQ(run.ProcessResults, (std::vector<int32_t>{kRarSuccess, kRarCreateError}));
}

// A wrong file checksum fails the entry and leaves no file; a wrong header checksum is a
// broken header.
TEST_F(RarArchive, BrokenChecksums) {
  const auto good = Pattern(5000, 4);
  TExtractRun run = ExtractAll(MakeRar4({{.Name = "a.zvq", .Data = good, .BadDataCrc = true}}));
  EXPECT_EQ(run.ProcessResults, std::vector<int32_t>{kRarBadData});
  EXPECT_TRUE(fs::is_empty(out));
  run = ExtractAll(MakeRar4({{.Name = "a.zvq", .Data = good}, {.Name = "b.zvq", .Data = good, .BadHeaderCrc = true}}));
  EXPECT_EQ(run.ProcessResults, std::vector<int32_t>{kRarSuccess});
  EXPECT_EQ(run.LastHeader, kRarBadData);
}

// Every prefix of a two-entry archive: the first entry is extracted whole once its data is
// there, a cut in the second's data fails it, a cut in its header is a broken header, and no
// partial file is ever left.
TEST_F(RarArchive, EveryTruncationIsSafe) {
  const auto a = Pattern(300, 5), b = Pattern(200, 6);
  const std::vector<uint8_t> bytes = MakeRar4({{.Name = "a.zvq", .Data = a}, {.Name = "b.zvq", .Data = b}}, false);
  const size_t firstEnd = 7 + 13 + 32 + 5 + a.size();
  for (size_t n = 0; n < bytes.size(); ++n) {
    SCOPED_TRACE(n);
    Clear();
    TExtractRun run = ExtractAll(std::vector<uint8_t>(bytes.begin(), bytes.begin() + n));
    const bool firstWhole = n >= firstEnd;
    EXPECT_EQ(Tree(out), firstWhole ? std::vector<std::string>{"a.zvq"} : std::vector<std::string>{});
    if (firstWhole) {
      EXPECT_EQ(Slurp(out + "/a.zvq"), a);
      EXPECT_EQ(run.ProcessResults[0], kRarSuccess);
      const bool secondHeader = n >= firstEnd + 32 + 5;
      EXPECT_EQ(run.ProcessResults.size(), secondHeader ? 2u : 1u);
      // Fewer bytes than a block's fixed part may read as the end of the archive.
      if (secondHeader || n >= firstEnd + 7) {
        EXPECT_EQ(secondHeader ? run.ProcessResults.back() : run.LastHeader, kRarBadData);
      }
    }
  }
}

// A jigsaw archive holds a few files at most two folders deep, named in printable UTF-8 without
// line separators or direction marks: other names are refused rather than turned into file names.
TEST_F(RarArchive, OnlyTheShapeOfAJigsawArchive) {
  struct TCase {
    std::string Name;
    bool Directory, Taken;
  };
  const std::vector<TCase> cases = {{"caf\xC3\xA9.zvq", false, true},
                                    {"a/b/two-deep.zvq", false, true},
                                    {"a/b", true, true},
                                    {"a\x01"
                                     "b.zvq",
                                     false, false},
                                    {"tab\t.zvq", false, false},
                                    {"del\x7F.zvq", false, false},
                                    {"bad\xFF.zvq", false, false},
                                    {"over\xC0\xAF.zvq", false, false},
                                    {"cut\xC3", false, false},
                                    {"c1\xC2\x85.zvq", false, false},
                                    {"sur\xED\xA0\x80.zvq", false, false},
                                    {"a/b/c/three-deep.zvq", false, false},
                                    {"a/b/c", true, false},
                                    {"big cat~.zvq", false, true},
                                    {"nb\xC2\xA0sp.zvq", false, true},
                                    {"c1\xC2\x9F.zvq", false, false},
                                    {"bee\xF0\x9F\x90\x9D.zvq", false, true},
                                    {"over4\xF0\x8F\xBF\xBF.zvq", false, false},
                                    {"over3\xE0\x9F\xBF.zvq", false, false},
                                    {"past\xF4\x90\x80\x80.zvq", false, false},
                                    {"end\xE2\x82\xAC", false, true},
                                    {"cut4\xF0\x9F\x90", false, false},
                                    {"rtl\u202Ecba.zvq", false, false},
                                    {"ls\u2028.zvq", false, false},
                                    {"lrm\u200E.zvq", false, false},
                                    {"lri\u2066/in.zvq", false, false},
                                    {"nnbsp\u202F.zvq", false, true}};
  std::vector<TRarTestEntry> entries;
  for (const TCase& c : cases)
    entries.push_back(
        {.Name = c.Name, .Data = c.Directory ? std::vector<uint8_t>() : RarBytes("j"), .Directory = c.Directory});
  TExtractRun run = ExtractAll(MakeRar4(entries));
  ASSERT_EQ(run.ProcessResults.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(run.ProcessResults[i], cases[i].Taken ? kRarSuccess : kRarCreateError) << run.Names[i];
  EXPECT_EQ(Tree(out),
            (std::vector<std::string>{"a", "a/b", "a/b/two-deep.zvq", "bee\xF0\x9F\x90\x9D.zvq", "big cat~.zvq",
                                      "caf\xC3\xA9.zvq", "end\xE2\x82\xAC", "nb\xC2\xA0sp.zvq", "nnbsp\u202F.zvq"}));
}

// An archive of exactly kRarMaxEntries entries is whole, RAR or zip; one entry more ends it as
// a broken archive after the last one allowed.
TEST_F(RarArchive, AtMostMaxEntries) {
  for (const int count : {kRarMaxEntries, kRarMaxEntries + 1}) {
    std::vector<TRarTestEntry> rar;
    std::vector<std::pair<std::string, size_t>> zip;
    for (int i = 0; i < count; ++i) {
      rar.push_back({.Name = std::to_string(i) + ".zvq", .Data = RarBytes("x")});
      zip.push_back({std::to_string(i) + ".zvq", 1});
    }
    MakeZip(dir.File("flood.zip"), zip);
    for (const bool isZip : {false, true}) {
      SCOPED_TRACE(std::to_string(count) + (isZip ? " zip" : " rar"));
      Clear();
      const TExtractRun run = ExtractAll(isZip ? Slurp(dir.File("flood.zip")) : MakeRar4(rar));
      EXPECT_EQ(run.ProcessResults, std::vector<int32_t>(size_t(kRarMaxEntries), kRarSuccess));
      EXPECT_EQ(run.LastHeader, count > kRarMaxEntries ? kRarBadData : kRarEndArchive);
      EXPECT_EQ(Tree(out).size(), size_t(kRarMaxEntries));
    }
  }
}

// Stored names are UTF-8 whatever the player's locale: in a C locale a zip's "café" is still
// unpacked, and a name with a direction mark is still seen, and refused, as what it is.
TEST_F(RarArchive, NamesAreUtf8WhateverTheLocale) {
  MakeZip(dir.File("names.zip"), {{"caf\u00E9.zvq", 3}, {"lady\u202Ebird.zvq", 3}});
  const std::string saved = setlocale(LC_ALL, nullptr);
  setlocale(LC_ALL, "C");
  const TExtractRun run = ExtractAll(Slurp(dir.File("names.zip")));
  setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(run.Names, (std::vector<std::string>{"caf\u00E9.zvq", "lady\u202Ebird.zvq"}));
  EXPECT_EQ(run.ProcessResults, (std::vector<int32_t>{kRarSuccess, kRarCreateError}));
  EXPECT_EQ(Tree(out), std::vector<std::string>{"caf\u00E9.zvq"});
}
