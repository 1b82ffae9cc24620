// Downloaded archives: every entry extracted, and nothing written outside the target folder.
#include <filesystem>

#include "fuzz/fuzz_target.h"
#include "platform/rar_archive.h"

ZORVA_FUZZ_TARGET(archive) {
  namespace fs = std::filesystem;
  const std::string root = FuzzFolder() + "archive/", into = root + "unpacked/";
  std::error_code ec;
  fs::remove_all(into, ec);
  fs::create_directories(into);
  TRarOpenArchiveData open;
  open.ArcName = FuzzInputFile("archive/fuzz.rar", data, size);
  open.MaxEntrySize = 1 << 20;
  open.MaxTotalSize = 4 << 20;
  if (TRarHandle rar = RAROpenArchive(open)) {
    TRarHeaderData header;
    for (int i = 0; i < 64 && RARReadHeader(rar, header) == kRarSuccess; ++i)
      if (RARProcessFile(rar, kRarExtract, into) != kRarSuccess) break;
    RARCloseArchive(rar);
  }
  size_t outside = 0;
  for (const auto& entry : fs::directory_iterator(root))
    outside += entry.path().filename() != "unpacked" && entry.path().filename() != "fuzz.rar";
  FUZZ_CHECK(outside == 0);
}
