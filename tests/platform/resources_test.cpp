#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fstream>

#include "foundation/artwork.h"
#include "platform/resources.h"

namespace {

// Files below a fresh root, "KIND/NAME" -> contents.
void WriteFiles(const QTemporaryDir& root, std::initializer_list<std::pair<const char*, const char*>> files) {
  for (const auto& [name, text] : files) {
    const QString path = root.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    std::ofstream(path.toStdString(), std::ios::binary) << text;
  }
}

std::string Text(const std::vector<uint8_t>& v) { return {v.begin(), v.end()}; }

TEST(ProgramResources, KindAndIdNameOneFileWithAnyExtension) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  WriteFiles(root, {{"PNGIMAGE/4.png", "four"},
                    {"PNGIMAGE/40.png", "forty"},
                    {"BITMAP/1", "bare"},
                    {"BITMAP/2.bmp", "two"},
                    {"BITMAP/2.bak", "two again"}});
  const std::string base = root.path().toStdString();
  std::vector<uint8_t> out;
  ASSERT_TRUE(ReadResourceBelow(base, kPngResourceKind, 4, out));
  EXPECT_EQ(Text(out), "four");
  ASSERT_TRUE(ReadResourceBelow(base, kBitmapResourceKind, 1, out));
  EXPECT_EQ(Text(out), "bare");
  EXPECT_FALSE(ReadResourceBelow(base, kBitmapResourceKind, 2, out)) << "two candidates: none is right";
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(ReadResourceBelow(base, kPngResourceKind, 3, out));
  EXPECT_FALSE(ReadResourceBelow(base, "NOKIND", 4, out));
}

TEST(ProgramResources, NamedResourcesAreFoundByTheirExactName) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  WriteFiles(root, {{"CURSOR/DRAGAAA", "open hand"},
                    {"CURSOR/DRAGAAAB", "another"},
                    {"CURSOR/ARROW.png", "arrow"},
                    {"CURSOR/TWICE.png", "one"},
                    {"CURSOR/TWICE.cur", "two"},
                    {"SECRET/KEY", "not a cursor"}});
  const std::string base = root.path().toStdString();
  std::vector<uint8_t> out;
  ASSERT_TRUE(ReadNamedResourceBelow(base, "CURSOR", "DRAGAAA", out));
  EXPECT_EQ(Text(out), "open hand");
  ASSERT_TRUE(ReadNamedResourceBelow(base, "CURSOR", "ARROW", out));
  EXPECT_EQ(Text(out), "arrow");
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

}  // namespace
