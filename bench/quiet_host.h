#pragma once
// The benchmarks' host: nothing on screen, so every notification is dropped; the finish dialog
// is declined and the play area is the field's size.
#include <string>

#include "game/field.h"
#include "game/game_session.h"

class TQuietHost final : public TFieldHost, public TSessionHost {
 public:
  int32_t AreaWidth = 1920, AreaHeight = 1080;

  void InvalidateFieldRect(int32_t, int32_t, int32_t, int32_t) override {}
  void Wait(int32_t) override {}
  void SetModified() override {}
  void SaveImageEnabled(bool) override {}
  int32_t ShowFinish() override { return 2; }
  void SaveSolvedImage() override {}
  void ShowPocket(int32_t, bool) override {}
  void WindowHidden(int32_t) override {}
  void PocketChanged(int32_t) override {}
  void MainWindowSize(int32_t& w, int32_t& h) override { w = AreaWidth, h = AreaHeight; }
  void SetMainWindowSize(int32_t, int32_t) override {}
  void GrabCursor(bool) override {}
  void ThumbnailResized() override {}
  void ToolbarUnhot() override {}
  void WeightModeChanged(bool) override {}
  void ActiveSideChanged(int32_t) override {}
  bool LoadBackgroundPicture(int32_t) override { return false; }
  void SelectionChanged(bool) override {}
  void UpdateWindowMenuCaptions() override {}
  void SetFieldCursor(TSkinCursor) override {}
  void ShowProgress(const std::string&, int32_t) override {}
  void HideProgress() override {}
  void ShowMessage(const std::string&) override {}
  void PlayArea(int32_t& w, int32_t& h) override { w = AreaWidth, h = AreaHeight; }
};
