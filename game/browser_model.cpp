#include "game/browser_model.h"

#include <algorithm>
#include <filesystem>

#include "foundation/dib_ops.h"
#include "foundation/file_helpers.h"
#include "foundation/lang.h"
#include "foundation/picture_limits.h"
#include "foundation/text_format.h"
#include "game/game_paths.h"
#include "game/jigsaw_file.h"
#include "game/pieces.h"
#include "game/saved_game.h"

namespace {

// The name without the extension that starts at its last dot.
std::string WithoutExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::vector<TBrowserItem>& ItemsOf(TBrowserModel& m, TBrowserPage page) {
  return page == kPageGames ? m.Games : m.Jigs;
}

const char* ExtensionOf(TBrowserPage page) { return page == kPageGames ? kSavedGameExtension : JigsawExtension; }

}  // namespace

void InitThumbCache(TThumbCache& cache) {
  cache.Names.assign(1, "---");
  cache.Images.clear();
  auto blank = std::make_unique<TDibHolder>();
  if (CreateDib24(**blank, kListThumbW, kListThumbH)) {
    FillDibRect(**blank, 0, 0, kListThumbW, kListThumbH, 0xFFFFFF);
    DrawDibFrame(**blank, 2, 2, 177, 132, kBlankThumbFrame);
  }
  cache.Images.push_back(std::move(blank));
}

int32_t FindCachedThumb(const TThumbCache& cache, const std::string& fileName) {
  if (fileName.empty()) return -1;
  for (size_t i = 0; i < cache.Names.size(); ++i)
    if (SameAsciiText(cache.Names[i], fileName)) return int32_t(i);
  return -1;
}

bool DrawFittedThumb(TDibImage& thumb, const TDibImage& picture, const TDibImage* saveIcon) {
  return DrawPictureFitted(thumb, kListThumbW, kListThumbH, picture, 0xFFFFFF, saveIcon);
}

bool DrawPictureFitted(TDibImage& target, int32_t boxW, int32_t boxH, const TDibImage& picture, uint32_t background,
                       const TDibImage* overlay) {
  if (picture.Width <= 0 || picture.Height <= 0 || boxW <= 0 || boxH <= 0) return false;
  TDibHolder out;
  if (!CreateDib24(*out, boxW, boxH)) return false;
  FillDibRect(*out, 0, 0, boxW, boxH, background);
  int32_t w = picture.Width, h = picture.Height;
  const bool scaled = w > boxW || h > boxH;
  if (scaled) {
    const int32_t w0 = w, h0 = h;
    w = int32_t(int64_t(w0) * boxH / h0);
    h = boxH;
    if (w > boxW) {
      h = int32_t(int64_t(h0) * boxW / w0);
      w = boxW;
    }
    w = std::max(w, 1);
    h = std::max(h, 1);
  }
  const int32_t x0 = (boxW - w) / 2, y0 = (boxH - h) / 2;
  if (scaled) {
    TDibHolder small;
    if (!CreateDib24(*small, w, h)) return false;
    ScaleDib(*small, picture);
    BlitDib(*out, x0, y0, w, h, *small, 0, 0);
  } else {
    BlitDib(*out, x0, y0, w, h, picture, 0, 0);
  }
  if (overlay && overlay->Width > 0) {
    const TSkinRect clip{0, 0, boxW - 1, boxH - 1, boxW, boxH, {0, 0, boxW - 1, boxH - 1}};
    DrawDibKeyed(*out, std::max(x0 - 1, 0), std::max(y0 - 1, 0), overlay->Width, overlay->Height, *overlay, 0, 0,
                 overlay->Width, overlay->Height, clip, kSaveIconKey);
  }
  std::swap(target, *out);
  return true;
}

bool RefreshCachedThumb(TThumbCache& cache, const std::string& fileName, const TDibImage& picture,
                        const TDibImage* saveIcon) {
  const int32_t i = FindCachedThumb(cache, fileName);
  if (i <= 0) return false;
  return DrawFittedThumb(**cache.Images[size_t(i)], picture, saveIcon);
}

TBrowserModel::TBrowserModel(TGameSession& session) : Session(session) { InitThumbCache(Cache); }

std::string ThumbFolder(const TGamePaths& paths) { return paths.sExeDir + "thumb/"; }

std::vector<TBrowserItem> ListFolder(const std::string& folder, const char* extension) {
  std::vector<TBrowserItem> items;
  std::unique_ptr<TStringList> names = ListFiles(folder, extension, false);
  if (!names) return items;
  for (const std::string& name : *names) items.push_back({WithoutExtension(name), 0});
  return items;
}

TListedFile FillFileLists(TBrowserModel& m) {
  TListedFile found;
  const std::string preset = FileNameOf(m.ResultPath);
  m.Jigs.clear();
  if (m.BrowseMode == kBrowseLoad) m.Jigs = ListFolder(m.Session.Paths.sJigsawDir, JigsawExtension);
  m.Games = ListFolder(m.Session.Paths.sSavedDir, kSavedGameExtension);
  for (TBrowserPage page : {kPageJigs, kPageGames}) {
    const std::vector<TBrowserItem>& items = ItemsOf(m, page);
    for (size_t i = 0; i < items.size() && found.Index < 0; ++i)
      if (!preset.empty() && SameAsciiText(items[i].Caption + ExtensionOf(page), preset)) found = {page, int32_t(i)};
  }
  if (found.Index >= 0) m.ResultPath.clear();
  m.ThumbIndex = -1;
  m.ThumbPass = 0;
  return found;
}

bool LoadNextThumb(TBrowserModel& m) {
  ++m.ThumbIndex;
  if (m.ThumbPass == 0 && m.ThumbIndex >= int32_t(m.Jigs.size())) {
    m.ThumbPass = 1;
    m.ThumbIndex = 0;
  }
  if (m.ThumbPass == 1 && m.ThumbIndex >= int32_t(m.Games.size())) return false;
  const bool jigsaw = m.ThumbPass == 0;
  TBrowserItem& item = (jigsaw ? m.Jigs : m.Games)[size_t(m.ThumbIndex)];
  const std::string name = item.Caption + (jigsaw ? JigsawExtension : kSavedGameExtension);
  const int32_t cached = FindCachedThumb(m.Cache, name);
  if (cached >= 0) {
    item.ImageIndex = cached;
    return true;
  }
  TGameSession& s = m.Session;
  bool loaded = false;
  if (jigsaw) {
    const std::string jpeg = ThumbFolder(s.Paths) + item.Caption + ".jpg";
    if (IsRegularFile(jpeg)) loaded = LoadJpegPreviewFile(*m.Load.Picture, jpeg);
    if (!loaded) {
      TJigsawOpenTarget target{s.Game.CurrentLevel, m.Load, s.Paths.TempPictureFile, {}, {}};
      loaded = OpenJigsaw(s.Paths.sJigsawDir + name, OpenJigsawThumbnail, target);
    }
  } else {
    loaded = OpenSavedGameFile(s, s.Paths.sSavedDir + name, OpenSavedThumbnail, &m.Load);
  }
  auto thumb = std::make_unique<TDibHolder>();
  if (loaded && DrawFittedThumb(**thumb, *m.Load.Picture, jigsaw ? nullptr : &*m.SaveIcon)) {
    m.Cache.Names.push_back(AsciiLowerCase(name));
    m.Cache.Images.push_back(std::move(thumb));
    item.ImageIndex = int32_t(m.Cache.Images.size()) - 1;
  }
  return true;
}

bool ThumbLoaderTick(TBrowserModel& m, const std::function<double()>& nowMs) {
  const double start = nowMs();
  for (;;) {
    if (!LoadNextThumb(m)) return false;
    if (nowMs() - start > kThumbTickMs) return true;
  }
}

std::string SelectedPath(TBrowserModel& m, std::string& text) {
  text = std::string(TrimBlanks(text));
  // Only the file name counts; a folder typed in front is dropped.
  const size_t slash = text.find_last_of('/');
  if (slash != std::string::npos) text = text.substr(slash + 1);
  if (m.BrowseMode == kBrowseSave) {
    text = WithoutExtension(text);
    return m.Session.Paths.sSavedDir + text + kSavedGameExtension;
  }
  return m.CurrentFolder + text;
}

TSelection ReadSelectedFile(TBrowserModel& m, const std::string& path) {
  TSelection sel;
  TGameSession& s = m.Session;
  TLevelPage& page = m.Page;
  page.SelectedKind = kSelectedNone;
  sel.Exists = IsRegularFile(path);
  if (!sel.Exists) return sel;
  const std::string ext = LowerExtension(path);
  if (ext == JigsawExtension) {
    s.Game.CurrentLevel = s.Game.DefaultLevel;
    TJigsawOpenTarget target{s.Game.CurrentLevel,
                             m.Load,
                             s.Paths.TempPictureFile,
                             [&s](int32_t& w, int32_t& h) { s.Host.PlayArea(w, h); },
                             {}};
    if (OpenJigsaw(path, OpenJigsawSelect, target)) {
      sel.Valid = true;
      page.SelectedKind = kSelectedJigsaw;
      ApplyLevelRecord(page, s.Game.DefaultLevel);
      sel.CanOpen = UpdatePieceCount(page, s.Game.CurrentLevel);
    }
  } else if (ext == kSavedGameExtension) {
    if (OpenSavedGameFile(s, path, OpenSavedSelect, &m.Load)) {
      sel.Valid = true;
      page.SelectedKind = kSelectedGame;
      ApplyLevelRecord(page, s.Game.CurrentLevel);
      UpdatePieceCount(page, s.Game.CurrentLevel);
      sel.CanOpen = true;
    }
  }
  if (sel.Valid) {
    FreeDib(*m.PreviewCopy);
    const TDibImage& pic = *m.Load.Picture;
    if (CreateDib24(*m.PreviewCopy, pic.Width, pic.Height))
      BlitDib(*m.PreviewCopy, 0, 0, pic.Width, pic.Height, pic, 0, 0);
  }
  return sel;
}

const char* OkCaptionKey(int32_t mode, TBrowserPage active, const std::string& selectedPath) {
  if (mode == kBrowseSave) return "B_Save";
  if (active == kPageJigs && LowerExtension(selectedPath) != kSavedGameExtension) return "B_Next";
  return "B_Open";
}

TNameCheck CheckSavedGameName(std::string& name) {
  const std::string trimmed(TrimBlanks(name));
  // The separators are refused before anything is cut away, so "a/b" never saves as "b".
  if (trimmed.find_first_of("\\/?") != std::string::npos) {
    name = trimmed;
    return kNameInvalid;
  }
  name = WithoutExtension(trimmed);
  if (name.empty()) return kNameEmpty;
  if (name == "." || name == "..") return kNameInvalid;
  return kNameOk;
}

TOpenChoices OpenChoicesOf(const TBrowserModel& m) {
  TOpenChoices c;
  c.SeedPanelVisible = m.SeedPanelVisible;
  c.SeedText = std::string(TrimBlanks(m.SeedText));
  c.FitToScreen = m.Page.FitToScreenFlag;
  return c;
}

bool MayDeleteJigsaw(const TBrowserModel& m, const std::string& caption) {
  return !IsDistributedJigsaw(DistributedJigsaws(m.Session.Paths), caption + JigsawExtension);
}

bool DeleteListedFile(TBrowserModel& m, TBrowserPage page, const std::string& path) {
  if (!IsRegularFile(path)) return false;
  std::error_code ec;
  if (!std::filesystem::remove(path, ec) || ec) return false;
  const std::string name = FileNameOf(path);
  const std::string caption = WithoutExtension(name);
  std::vector<TBrowserItem>& items = ItemsOf(m, page);
  const auto it = std::find_if(items.begin(), items.end(), [&](const TBrowserItem& i) { return i.Caption == caption; });
  if (it != items.end()) {
    // The loader walks items by index: one removed before its place shifts the rest back.
    const int32_t index = int32_t(it - items.begin());
    const bool loaderHere = (page == kPageJigs) == (m.ThumbPass == 0);
    if (loaderHere && index <= m.ThumbIndex) --m.ThumbIndex;
    items.erase(it);
  }
  for (std::string& cached : m.Cache.Names)
    if (SameAsciiText(cached, name)) cached.clear();
  TGameSession& s = m.Session;
  if (!s.sSolve.empty() && std::filesystem::path(s.sSolve) == std::filesystem::path(path)) {
    s.sSolve.clear();
    s.SaveModified = s.AutoSaveModified = true;
  }
  return true;
}
