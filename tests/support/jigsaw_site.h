#pragma once
// A jigsaw site made by the make-jigsaw-site tool from distributed jigsaws, and the player's
// folders, for the tests of the download and its window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <QColor>

#include "support/file_bytes.h"
#include "support/qt_picture_bytes.h"
#include "support/temp_folder.h"

inline std::string DistributedJigsaw(const std::string& name) {
  return std::string(ZORVA_SOURCE_DIR) + "/data/jigsaws/" + name + ".zvq";
}

// The site of the named jigsaws (all distributed ones when none is named): Web is the web
// root, Thumb the list folder, Archives the folder of info.dat and the archives.
struct TJigsawSite {
  TTempFolder Root;
  std::string Web = Root.File("out/site"), Thumb = Root.File("out/thumb") + "/";
  std::string Archives = Web + "/zorva/jigsaws_quix/";

  explicit TJigsawSite(const std::vector<std::string>& names = {}) {
    std::string in = std::string(ZORVA_SOURCE_DIR) + "/data/jigsaws";
    if (!names.empty()) {
      in = Root.File("in");
      std::filesystem::create_directory(in);
      for (const std::string& n : names) std::filesystem::copy_file(DistributedJigsaw(n), in + "/" + n + ".zvq");
    }
    const std::string tool = std::string(ZORVA_BINARY_DIR) + "/make-jigsaw-site";
    EXPECT_EQ(std::system((tool + " '" + in + "' '" + Root.File("out") + "' >/dev/null").c_str()), 0);
  }
};

// A zip archive made by Python's zipfile at path, each entry `size` zero bytes deflated. A '|' in
// a name is stored as a NUL byte, which zipfile itself refuses to write.
inline void MakeZip(const std::string& path, const std::vector<std::pair<std::string, size_t>>& entries) {
  std::string command =
      "python3 -c 'import sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1], \"w\", zipfile.ZIP_DEFLATED)\n"
      "names = sys.argv[2::2]\n"
      "for n, size in zip(names, sys.argv[3::2]): z.writestr(n, bytes(int(size)))\n"
      "z.close()\n"
      "data = open(sys.argv[1], \"rb\").read()\n"
      "for n in names: data = data.replace(n.encode(), n.replace(\"|\", \"\\0\").encode())\n"
      "open(sys.argv[1], \"wb\").write(data)' '" +
      path + "'";
  for (const auto& [name, size] : entries) command += " '" + name + "' " + std::to_string(size);
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

// thumb/ (a list folder of its own), jigsaws/, temp/ and appdata/ in a private folder.
struct TPlayerFolders {
  TTempFolder Root;
  std::string Thumb, Jigsaws, Temp, AppData;

  TPlayerFolders() {
    for (const char* d : {"thumb", "jigsaws", "temp", "appdata"}) std::filesystem::create_directory(Root.Path() / d);
    Thumb = Root.File("thumb") + "/";
    Jigsaws = Root.File("jigsaws") + "/";
    Temp = Root.File("temp") + "/";
    AppData = Root.File("appdata") + "/";
  }
  void WriteList(const std::string& text) const {
    Spit(Thumb + "jiglist.txt", std::vector<uint8_t>(text.begin(), text.end()));
  }
  void WritePreview(const std::string& name, int w, int h, QColor color) const {
    Spit(Thumb + name + ".jpg", QtPictureBytes("JPG", w, h, color));
  }
  void WriteJigsaw(const std::string& name, const std::vector<uint8_t>& bytes) const {
    Spit(Jigsaws + name + ".zvq", bytes);
  }
  bool HasJigsaw(const std::string& name) const { return std::filesystem::exists(Jigsaws + name + ".zvq"); }
  bool Downloaded(const std::string& name) const {
    return Slurp(Jigsaws + name + ".zvq") == Slurp(DistributedJigsaw(name));
  }
  // Everything in the temporary and jigsaw folders that is no jigsaw: left-overs.
  std::vector<std::string> LeftOvers() const {
    std::vector<std::string> names;
    for (const std::string& d : {Temp, Jigsaws})
      for (auto& e : std::filesystem::directory_iterator(d))
        if (e.path().extension() != ".zvq") names.push_back(e.path().filename().string());
    return names;
  }
};
