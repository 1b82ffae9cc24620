#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>

#include "platform/resources.h"

namespace {

void WriteFile(const QString& path, const std::string& text) {
  std::ofstream(path.toStdString(), std::ios::binary) << text;
}

TEST(ProgramResources, KindAndIdNameOneFileWithAnyExtension) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  QDir(root.path()).mkpath("PNGIMAGE");
  QDir(root.path()).mkpath("BITMAP");
  WriteFile(root.filePath("PNGIMAGE/4.png"), "four");
  WriteFile(root.filePath("PNGIMAGE/40.png"), "forty");
  WriteFile(root.filePath("BITMAP/1"), "bare");
  WriteFile(root.filePath("BITMAP/2.bmp"), "two");
  WriteFile(root.filePath("BITMAP/2.bak"), "two again");
  const std::string base = root.path().toStdString();
  std::vector<uint8_t> out;
  ASSERT_TRUE(ReadResourceBelow(base, kPngResourceKind, 4, out));
  EXPECT_EQ(std::string(out.begin(), out.end()), "four");
  ASSERT_TRUE(ReadResourceBelow(base, kPngResourceKind, 40, out));
  EXPECT_EQ(std::string(out.begin(), out.end()), "forty");
  ASSERT_TRUE(ReadResourceBelow(base, kBitmapResourceKind, 1, out));
  EXPECT_EQ(std::string(out.begin(), out.end()), "bare");
  EXPECT_FALSE(ReadResourceBelow(base, kBitmapResourceKind, 2, out)) << "two candidates: none is right";
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(ReadResourceBelow(base, kPngResourceKind, 3, out));
  EXPECT_FALSE(ReadResourceBelow(base, "NOKIND", 4, out));
}

TEST(ProgramResources, TheProgramCollectionIsCompiledIn) {
  // Sounds are compiled in by folder; an unknown id of a known kind is simply absent.
  EXPECT_TRUE(QFile::exists(":/sound/default.wav"));
  std::vector<uint8_t> out{1, 2, 3};
  EXPECT_FALSE(ReadProgramResource(kPngResourceKind, 987654, out));
  EXPECT_TRUE(out.empty());
}

}  // namespace
