#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/help_viewer.h"

// Read access to a compiled HTML help file (.chm). Object names are paths inside the file,
// with or without their leading '/'; letter case does not matter.
class TChmFile {
 public:
  TChmFile();
  ~TChmFile();
  TChmFile(const TChmFile&) = delete;
  TChmFile& operator=(const TChmFile&) = delete;

  // False for a missing file and for one that is no compiled help file.
  bool Open(const std::string& path);
  void Close();
  const std::string& Path() const { return path_; }

  bool HasObject(std::string_view name) const;
  // The whole object; false when it is missing, larger than kMaxChmObject or unreadable.
  bool ReadObject(std::string_view name, std::vector<uint8_t>& out) const;
  // The names of the files inside (pages, pictures), as stored.
  std::vector<std::string> ObjectNames() const;

 private:
  struct chmFile* file_ = nullptr;
  std::string path_;
};

// Objects larger than this are refused: help pages and their pictures are far smaller.
inline constexpr uint64_t kMaxChmObject = 32u << 20;

// The path inside a help file that a topic or link names: the fragment and query dropped,
// "./" and ".." resolved against `base` (the page it was found in), with a leading '/'.
std::string ChmObjectPath(std::string_view link, std::string_view base = "/");

// The help viewer of the game: a window that shows pages of a compiled help file, following
// their links and pictures inside the file. A help file that is missing, broken or lacks
// the topic shows nothing. Needs a running Qt widgets application.
std::unique_ptr<THelpViewer> CreateChmHelpViewer();
