#include "foundation/binary_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "support/file_bytes.h"

namespace {
std::string WriteRaw(const QTemporaryDir& dir, const std::string& name, const std::string& bytes) {
  std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
  ::WriteRaw(path, bytes);
  return path;
}
}  // namespace

TEST(BinaryReader, ReadsLittleEndianAndRefusesToRunPastTheEnd) {
  QTemporaryDir dir;
  std::string path = WriteRaw(dir, "a.bin", std::string("\x01\x02\x03\x84\xAA\xBB", 6));
  TBinaryReader r;
  ASSERT_TRUE(r.Open(path));
  EXPECT_EQ(r.Size(), 6);
  int32_t v = 0;
  ASSERT_TRUE(r.ReadInt32(v));
  EXPECT_EQ(uint32_t(v), 0x84030201u);
  // Two bytes remain: a 32-bit read is refused whole and the position stays.
  EXPECT_FALSE(r.ReadInt32(v));
  EXPECT_EQ(r.Position(), 4);
  uint8_t b[3] = {7, 7, 7};
  EXPECT_FALSE(r.Read(b, 3));
  EXPECT_EQ(b[0], 7);
  EXPECT_FALSE(r.Read(b, -1));
  EXPECT_TRUE(r.Read(b, 2));
  EXPECT_EQ(b[1], 0xBB);
  EXPECT_EQ(r.Remaining(), 0);
  EXPECT_TRUE(r.Read(b, 0));
  EXPECT_FALSE(r.Seek(7));
  EXPECT_FALSE(r.Seek(-1));
  EXPECT_FALSE(r.Skip(-1)) << "no skipping backwards";
  EXPECT_EQ(r.Position(), 6);
  EXPECT_TRUE(r.Seek(6));
  EXPECT_FALSE(r.Skip(1));
}

TEST(BinaryReader, OpensRegularFilesOnly) {
  QTemporaryDir dir;
  TBinaryReader r;
  EXPECT_FALSE(r.Open(dir.path().toStdString()));
  EXPECT_FALSE(r.Open(dir.filePath("missing").toStdString()));
  // A pipe named like a jigsaw nobody writes to: refused at once, not waited on.
  const std::string pipe = dir.filePath("waiting.zvq").toStdString();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(r.Open(pipe));
  EXPECT_FALSE(r.IsOpen());
  int32_t v;
  EXPECT_FALSE(r.ReadInt32(v));
  // A regular file opened afterwards reads normally (the descriptor is back to blocking reads).
  ASSERT_TRUE(r.Open(WriteRaw(dir, "four.bin", std::string("\x01\x02\x03\x04", 4))));
  ASSERT_TRUE(r.ReadInt32(v));
  EXPECT_EQ(v, 0x04030201);
}

TEST(BinaryWriter, TargetChangesOnlyOnCommit) {
  QTemporaryDir dir;
  std::string path = WriteRaw(dir, "t.bin", "old");
  {
    TBinaryWriter w;
    ASSERT_TRUE(w.Create(path));
    ASSERT_TRUE(w.WriteInt32(-2));
    EXPECT_EQ(w.Position(), 4);
  }  // dropped without Commit
  std::ifstream in(path, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(content, "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path().toStdString()),
                          std::filesystem::directory_iterator{}),
            1);  // no temporary file left behind

  TBinaryWriter w;
  ASSERT_TRUE(w.Create(path));
  ASSERT_TRUE(w.WriteInt32(-2));
  ASSERT_TRUE(w.Commit());
  std::vector<uint8_t> head;
  ASSERT_TRUE(ReadFileHead(path, 10, head));
  EXPECT_EQ(head, (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(BinaryWriter, FailsInAFolderThatDoesNotExist) {
  QTemporaryDir dir;
  TBinaryWriter w;
  EXPECT_FALSE(w.Create(dir.filePath("no/such/file").toStdString()));
  EXPECT_FALSE(w.WriteInt32(1));
  EXPECT_FALSE(w.Commit());
}

// A disk that fills part-way (the file-size limit of a child process) leaves the old file whole
// and no temporary file behind.
TEST(BinaryWriter, AWriteThatRunsOutOfRoomLeavesTheOldFileWhole) {
  QTemporaryDir dir;
  const std::string path = WriteRaw(dir, "t.bin", "old");
  fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &limit);
    TBinaryWriter w;
    const std::string big(100000, 'x');
    _exit(w.Create(path) && (w.Write(big.data(), int64_t(big.size())), true) && !w.Commit() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write claimed success";
  std::vector<uint8_t> head;
  ASSERT_TRUE(ReadFileHead(path, 10, head));
  EXPECT_EQ(head, (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path().toStdString()), {}), 1);
}
