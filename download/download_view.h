#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/message_box.h"

// What the download protocol asks of the download window: its texts and message boxes, its
// caption and progress bar, its list of jigsaws and its hidden error-page memo. The window
// implements it; tests implement it with a recorder.
class TDownloadView {
 public:
  virtual ~TDownloadView() = default;

  // A text of the language's download section formatted with the arguments ("%s" each).
  virtual std::string LangFormat(const std::string& key, const std::vector<std::string>& args) = 0;
  // A message box over the window (TMsgBoxFlags bits); returns the TMsgBoxAnswer.
  virtual int MsgBox(const std::string& text, int flags) = 0;

  virtual std::string DownloadCaption() = 0;  // the window's normal caption
  virtual void SetCaption(const std::string& caption) = 0;

  virtual void SetProgressMax(int32_t max) = 0;
  virtual void SetProgressPosition(int32_t position) = 0;
  virtual void ResetProgress() = 0;
  // The size line under the progress bar ("received / expected").
  virtual void SetSizeText(const std::string& text) = 0;
  // Lets the window handle its pending input and painting; called all through a transfer.
  virtual void ProcessMessages() = 0;

  // The list of jigsaws: the caption of an item is its jigsaw name; state 1 = downloaded.
  virtual int32_t ItemCount() = 0;
  virtual std::string ItemCaption(int32_t index) = 0;
  virtual int32_t ItemState(int32_t index) = 0;
  virtual void SetItemState(int32_t index, int32_t state) = 0;
  // Selects the item, scrolls it into view and shows its preview.
  virtual void ShowItem(int32_t index) = 0;
  // Redraws the list and the window after a download.
  virtual void RefreshList() = 0;

  // The hidden memo that holds a fetched error page.
  virtual void SetErrorPage(const std::string& text) = 0;
  virtual std::string ErrorPage() = 0;
};
