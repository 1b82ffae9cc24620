#include "download/download_list.h"

#include "foundation/binary_file.h"
#include "foundation/dib_ops.h"
#include "foundation/file_helpers.h"
#include "foundation/lang.h"
#include "foundation/picture_limits.h"
#include "foundation/text_format.h"

namespace {

std::string TrimmedLower(const std::string& line) { return AsciiLowerCase(TrimBlanks(line)); }

// A name that would lead the preview's path out of the list folder gets no preview.
bool PlainName(const std::string& name) {
  return name.find_first_of("/\\") == std::string::npos && name != "." && name != "..";
}

void DrawBlankCell(TDibImage& cell) {
  FillDibRect(cell, 0, 0, cell.Width, cell.Height, 0);
  DrawDibFrame(cell, 0, 0, cell.Width, cell.Height, 0);
}

}  // namespace

std::string DownloadListFolder(const TGameOptions& options, const std::string& sThumbDir) {
  std::string folder = options.ThumbPath.empty() ? sThumbDir : options.ThumbPath;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

void PreviewFit(int32_t sw, int32_t sh, int32_t& w, int32_t& h) {
  if (sw <= 0 || sh <= 0) {
    w = h = 0;
    return;
  }
  if (sw > kPreviewWidth || sh > kPreviewHeight) {
    w = int32_t(int64_t(kPreviewHeight) * sw / sh);
    h = kPreviewHeight;
    if (w > kPreviewWidth) {
      h = int32_t(int64_t(kPreviewWidth) * sh / sw);
      w = kPreviewWidth;
    }
    // A sliver keeps at least one pixel.
    if (w < 1) w = 1;
    if (h < 1) h = 1;
  } else {
    w = sw;
    h = sh;
  }
}

bool ReadDownloadListLines(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  std::vector<uint8_t> bytes;
  if (!ReadFileHead(path, size_t(kMaxDownloadListBytes) + 1, bytes) || int64_t(bytes.size()) > kMaxDownloadListBytes)
    return false;
  const std::string text(bytes.begin(), bytes.end());
  size_t start = 0;
  while (start < text.size() && int32_t(lines.size()) < kMaxDownloadListLines) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return true;
}

bool LoadDownloadList(TDownloadList& list, const std::string& folder, const std::string& jigsawDir,
                      const std::string& jigExt) {
  const std::string key = AsciiLowerCase(folder);
  if (key == list.LastListFolder) return false;
  list.LastListFolder = key;
  list.Items.clear();
  list.Lines.clear();
  list.Cells.clear();
  ReadDownloadListLines(folder + kDownloadListFile, list.Lines);
  if (list.Lines.empty()) return true;

  list.Cells.resize(list.Lines.size() + 1);
  list.Cells[0] = std::make_unique<TDibHolder>();
  if (CreateDib24(**list.Cells[0], kPreviewWidth, kPreviewHeight)) DrawBlankCell(**list.Cells[0]);

  for (size_t i = 0; i < list.Lines.size(); ++i) {
    const std::string name = TrimmedLower(list.Lines[i]);
    if (name.empty()) continue;
    TDownloadItem item;
    item.Caption = name;
    const std::string preview = folder + name + kPreviewExt;
    TDibHolder picture;
    if (PlainName(name) && IsRegularFile(preview) && LoadJpegPreviewFile(*picture, preview) &&
        picture->BytesPerPixel == 3) {
      int32_t w, h;
      PreviewFit(picture->Width, picture->Height, w, h);
      auto cell = std::make_unique<TDibHolder>();
      if (CreateDib24(**cell, kPreviewWidth, kPreviewHeight)) {
        FillDibRect(**cell, 0, 0, kPreviewWidth, kPreviewHeight, 0xFFFFFF);
        if (w != picture->Width || h != picture->Height)
          ScaleDibRect(**cell, w, h, *picture, picture->Width, picture->Height);
        else
          BlitDib(**cell, 0, 0, w, h, *picture, 0, 0);
        list.Cells[i + 1] = std::move(cell);
        item.ImageIndex = int32_t(i + 1);
        item.Data = uint32_t(w) | uint32_t(h) << 16;
      }
    }
    item.StateIndex = JigsawPresent(jigsawDir, name, jigExt) ? 1 : 0;
    list.Items.push_back(std::move(item));
  }
  return true;
}

bool JigsawPresent(const std::string& jigsawDir, const std::string& name, const std::string& jigExt) {
  return IsRegularFile(jigsawDir + name + jigExt);
}

void RefreshDownloadedMarks(TDownloadList& list, const std::string& jigsawDir, const std::string& jigExt) {
  for (TDownloadItem& item : list.Items) {
    const bool exists = JigsawPresent(jigsawDir, TrimmedLower(item.Caption), jigExt);
    if (item.StateIndex == 0 && exists)
      item.StateIndex = 1;
    else if (item.StateIndex == 1 && !exists)
      item.StateIndex = 0;
  }
}

bool CheckDownloadSelection(TDownloadWindowView& view, bool reportErrors) {
  const char* problem = nullptr;
  const int32_t count = view.ItemCount();
  if (count == 0) {
    problem = "MS_ListEmpty";
  } else if (view.DownMode() == kDownSelected) {
    if (view.SelectedIndex() < 0) problem = "MS_SelJigsaw";
  } else if (view.DownMode() == kDownNew) {
    problem = "MS_NoNewJigs";
    for (int32_t i = 0; i < count; ++i) {
      if (view.ItemState(i) == 0) problem = nullptr;
    }
  }
  if (problem && reportErrors) view.MsgBox(view.LangFormat(problem, {}), kMbIconExclamation);
  return problem == nullptr;
}

void RunDownload(TDownloadState& s, TGameOptions& options, TDownloadWindowView& view, bool fromTimer, int32_t pauseMs) {
  if (!CheckDownloadSelection(view, !fromTimer)) return;
  s.DownloadStop = false;
  s.RunBytesLeft = s.MaxRunBytes;
  const int32_t mode = view.DownMode();
  if (mode == kDownNew || mode == kDownAll) {
    view.SetDownloadBusy(true);
    int32_t failures = 0;
    if (FetchInfoWithRetry(s, options, view)) {
      for (int32_t i = 0; i < view.ItemCount(); ++i) {
        if (s.DownloadStop) break;
        if (s.DownloadClosing) return;
        if (mode == kDownNew && view.ItemState(i) == 1) continue;
        // A jigsaw that Stop or closing cut off is no failure.
        if (DownloadJigsaw(s, options, view, i, false) != kDownloadOk && !s.DownloadStop && !s.DownloadClosing)
          ++failures;
        view.Pause(pauseMs);
        if (!s.DownloadRunning) break;
      }
    }
    if (s.DownloadClosing) return;
    view.SetDownloadBusy(false);
    if (failures > 0) view.MsgBox(view.LangFormat("MS_SomeFailed", {std::to_string(failures)}), kMbOk);
    return;
  }
  const int32_t selected = view.SelectedIndex();
  if (selected >= 0 && JigsawPresent(s.sJigsawDir, view.ItemCaption(selected), s.sJigExt)) {
    const std::string question =
        view.LangFormatIn(kLangLoadSave, "Q_OverwriteFile", {OutsideText(view.ItemCaption(selected))});
    if (view.MsgBox(question, kMbOkCancel | kMbIconQuestion) != kIdOk) return;
  }
  view.SetDownloadBusy(true);
  if (FetchInfoWithRetry(s, options, view)) DownloadJigsaw(s, options, view, selected, true);
  if (s.DownloadClosing) return;
  view.SetDownloadBusy(false);
}
