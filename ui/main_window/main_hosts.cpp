// The main window as the host of the field, the session, the background picker and the
// options: every notification below it ends in something the player sees.
#include <QAction>
#include <QThread>

#include <algorithm>
#include <cmath>

#include "foundation/lang_forms.h"
#include "game/game_open.h"
#include "game/game_paths.h"
#include "game/pieces.h"
#include "game/toolbar_mouse.h"
#include "game/window_commands.h"
#include "platform/message_box.h"
#include "ui/dialogs/finish_form.h"
#include "ui/dialogs/save_solved_image.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_toolbar.h"

namespace {

constexpr int32_t kToolbarSide1 = 5;
constexpr int32_t kWeightOffColumn = 14, kWeightOnColumn = 15;

}  // namespace

// --- TFieldHost ---------------------------------------------------------------------------------

void TF_Main::InvalidateFieldRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (!fieldView_) return;
  const double r = fieldView_->Ratio();
  const QRect logical(int(std::floor(x / r)), int(std::floor(y / r)), int(std::ceil(w / r)) + 2,
                      int(std::ceil(h / r)) + 2);
  // At once, as the field expects: the star animation waits between its frames.
  if (fieldView_->isVisible()) fieldView_->repaint(logical);
}

void TF_Main::Wait(int32_t ms) { QThread::msleep(unsigned(std::max(ms, 0))); }

void TF_Main::SetModified() { session_.SaveModified = session_.AutoSaveModified = true; }

void TF_Main::SaveImageEnabled(bool enabled) {
  if (QAction* a = MenuAction("MI_FileSaveImage")) a->setEnabled(enabled);
}

int32_t TF_Main::ShowFinish() {
  TF_Finish finish(lang_, this);
  return Modal(finish);
}

void TF_Main::SaveSolvedImage() {
  ::SaveSolvedImage(this, session_, GetLangString(lang_, kLangMainForm, "SD_SaveImage"), ChooseSolvedImagePath);
}

void TF_Main::ShowPocket(int32_t pocket, bool show) { ::ShowPocket(*field_, pocket, show); }

void TF_Main::WindowHidden(int32_t) {}

void TF_Main::PocketChanged(int32_t pocket) {
  UpdatePocketCaption(session_, pocket);
  UpdateWindowToggle(pocket);
}

void TF_Main::MainWindowSize(int32_t& width, int32_t& height) {
  // In field pixels, as the field's points are.
  const double r = fieldView_ ? fieldView_->Ratio() : 1.0;
  width = int32_t(std::lround(this->width() * r));
  height = int32_t(std::lround(this->height() * r));
}

void TF_Main::SetMainWindowSize(int32_t width, int32_t height) {
  if (fullScreenOn_ || isMaximized()) return;
  const double r = fieldView_ ? fieldView_->Ratio() : 1.0;
  resize(int(std::lround(width / r)), int(std::lround(height / r)));
}

void TF_Main::GrabCursor(bool on) {
  fieldView_->setCursor(on ? cursors_.Get("DRAGBBB", Qt::ClosedHandCursor) : QCursor(Qt::ArrowCursor));
}

void TF_Main::ThumbnailResized() { DrawThumbnailImage(session_); }

void TF_Main::ToolbarUnhot() {
  if (toolbar_) toolbar_->Unhot();
}

void TF_Main::WeightModeChanged(bool on) {
  const std::string caption = GetLangString(lang_, kLangMainForm, on ? "MI_GameWeightOn" : "MI_GameWeightOff");
  if (QAction* a = MenuAction("MI_GameWeight")) {
    a->setCheckable(true);
    a->setChecked(on);
    SetMenuCaption(a, caption);
  }
  if (!toolbar_) return;
  toolbar_->Record().ToolbarButtons[kToolbarWeight].SkinColumn = on ? kWeightOnColumn : kWeightOffColumn;
  SetToolbarHint(*this, kToolbarWeight);
  toolbar_->Refresh();
}

void TF_Main::ActiveSideChanged(int32_t side) {
  for (int32_t k = 0; k < 2; ++k) {
    if (QAction* a = MenuAction(k == 0 ? "MI_GameWin1" : "MI_GameWin2")) {
      a->setCheckable(true);
      a->setChecked(k == side);
    }
    if (toolbar_) SetToolbarButtonDown(toolbar_->Record(), kToolbarSide1 + k, k == side);
  }
  if (toolbar_) toolbar_->Refresh();
}

void TF_Main::SelectionChanged(bool any) {
  // The toolbar's Arrange button follows its menu item.
  if (QAction* a = MenuAction("MI_GameArrange")) a->setEnabled(any && session_.Game.GameLoaded);
}

void TF_Main::SetFieldCursor(TSkinCursor c) {
  struct TShape {
    const char* Name;
    Qt::CursorShape Stock;
  };
  static constexpr TShape shapes[] = {{"", Qt::ArrowCursor},
                                      {"SIZEWE", Qt::SizeHorCursor},
                                      {"SIZENS", Qt::SizeVerCursor},
                                      {"SIZENWSE", Qt::SizeFDiagCursor},
                                      {"SIZENESW", Qt::SizeBDiagCursor}};
  const TShape& s = shapes[int(c)];
  fieldView_->setCursor(c == TSkinCursor::Default ? QCursor(s.Stock) : cursors_.Get(s.Name, s.Stock));
}

// --- TSessionHost ---------------------------------------------------------------------------------

void TF_Main::PlayArea(int32_t& width, int32_t& height) {
  // A fitted picture fits the window as it fills the work area, in full screen or not, so that
  // it needs no scrolling in either mode.
  ReadWorkArea();
  WindowedFieldSize(field_->Work, ToolbarHeight(), width, height);
}

// --- TBackgroundPickHost --------------------------------------------------------------------------

void TF_Main::SetFieldBackground(int32_t value) {
  session_.ViewState.lBkg = value;
  field_->FieldBackground = uint32_t(value);
}

void TF_Main::RedrawBackgrounds() {
  session_.Game.Play.RedrawKind = kRedrawField;
  RedrawField();
}

// --- TOptionsApplyHost ----------------------------------------------------------------------------

void TF_Main::ClearSelection() { ::ClearSelection(session_.Game, PieceViewOf(ActiveWindowRecord(*field_))); }

void TF_Main::ShowFirstSide() { SetActiveSide(*field_, 0); }

void TF_Main::LoadLanguage(const std::string& path) { ::LoadLanguage(lang_, path, LangForms()); }
