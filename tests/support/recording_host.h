#pragma once
// One host for every layer's tests: each call is written to Calls as "Name arg...", and the
// answers the host gives are plain fields a test sets.
#include <string>

#include "game/color_picker.h"
#include "game/field.h"
#include "game/game_session.h"
#include "game/options_choices.h"
#include "support/recording_skin_host.h"

class TRecordingHost : public TFieldHost,
                       public TSessionHost,
                       public TPlayHost,
                       public TRecordingSkinHost,
                       public TBackgroundPickHost,
                       public TWoodColorHost,
                       public TOptionsApplyHost {
 public:
  // Answers.
  int32_t FinishAnswer = 2;
  int32_t MainWidth = 0, MainHeight = 0;
  int32_t AreaWidth = 800, AreaHeight = 600;
  bool PicturesLoad = true;

  // TFieldHost (and what the play, frame and picker hosts share with it)
  void InvalidateFieldRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    Log("InvalidateFieldRect", x, y, w, h);
  }
  void Wait(int32_t ms) override { Log("Wait", ms); }
  void SetModified() override { Log("SetModified"); }
  void SaveImageEnabled(bool on) override { Log("SaveImageEnabled", on); }
  int32_t ShowFinish() override {
    Log("ShowFinish");
    return FinishAnswer;
  }
  void SaveSolvedImage() override { Log("SaveSolvedImage"); }
  void ShowPocket(int32_t pocket, bool show) override { Log("ShowPocket", pocket, show); }
  void WindowHidden(int32_t index) override { Log("WindowHidden", index); }
  void PocketChanged(int32_t pocket) override { Log("PocketChanged", pocket); }
  void MainWindowSize(int32_t& w, int32_t& h) override {
    w = MainWidth;
    h = MainHeight;
  }
  void SetMainWindowSize(int32_t w, int32_t h) override {
    Log("SetMainWindowSize", w, h);
    MainWidth = w;
    MainHeight = h;
  }
  void GrabCursor(bool on) override { Log("GrabCursor", on); }
  void ThumbnailResized() override { Log("ThumbnailResized"); }
  void ToolbarUnhot() override {}  // every move: not recorded
  void WeightModeChanged(bool on) override { Log("WeightModeChanged", on); }
  void ActiveSideChanged(int32_t side) override { Log("ActiveSideChanged", side); }
  bool LoadBackgroundPicture(int32_t code) override {
    Log("LoadBackgroundPicture", code);
    return PicturesLoad;
  }
  void SelectionChanged(bool any) override { Log("SelectionChanged", any); }
  void UpdateWindowMenuCaptions() override { TRecordingSkinHost::UpdateWindowMenuCaptions(); }
  void SetFieldCursor(TSkinCursor c) override { TRecordingSkinHost::SetFieldCursor(c); }
  // TSessionHost
  void ShowProgress(const std::string& key, int32_t steps) override {
    Calls.push_back("ShowProgress " + key + " " + std::to_string(steps));
  }
  void HideProgress() override { Log("HideProgress"); }
  void ShowMessage(const std::string& text) override { Calls.push_back("ShowMessage " + text); }
  void PlayArea(int32_t& w, int32_t& h) override {
    w = AreaWidth;
    h = AreaHeight;
  }
  // TPlayHost
  void CheckSolved() override { Log("CheckSolved"); }
  void RefreshWindow(int32_t index) override { Log("RefreshWindow", index); }
  void ActivateWindow(int32_t index) override { Log("ActivateWindow", index); }
  void DragRedraw(int32_t mode) override { Log("DragRedraw", mode); }
  void PaintHeld() override { Log("PaintHeld"); }
  // TBackgroundPickHost
  void SetWindowBackground(int32_t window, int32_t value) override { Log("SetWindowBackground", window, value); }
  void SetFieldBackground(int32_t value) override { Log("SetFieldBackground", value); }
  void RedrawBackgrounds() override { Log("RedrawBackgrounds"); }
  // TWoodColorHost
  void SetWoodColor(int32_t color) override { Log("SetWoodColor", color); }
  // TOptionsApplyHost
  void ClearSelection() override { Log("ClearSelection"); }
  void ShowFirstSide() override { Log("ShowFirstSide"); }
  void LoadLanguage(const std::string& path) override { Calls.push_back("LoadLanguage " + path); }
};

// A session whose host records: stands wherever a test needs a TGameSession.
struct TTestSession : TRecordingHost, TGameSession {
  TTestSession() : TGameSession(static_cast<TSessionHost&>(*this)) {}
};
