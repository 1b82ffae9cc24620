#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>

#include "foundation/artwork.h"
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

TEST(ProgramResources, NamedResourcesAreFoundByTheirExactName) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  QDir(root.path()).mkpath("CURSOR");
  QDir(root.path()).mkpath("SECRET");
  WriteFile(root.filePath("CURSOR/DRAGAAA"), "open hand");
  WriteFile(root.filePath("CURSOR/DRAGAAAB"), "another");
  WriteFile(root.filePath("CURSOR/ARROW.png"), "arrow");
  WriteFile(root.filePath("CURSOR/TWICE.png"), "one");
  WriteFile(root.filePath("CURSOR/TWICE.cur"), "two");
  WriteFile(root.filePath("SECRET/KEY"), "not a cursor");
  const std::string base = root.path().toStdString();
  std::vector<uint8_t> out;
  ASSERT_TRUE(ReadNamedResourceBelow(base, "CURSOR", "DRAGAAA", out));
  EXPECT_EQ(std::string(out.begin(), out.end()), "open hand");
  ASSERT_TRUE(ReadNamedResourceBelow(base, "CURSOR", "ARROW", out));
  EXPECT_EQ(std::string(out.begin(), out.end()), "arrow");
  EXPECT_FALSE(ReadNamedResourceBelow(base, "CURSOR", "TWICE", out));
  EXPECT_FALSE(ReadNamedResourceBelow(base, "CURSOR", "DRAG", out)) << "a prefix is no name";
  // Names never leave their kind's folder nor act as patterns.
  for (const char* hostile : {"", ".", "..", "../SECRET/KEY", "..\\SECRET\\KEY", "DRAG*", "DRAGAA?", "[D]RAGAAA"}) {
    out = {1};
    EXPECT_FALSE(ReadNamedResourceBelow(base, "CURSOR", hostile, out)) << hostile;
    EXPECT_TRUE(out.empty()) << hostile;
  }
  EXPECT_FALSE(ReadNamedResourceBelow(base, "../CURSOR", "DRAGAAA", out));
  EXPECT_FALSE(ReadNamedResourceBelow(base, "CURSOR", std::string("DRAGAAA\0x", 9), out));
}

TEST(ProgramResources, EveryCursorOfTheArtworkIsCompiledInByName) {
  for (const TCursorArt& c : kCursorArt) {
    std::vector<uint8_t> out;
    ASSERT_TRUE(ReadNamedProgramResource(kCursorResourceKind, c.Name, out)) << c.Name;
    ASSERT_GT(out.size(), 8u);
    EXPECT_EQ(std::string(out.begin() + 1, out.begin() + 4), "PNG") << c.Name;
    EXPECT_EQ(FindCursorArt(c.Name), &c);
  }
  EXPECT_NE(FindCursorArt("DRAGBBB"), nullptr);
  EXPECT_EQ(FindCursorArt("DRAGCCC"), nullptr);
  EXPECT_EQ(FindCursorArt("dragaaa"), nullptr);
  std::vector<uint8_t> out;
  EXPECT_FALSE(ReadNamedProgramResource(kCursorResourceKind, "NOSUCHCURSOR", out));
  // The numbered lookup is the named one with the number as its name.
  std::vector<uint8_t> byId, byName;
  ASSERT_TRUE(ReadProgramResource(kPngResourceKind, kFrameSkinPngId, byId));
  ASSERT_TRUE(ReadNamedProgramResource(kPngResourceKind, std::to_string(kFrameSkinPngId), byName));
  EXPECT_EQ(byId, byName);
}

}  // namespace
