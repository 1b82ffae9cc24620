#pragma once
// Download sources on 127.0.0.1 with their info file and RAR archives, and the player's folders
// with a download list and its previews, for the tests of the download and its window.
#include <gtest/gtest.h>

#include <QColor>

#include <filesystem>
#include <string>
#include <vector>

#include "download/download_protocol.h"
#include "download/recording_view.h"
#include "download/test_http_server.h"
#include "support/file_bytes.h"
#include "support/qt_picture_bytes.h"
#include "support/rar_writer.h"
#include "support/temp_folder.h"

inline const std::string kJigsawSite = "/zorva/jigsaws_quix/";

inline std::string BytesText(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

// Bytes that stand for a jigsaw file; different for each seed.
inline std::vector<uint8_t> FakeJigsaw(size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(seed ^ (i * 37) ^ (i >> 7));
  return v;
}

// The files asked of the source, in order, without the site folder.
inline std::vector<std::string> SiteRequests(TTestHttpServer& server) {
  std::vector<std::string> r;
  for (const std::string& t : server.Requests()) r.push_back(t.substr(kJigsawSite.size()));
  return r;
}

inline std::string SiteUrl(TTestHttpServer& server, const std::string& file) {
  return "http://" + server.Host() + kJigsawSite + file;
}

inline void ServeFile(TTestHttpServer& server, const std::string& file, const std::vector<uint8_t>& bytes) {
  server.Route(kJigsawSite + file, {.Body = BytesText(bytes)});
}

inline void ServeInfoFile(TTestHttpServer& server, const std::string& text = "ext:rar\r\n") {
  server.Route(kJigsawSite + "info.dat", {.Body = text});
}

// name.rar holding name.zvq with the bytes; returns the archive's size.
inline size_t ServeJigsaw(TTestHttpServer& server, const std::string& name, const std::vector<uint8_t>& jigsaw) {
  const std::vector<uint8_t> rar = MakeRar4({{.Name = name + ".zvq", .Data = jigsaw}});
  ServeFile(server, name + ".rar", rar);
  return rar.size();
}

// thumb/ (the list and previews), jigsaws/, temp/ and appdata/ in a private folder.
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
  void WriteList(const std::string& text) const { Spit(Thumb + "jiglist.txt", RarBytes(text)); }
  void WritePreview(const std::string& name, int w, int h, QColor color) const {
    Spit(Thumb + name + ".jpg", QtPictureBytes("JPG", w, h, color));
  }
  void WriteJigsaw(const std::string& name, const std::vector<uint8_t>& bytes) const {
    Spit(Jigsaws + name + ".zvq", bytes);
  }
  bool HasJigsaw(const std::string& name) const { return std::filesystem::exists(Jigsaws + name + ".zvq"); }
  std::vector<std::string> TempFiles() const {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(Temp)) names.push_back(e.path().filename().string());
    return names;
  }
};

// Two sources, the player's folders, the download's state with its client, and a recording
// window; the first source is the current one.
class TwoSourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.sTempDir = f.Temp;
    s.sJigsawDir = f.Jigsaws;
    s.HttpClient = std::make_unique<TMyHttp>();
    s.HttpClient->ProgressBar = &view;
    s.HttpClient->CaptionControl = &view;
    s.ServerHosts = {source0.Host(), source1.Host()};
    options.DnSrc = source0.Host();
  }

  TTestHttpServer source0, source1;
  TPlayerFolders f;
  TDownloadState s;
  TGameOptions options;
  TRecordingView view;
};
