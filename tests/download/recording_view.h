#pragma once
// The download window as the protocol and the runs see it, recording what it is asked to show.
// Language texts come back as "KEY[arg|arg]" so that tests can see which text and arguments.
#include <functional>
#include <string>
#include <vector>

#include "download/download_list.h"

struct TShownMessage {
  std::string Text;
  int Flags;
  bool operator==(const TShownMessage&) const = default;
};

class TRecordingView : public TDownloadWindowView {
 public:
  struct TItem {
    std::string Caption;
    int32_t State = 0;
  };

  std::vector<TShownMessage> Messages;
  std::vector<std::string> Captions;
  std::vector<std::string> ProgressLog;  // "max N", "pos N", "reset", "size TEXT"
  std::vector<TItem> Items;
  std::string Page;
  int32_t Selected = -1;
  int32_t Mode = kDownNew;
  int Idle = 0;  // ProcessMessages calls
  std::function<void()> OnIdle;

  std::string LangFormat(const std::string& key, const std::vector<std::string>& args) override {
    std::string r = key;
    for (size_t i = 0; i < args.size(); ++i) r += (i ? "|" : "[") + args[i] + (i + 1 == args.size() ? "]" : "");
    return r;
  }
  std::string LangFormatIn(int32_t, const std::string& key, const std::vector<std::string>& args) override {
    return LangFormat(key, args);
  }
  int MsgBox(const std::string& text, int flags) override {
    Messages.push_back({text, flags});
    return kIdNo;
  }
  std::string DownloadCaption() override { return "Download"; }
  void SetCaption(const std::string& caption) override { Captions.push_back(caption); }
  void SetProgressMax(int32_t max) override { ProgressLog.push_back("max " + std::to_string(max)); }
  void SetProgressPosition(int32_t pos) override { ProgressLog.push_back("pos " + std::to_string(pos)); }
  void ResetProgress() override { ProgressLog.push_back("reset"); }
  void SetSizeText(const std::string& text) override { ProgressLog.push_back("size " + text); }
  void ProcessMessages() override {
    ++Idle;
    if (OnIdle) OnIdle();
  }
  int32_t ItemCount() override { return int32_t(Items.size()); }
  std::string ItemCaption(int32_t i) override { return Items[size_t(i)].Caption; }
  int32_t ItemState(int32_t i) override { return Items[size_t(i)].State; }
  void SetItemState(int32_t i, int32_t state) override { Items[size_t(i)].State = state; }
  void ShowItem(int32_t) override {}
  void RefreshList() override {}
  void SetErrorPage(const std::string& text) override { Page = text; }
  std::string ErrorPage() override { return Page; }
  int32_t SelectedIndex() override { return Selected; }
  int32_t DownMode() override { return Mode; }
  void SetDownloadBusy(bool) override {}
  void Pause(int32_t) override {}
};
