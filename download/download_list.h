#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "download/download_protocol.h"
#include "foundation/dib_image.h"
#include "game/game_options.h"

// The download window's list of jigsaws and its download runs, without the window.

constexpr int32_t kPreviewWidth = 180;  // one cell of the thumbnail strip
constexpr int32_t kPreviewHeight = 135;
constexpr char kDownloadListFile[] = "jiglist.txt";
constexpr char kPreviewExt[] = ".jpg";
// Real lists hold a few dozen names; these bounds keep a hostile list from eating memory.
constexpr int64_t kMaxDownloadListBytes = 256 * 1024;
constexpr int32_t kMaxDownloadListLines = 1000;
// The pause after each jigsaw of a run, in which the window handles input.
constexpr int32_t kDownloadPauseMs = 200;

enum : int32_t { kDownSelected = 0, kDownNew = 1, kDownAll = 2 };

struct TDownloadItem {
  std::string Caption;                                                       // the jigsaw name, trimmed and lower-cased
  int32_t ImageIndex = 0;                                                    // cell of the strip; 0 = blank
  int32_t StateIndex = 0;                                                    // 1: the jigsaw is in the jigsaw folder
  uint32_t Data = uint32_t(kPreviewWidth) | uint32_t(kPreviewHeight) << 16;  // preview w | h << 16
};

// The list and its previews. Cell i + 1 belongs to line i; cells of lines without a preview
// stay empty, so a long list costs memory only for the previews it has.
struct TDownloadList {
  std::string LastListFolder;      // lower-cased; the list is current while the folder is the same
  std::vector<std::string> Lines;  // the lines of the list file
  std::vector<TDownloadItem> Items;
  std::vector<std::unique_ptr<TDibHolder>> Cells;  // 24-bit, 180 x 135 each; [0] blank
};

// ThumbPath when set, else the program's thumbnail folder; ends with '/'.
std::string DownloadListFolder(const TGameOptions& options, const std::string& sThumbDir);

// The size a sw x sh preview is drawn at: unchanged when it fits 180 x 135, else scaled down
// to fit with its aspect kept.
void PreviewFit(int32_t sw, int32_t sh, int32_t& w, int32_t& h);

// The lines of a list file (CR LF, LF or CR); false when it cannot be read or is too large.
// At most kMaxDownloadListLines lines are kept.
bool ReadDownloadListLines(const std::string& path, std::vector<std::string>& lines);

// Rereads the list when its folder differs from the last one read: items, previews and marks.
// False when the list was current and nothing was read.
bool LoadDownloadList(TDownloadList& list, const std::string& folder, const std::string& jigsawDir,
                      const std::string& jigExt);

// True when jigsawDir + name + jigExt exists.
bool JigsawPresent(const std::string& jigsawDir, const std::string& name, const std::string& jigExt);

// Every item's state from whether its jigsaw is in the jigsaw folder now.
void RefreshDownloadedMarks(TDownloadList& list, const std::string& jigsawDir, const std::string& jigExt);

// What a run asks of the window beyond what a transfer asks.
class TDownloadWindowView : public TDownloadView {
 public:
  virtual int32_t SelectedIndex() = 0;  // -1: none
  virtual int32_t DownMode() = 0;       // kDownSelected, kDownNew or kDownAll
  // Download button, mode and list off, Stop on and the progress bar shown while busy.
  virtual void SetDownloadBusy(bool busy) = 0;
  // Waits ms milliseconds while the window goes on handling input.
  virtual void Pause(int32_t ms) = 0;
  // A text of another language section, formatted with the arguments.
  virtual std::string LangFormatIn(int32_t section, const std::string& key, const std::vector<std::string>& args) = 0;
};

// Whether the mode has something to fetch; the reason is shown when reportErrors.
bool CheckDownloadSelection(TDownloadWindowView& view, bool reportErrors);

// The Download button (fromTimer false) or the start timer: fetches the selected jigsaw, the
// new ones or all of them. Errors of the selection are shown only when not fromTimer.
void RunDownload(TDownloadState& s, TGameOptions& options, TDownloadWindowView& view, bool fromTimer,
                 int32_t pauseMs = kDownloadPauseMs);
