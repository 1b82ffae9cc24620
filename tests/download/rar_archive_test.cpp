#include "platform/rar_archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <archive.h>
#include <archive_entry.h>

#include <filesystem>

#include "support/file_bytes.h"
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

// Reads every header and extracts every entry the way the download does.
TExtractRun ExtractAll(const std::string& archive, const std::string& dest, int64_t maxEntry = kRarMaxEntrySize,
                       int64_t maxTotal = kRarMaxTotalSize) {
  TExtractRun run;
  TRarOpenArchiveData open;
  open.ArcName = archive;
  open.MaxEntrySize = maxEntry;
  open.MaxTotalSize = maxTotal;
  TRarHandle h = RAROpenArchive(open);
  run.OpenResult = open.OpenResult;
  if (!h) return run;
  TRarHeaderData header;
  while ((run.LastHeader = RARReadHeader(h, header)) == kRarSuccess) {
    run.Names.push_back(header.FileName);
    run.ProcessResults.push_back(RARProcessFile(h, kRarExtract, dest));
  }
  EXPECT_EQ(RARCloseArchive(h), kRarSuccess);
  return run;
}

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(seed + i * 7 + (i >> 8));
  return v;
}

// Every name in the folder tree, relative, sorted.
std::vector<std::string> Tree(const fs::path& root) {
  std::vector<std::string> names;
  for (auto& e : fs::recursive_directory_iterator(root)) names.push_back(fs::relative(e.path(), root).string());
  std::sort(names.begin(), names.end());
  return names;
}

class RarArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir.Path() / "out");
    out = (dir.Path() / "out").string();
  }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    Spit(dir.File(name), bytes);
    return dir.File(name);
  }
  TTempFolder dir;
  std::string out;
};

}  // namespace

// Our writer's archives are real RAR archives: libarchive's own reader lists them with the
// stored names, sizes and contents.
TEST_F(RarArchiveTest, WriterArchivesReadByLibarchive) {
  const auto a = Pattern(70000, 3), b = RarBytes("second");
  const std::string path = Write("w.rar", MakeRar4({{.Name = "cat.zvq", .Data = a}, {.Name = "dir\\b.txt", .Data = b}}));
  archive* r = archive_read_new();
  archive_read_support_format_rar(r);
  ASSERT_EQ(archive_read_open_filename(r, path.c_str(), 4096), ARCHIVE_OK) << archive_error_string(r);
  archive_entry* e = nullptr;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> got;
  while (archive_read_next_header(r, &e) == ARCHIVE_OK) {
    std::vector<uint8_t> data(size_t(archive_entry_size(e)));
    EXPECT_EQ(archive_read_data(r, data.data(), data.size()), la_ssize_t(data.size()));
    got.emplace_back(archive_entry_pathname(e), data);
  }
  archive_read_free(r);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].first, "cat.zvq");
  EXPECT_EQ(got[0].second, a);
  EXPECT_EQ(got[1].second, b);
}

TEST_F(RarArchiveTest, ExtractsFilesAndFoldersWithStoredNames) {
  const auto a = Pattern(200000, 9), b = RarBytes("inner file"), empty = std::vector<uint8_t>();
  const std::string path = Write("x.rar", MakeRar4({{.Name = "cat.zvq", .Data = a},
                                                     {.Name = "sub", .Data = {}, .Directory = true},
                                                     {.Name = "sub\\inner.txt", .Data = b},
                                                     {.Name = "deep/er/empty.bin", .Data = empty}}));
  TExtractRun run = ExtractAll(path, out);
  EXPECT_EQ(run.OpenResult, kRarSuccess);
  EXPECT_EQ(run.LastHeader, kRarEndArchive);
  EXPECT_EQ(run.ProcessResults, (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(run.Names[2], "sub/inner.txt");
  EXPECT_EQ(Slurp(out + "/cat.zvq"), a);
  EXPECT_EQ(Slurp(out + "/sub/inner.txt"), b);
  EXPECT_TRUE(fs::is_regular_file(out + "/deep/er/empty.bin"));
  EXPECT_EQ(fs::file_size(out + "/deep/er/empty.bin"), 0u);
  // Nothing but the entries: no temporary file left behind.
  EXPECT_EQ(Tree(out), (std::vector<std::string>{"cat.zvq", "deep", "deep/er", "deep/er/empty.bin", "sub",
                                                  "sub/inner.txt"}));
}

TEST_F(RarArchiveTest, ExtractionReplacesAnExistingFile) {
  Spit(out + "/cat.zvq", RarBytes("old contents that are longer"));
  const std::string path = Write("x.rar", MakeRar4({{.Name = "cat.zvq", .Data = RarBytes("new")}}));
  TExtractRun run = ExtractAll(path, out);
  EXPECT_EQ(run.ProcessResults, std::vector<int32_t>{0});
  EXPECT_EQ(Slurp(out + "/cat.zvq"), RarBytes("new"));
}

TEST_F(RarArchiveTest, SkipAndTestWriteNothing) {
  const std::string path = Write("x.rar", MakeRar4({{.Name = "a.zvq", .Data = RarBytes("aaa")},
                                                     {.Name = "b.zvq", .Data = RarBytes("bbb")}}));
  TRarOpenArchiveData open{.ArcName = path};
  TRarHandle h = RAROpenArchive(open);
  ASSERT_NE(h, nullptr);
  TRarHeaderData header;
  ASSERT_EQ(RARReadHeader(h, header), kRarSuccess);
  EXPECT_EQ(header.UnpSize, 3);
  EXPECT_EQ(RARProcessFile(h, kRarSkip, out), kRarSuccess);
  ASSERT_EQ(RARReadHeader(h, header), kRarSuccess);
  EXPECT_EQ(header.FileName, "b.zvq");
  EXPECT_EQ(RARProcessFile(h, kRarTest, out), kRarSuccess);
  EXPECT_EQ(RARProcessFile(h, kRarExtract, out), kRarUnknown);  // already processed
  EXPECT_EQ(RARReadHeader(h, header), kRarEndArchive);
  RARCloseArchive(h);
  EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(RarArchiveTest, OpenFailures) {
  TRarOpenArchiveData missing{.ArcName = dir.File("missing.rar")};
  EXPECT_EQ(RAROpenArchive(missing), nullptr);
  EXPECT_EQ(missing.OpenResult, kRarOpenError);

  TRarOpenArchiveData folder{.ArcName = out};
  EXPECT_EQ(RAROpenArchive(folder), nullptr);
  EXPECT_EQ(folder.OpenResult, kRarOpenError);

  for (const auto& bytes : {RarBytes("<html><title>404 Not Found</title></html>"), std::vector<uint8_t>(),
                            RarBytes("Rar!\x1a")}) {
    TRarOpenArchiveData bad{.ArcName = Write("bad.rar", bytes)};
    EXPECT_EQ(RAROpenArchive(bad), nullptr);
    EXPECT_EQ(bad.OpenResult, kRarBadArchive);
  }
}

// Names that would land outside the destination, links and device files are refused; the
// entries around them are still extracted.
TEST_F(RarArchiveTest, HostileEntriesAreRefused) {
  const std::string path = Write(
      "h.rar", MakeRar4({{.Name = "../escape.txt", .Data = RarBytes("x")},
                         {.Name = "..\\..\\escape2.txt", .Data = RarBytes("x")},
                         {.Name = "a/../../escape3.txt", .Data = RarBytes("x")},
                         {.Name = "/tmp/absolute.txt", .Data = RarBytes("x")},
                         {.Name = "link", .Data = RarBytes("/etc/passwd"), .HostOs = 3, .Attributes = 0120777},
                         {.Name = "dev", .Data = {}, .HostOs = 3, .Attributes = 0020644},
                         {.Name = "fifo", .Data = {}, .HostOs = 3, .Attributes = 0010644},
                         {.Name = "./good.zvq", .Data = RarBytes("good")}}));
  TExtractRun run = ExtractAll(path, out);
  ASSERT_EQ(run.ProcessResults.size(), 8u);
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(run.ProcessResults[i], kRarCreateError) << run.Names[i];
  EXPECT_EQ(run.ProcessResults[7], kRarSuccess);
  EXPECT_EQ(Tree(out), std::vector<std::string>{"good.zvq"});
  EXPECT_FALSE(fs::exists(dir.Path() / "escape.txt"));
  EXPECT_FALSE(fs::exists("/tmp/absolute.txt"));
}

// A folder of the destination that is a link is not followed.
TEST_F(RarArchiveTest, LinkedFolderInDestinationIsNotFollowed) {
  fs::create_directory(dir.Path() / "elsewhere");
  fs::create_directory_symlink(dir.Path() / "elsewhere", out + "/sub");
  const std::string path = Write("x.rar", MakeRar4({{.Name = "sub/a.zvq", .Data = RarBytes("a")}}));
  TExtractRun run = ExtractAll(path, out);
  EXPECT_EQ(run.ProcessResults, std::vector<int32_t>{kRarCreateError});
  EXPECT_TRUE(fs::is_empty(dir.Path() / "elsewhere"));
}

TEST_F(RarArchiveTest, SizesAreCapped) {
  // A declared size far above the cap is refused before any byte is read.
  const std::string huge = Write("huge.rar", MakeRar4({{.Name = "huge.zvq", .Data = RarBytes("small"),
                                                        .DeclaredSize = int64_t(1) << 40}}));
  TExtractRun run = ExtractAll(huge, out);
  ASSERT_EQ(run.ProcessResults.size(), 1u);
  EXPECT_EQ(run.ProcessResults[0], kRarCreateError);
  EXPECT_TRUE(fs::is_empty(out));

  // Each entry under the per-entry cap, but together over the total cap: the later one fails.
  const std::string two = Write("two.rar", MakeRar4({{.Name = "a.zvq", .Data = Pattern(600, 1)},
                                                      {.Name = "b.zvq", .Data = Pattern(600, 2)}}));
  run = ExtractAll(two, out, 1000, 1000);
  EXPECT_EQ(run.ProcessResults, (std::vector<int32_t>{kRarSuccess, kRarCreateError}));
  EXPECT_EQ(Tree(out), std::vector<std::string>{"a.zvq"});

  run = ExtractAll(two, out, 599, kRarMaxTotalSize);
  EXPECT_EQ(run.ProcessResults, (std::vector<int32_t>{kRarCreateError, kRarCreateError}));
}

TEST_F(RarArchiveTest, BrokenArchives) {
  const auto good = Pattern(5000, 4);
  // A wrong file checksum fails the entry and leaves no file.
  TExtractRun run = ExtractAll(Write("crc.rar", MakeRar4({{.Name = "a.zvq", .Data = good, .BadDataCrc = true}})), out);
  EXPECT_EQ(run.ProcessResults, std::vector<int32_t>{kRarBadData});
  EXPECT_TRUE(fs::is_empty(out));
  {
    TRarOpenArchiveData open{.ArcName = dir.File("crc.rar")};
    TRarHandle h = RAROpenArchive(open);
    TRarHeaderData header;
    ASSERT_EQ(RARReadHeader(h, header), kRarSuccess);
    EXPECT_EQ(RARProcessFile(h, kRarTest, out), kRarBadData);
    RARCloseArchive(h);
  }

  // A wrong header checksum is a broken header.
  run = ExtractAll(Write("hcrc.rar", MakeRar4({{.Name = "a.zvq", .Data = good},
                                               {.Name = "b.zvq", .Data = good, .BadHeaderCrc = true}})),
                   out);
  EXPECT_EQ(run.ProcessResults, std::vector<int32_t>{kRarSuccess});
  EXPECT_EQ(run.LastHeader, kRarBadData);

  // Truncated in the data of the last entry, and in its header.
  std::vector<uint8_t> bytes = MakeRar4({{.Name = "a.zvq", .Data = good}, {.Name = "b.zvq", .Data = good}}, false);
  std::vector<uint8_t> cutData(bytes.begin(), bytes.end() - 100);
  fs::remove_all(out);
  fs::create_directory(out);
  run = ExtractAll(Write("cut.rar", cutData), out);
  ASSERT_EQ(run.ProcessResults.size(), 2u);
  EXPECT_EQ(run.ProcessResults[0], kRarSuccess);
  EXPECT_EQ(run.ProcessResults[1], kRarBadData);
  EXPECT_EQ(Tree(out), std::vector<std::string>{"a.zvq"});
  EXPECT_EQ(Slurp(out + "/a.zvq"), good);

  const size_t secondHeader = 7 + 13 + 32 + 5 + good.size();
  std::vector<uint8_t> cutHeader(bytes.begin(), bytes.begin() + secondHeader + 10);
  run = ExtractAll(Write("cuth.rar", cutHeader), out);
  EXPECT_EQ(run.ProcessResults, std::vector<int32_t>{kRarSuccess});
  EXPECT_EQ(run.LastHeader, kRarBadData);
}

// Every prefix of a small archive is handled without a crash and never leaves a file other
// than the complete entry.
TEST_F(RarArchiveTest, EveryTruncationIsSafe) {
  const auto data = Pattern(300, 5);
  const std::vector<uint8_t> bytes = MakeRar4({{.Name = "a.zvq", .Data = data}});
  for (size_t n = 0; n < bytes.size(); ++n) {
    fs::remove_all(out);
    fs::create_directory(out);
    TExtractRun run = ExtractAll(Write("p.rar", std::vector<uint8_t>(bytes.begin(), bytes.begin() + n)), out);
    for (const auto& name : Tree(out)) {
      EXPECT_EQ(name, "a.zvq") << n;
      EXPECT_EQ(Slurp(out + "/a.zvq"), data) << n;
    }
  }
}
