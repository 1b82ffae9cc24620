#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/dib_image.h"
#include "foundation/image_control.h"
#include "game/game_session.h"
#include "game/level_page.h"

// The puzzle browser without its window: the two file lists, the thumbnail cache and its
// timer-driven loader, the selected file's preview and level, naming a saved game, deleting.

constexpr int32_t kBrowseLoad = 1;
constexpr int32_t kBrowseSave = 2;

constexpr int32_t kListThumbW = 180;
constexpr int32_t kListThumbH = 135;
constexpr uint32_t kBlankThumbFrame = 0x800000;  // navy
constexpr int32_t kThumbTickMs = 100;            // a loader tick's budget
constexpr uint32_t kSaveIconKey = 0xFF00FF;      // transparent in the saved-game icon
constexpr char kInvalidJigsawText[] = "Invalid Jigsaw";

// The thumbnail cache: entry i names image i; entry 0 ("---") is the blank every item starts
// with. A deleted file's name is blanked, never removed, so names and images stay parallel.
struct TThumbCache {
  std::vector<std::string> Names;  // lower case, with extension
  std::vector<std::unique_ptr<TDibHolder>> Images;
};
void InitThumbCache(TThumbCache& cache);
// Index of the entry of that file name (any case), or -1.
int32_t FindCachedThumb(const TThumbCache& cache, const std::string& fileName);

// The list thumbnail (a new 180 x 135 24-bit image) of a picture: white, the picture centred,
// shrunk to fit when larger; the saved-game icon (16 x 16, magenta transparent) over its
// top-left corner when given.
bool DrawFittedThumb(TDibImage& thumb, const TDibImage& picture, const TDibImage* saveIcon);
// A box of boxW x boxH filled with the background and the picture centred in it, shrunk to fit
// when larger, with the overlay's top left (magenta clear) at the picture's corner. False when
// there is no picture.
bool DrawPictureFitted(TDibImage& target, int32_t boxW, int32_t boxH, const TDibImage& picture, uint32_t background,
                       const TDibImage* overlay);

// After a save: the cached thumbnail of that file (when cached) drawn again from the picture.
bool RefreshCachedThumb(TThumbCache& cache, const std::string& fileName, const TDibImage& picture,
                        const TDibImage* saveIcon);

struct TBrowserItem {
  std::string Caption;  // file name without extension
  int32_t ImageIndex = 0;
};

enum TBrowserPage : int32_t { kPageJigs = 0, kPageGames = 1, kPageLevel = 2 };

// What the browser keeps between showings (the cache) and during one (lists, loader).
struct TBrowserModel {
  explicit TBrowserModel(TGameSession& session);

  TGameSession& Session;
  int32_t BrowseMode = kBrowseLoad;
  std::string ResultPath;
  std::string CurrentFolder;
  std::vector<TBrowserItem> Jigs;   // LV_Jigs
  std::vector<TBrowserItem> Games;  // LV_Games
  TThumbCache Cache;
  int32_t ThumbIndex = -1;
  int32_t ThumbPass = 0;
  TImageControl Load;      // I_Load: every picture the browser reads lands here
  TDibHolder PreviewCopy;  // full-size copy of the selected file's preview
  TDibHolder SaveIcon;     // 16 x 16, magenta transparent; may stay empty
  TLevelPage Page;
  // The seed panel: a number typed there seeds the game while the panel is shown.
  bool SeedPanelVisible = false;
  std::string SeedText;
};

std::string ThumbFolder(const TGamePaths& paths);  // the program's "thumb/"

// The captions of a folder's files of one extension, sorted as the file lists sort.
std::vector<TBrowserItem> ListFolder(const std::string& folder, const char* extension);

// Both lists from the folders (jigsaws in Load mode only). Returns the page and index of the
// file ResultPath names (any case), or index -1 when it is not listed; the loader restarts.
struct TListedFile {
  TBrowserPage Page = kPageJigs;
  int32_t Index = -1;
};
TListedFile FillFileLists(TBrowserModel& model);

// Gives one more list item its thumbnail: jigsaws first, then saved games. False once every
// item has been visited. A file that cannot be read keeps the blank.
bool LoadNextThumb(TBrowserModel& model);
// One tick of the loader: thumbnails until all are done or more than the budget has passed
// on the clock (milliseconds). True while items remain.
bool ThumbLoaderTick(TBrowserModel& model, const std::function<double()>& nowMs);

// The full path the file-name text names: on the active list's folder in Load mode; in Save
// mode the saved-games folder, the name without its extension, and ".sv1". The text is
// written back trimmed and cut as the path uses it.
std::string SelectedPath(TBrowserModel& model, std::string& fileNameText);

// The selected file read again: its preview into Load and PreviewCopy and the level page
// filled. A jigsaw's current record starts from the defaults.
struct TSelection {
  bool Exists = false;   // the path names a file
  bool Valid = false;    // it was read as a jigsaw or saved game
  bool CanOpen = false;  // OK may be pressed
};
TSelection ReadSelectedFile(TBrowserModel& model, const std::string& path);

// Language key of OK's caption.
const char* OkCaptionKey(int32_t browseMode, TBrowserPage activePage, const std::string& selectedPath);

// A saved game's name as typed: trimmed, the extension dropped. Empty, or holding a
// backslash, slash or question mark (or naming no file), it is refused.
enum TNameCheck { kNameOk, kNameEmpty, kNameInvalid };
TNameCheck CheckSavedGameName(std::string& name);

// The choices the game is opened with: the seed panel and fit-to-screen.
TOpenChoices OpenChoicesOf(const TBrowserModel& model);

// Deletes one listed file of the active page: its list item goes, its cache name is blanked,
// and when it is the open saved game, the game forgets its file and counts as changed. False
// when the file is missing or cannot be deleted.
bool DeleteListedFile(TBrowserModel& model, TBrowserPage page, const std::string& path);
// Distributed jigsaws are never deleted.
bool MayDeleteJigsaw(const TBrowserModel& model, const std::string& caption);
