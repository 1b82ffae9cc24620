// What a download source sends: its info file and its list of jigsaws.
#include "download/download_list.h"
#include "download/download_protocol.h"
#include "fuzz/fuzz_target.h"

ZORVA_FUZZ_TARGET(download) {
  std::string ext = ".rar";
  ParseInfoFile(std::string_view(reinterpret_cast<const char*>(data), size), ext);
  FUZZ_CHECK(!ext.empty() && ext[0] == '.' && ext.size() <= 17 && ext.find('/') == std::string::npos);
  FuzzInputFile(kDownloadListFile, data, size);
  TDownloadList list;
  LoadDownloadList(list, FuzzFolder(), FuzzFolder(), ".zvq");
  FUZZ_CHECK(list.Items.size() <= list.Lines.size());
}
