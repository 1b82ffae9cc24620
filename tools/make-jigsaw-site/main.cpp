// make-jigsaw-site: turns a folder of jigsaw files into a download source that any static web
// server can serve, and into the download list that the game shows.
//
//   make-jigsaw-site JIGSAW_FOLDER OUT_FOLDER
//
// OUT_FOLDER/site/ is the web root: zorva/jigsaws_quix/info.dat names the archive extension,
// and each jigsaw NAME.zvq is packed alone into NAME.zip beside it. OUT_FOLDER/thumb/ is the
// list folder: jiglist.txt with one name a line and NAME.jpg, the jigsaw's own preview.
#include <archive.h>
#include <archive_entry.h>

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "download/download_protocol.h"
#include "foundation/binary_file.h"
#include "foundation/text_format.h"
#include "game/embedded_file.h"
#include "game/game_options.h"
#include "game/jigsaw_file.h"

namespace fs = std::filesystem;

namespace {

constexpr char kArchiveExt[] = "zip";
// Archives carry a fixed time, so the same jigsaws always make the same site.
constexpr time_t kEntryTime = 1767225600;  // 2026-01-01

bool WriteBytes(const fs::path& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), std::streamsize(size));
  return bool(out.flush());
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The jigsaw's preview as JPEG bytes: as stored when it is a JPEG, else converted.
bool ReadPreview(const fs::path& jigsaw, std::vector<uint8_t>& jpeg) {
  TBinaryReader f;
  TJigsawHeader header;
  int64_t end = 0;
  if (!f.Open(jigsaw.string()) || !ReadJigsawHeader(f, header) ||
      !ExtractEmbeddedBytes(f, PreviewKey, false, jpeg, end))
    return false;
  if (DetectImageKind(jpeg) == ImageKindJpeg) return true;
  QImage image;
  if (!image.loadFromData(jpeg.data(), int(jpeg.size()))) return false;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!image.convertToFormat(QImage::Format_RGB888).save(&buffer, "JPG", 90)) return false;
  jpeg.assign(bytes.begin(), bytes.end());
  return true;
}

// NAME.zip holding the jigsaw as NAME.zvq, stored: a jigsaw is JPEG data that does not shrink.
bool WriteArchive(const fs::path& archivePath, const std::string& entryName, const std::vector<uint8_t>& data) {
  archive* a = archive_write_new();
  bool ok = archive_write_set_format_zip(a) == ARCHIVE_OK &&
            archive_write_set_options(a, "zip:compression=store") == ARCHIVE_OK &&
            archive_write_open_filename(a, archivePath.c_str()) == ARCHIVE_OK;
  if (ok) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, entryName.c_str());
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    archive_entry_set_size(e, la_int64_t(data.size()));
    archive_entry_set_mtime(e, kEntryTime, 0);
    ok = archive_write_header(a, e) == ARCHIVE_OK &&
         archive_write_data(a, data.data(), data.size()) == la_ssize_t(data.size());
    archive_entry_free(e);
  }
  ok = archive_write_close(a) == ARCHIVE_OK && ok;
  archive_write_free(a);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make-jigsaw-site JIGSAW_FOLDER OUT_FOLDER\n");
    return 2;
  }
  QCoreApplication app(argc, argv);
  const fs::path in = argv[1], out = argv[2];
  std::vector<fs::path> jigsaws;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(in, ec))
    if (e.is_regular_file() && AsciiLowerCase(e.path().extension().string()) == JigsawExtension)
      jigsaws.push_back(e.path());
  if (ec) {
    std::fprintf(stderr, "make-jigsaw-site: cannot read %s\n", in.c_str());
    return 1;
  }
  std::sort(jigsaws.begin(), jigsaws.end());

  const fs::path site = out / "site" / TGameOptions().SiteJigsawsDir, thumb = out / "thumb";
  fs::create_directories(site, ec);
  fs::create_directories(thumb, ec);
  const std::string info = std::string("ext:") + kArchiveExt + "\r\n";
  if (ec || !WriteBytes(site / "info.dat", info.data(), info.size())) {
    std::fprintf(stderr, "make-jigsaw-site: cannot write into %s\n", out.c_str());
    return 1;
  }
  // The game lists, asks for and unpacks jigsaws by their lower-case names: a name it would
  // refuse, or one that two files share once lower-cased, would be lost on the way, so such
  // jigsaws are left out and named.
  std::map<std::string, std::vector<fs::path>> byName;
  for (const fs::path& jigsaw : jigsaws) byName[AsciiLowerCase(jigsaw.stem().string())].push_back(jigsaw);
  std::string list;
  int failed = 0;
  for (const fs::path& jigsaw : jigsaws) {
    const std::string name = AsciiLowerCase(jigsaw.stem().string());
    const std::string shown = OutsideText(jigsaw.filename().string());
    if (!SafeJigsawName(name)) {
      std::fprintf(stderr, "make-jigsaw-site: \"%s\" cannot be a jigsaw's name in the list, left out\n", shown.c_str());
      ++failed;
      continue;
    }
    if (byName[name].size() > 1) {
      std::fprintf(stderr, "make-jigsaw-site: \"%s\" is one of %zu jigsaws named \"%s\" in lower case, left out\n",
                   shown.c_str(), byName[name].size(), name.c_str());
      ++failed;
      continue;
    }
    std::vector<uint8_t> preview;
    if (!ReadPreview(jigsaw, preview)) {
      std::fprintf(stderr, "make-jigsaw-site: \"%s\" is no readable jigsaw, left out\n", shown.c_str());
      ++failed;
      continue;
    }
    if (!WriteArchive(site / (name + "." + kArchiveExt), name + JigsawExtension, ReadAll(jigsaw)) ||
        !WriteBytes(thumb / (name + ".jpg"), preview.data(), preview.size())) {
      std::fprintf(stderr, "make-jigsaw-site: cannot write %s\n", name.c_str());
      return 1;
    }
    list += name + "\r\n";
  }
  if (!WriteBytes(thumb / "jiglist.txt", list.data(), list.size())) return 1;
  std::printf("%zu jigsaws in %s\n", jigsaws.size() - size_t(failed), out.c_str());
  return failed ? 1 : 0;
}
