// The main window's services and the commands that rearrange pieces and windows, change the
// backgrounds, show the game's facts, switch the weight mode and apply the options.
#include <QAction>
#include <QCursor>
#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <algorithm>

#include "engine/shape_file.h"
#include "foundation/file_helpers.h"
#include "foundation/text_format.h"
#include "foundation/toolbar.h"
#include "game/background_pictures.h"
#include "game/browser_model.h"
#include "game/game_open.h"
#include "game/game_paths.h"
#include "game/layout.h"
#include "game/pieces.h"
#include "game/window_commands.h"
#include "platform/message_box.h"
#include "ui/dialogs/color_picker_form.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/dialogs/form_images.h"
#include "ui/dialogs/info_form.h"
#include "ui/dialogs/options_form.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_toolbar.h"

namespace {

constexpr int32_t kQuestionYesNo = 36;  // Yes and No buttons, question icon
constexpr int kIdYesAnswer = 6;
constexpr uint32_t kButtonFace = 0xF0F0F0;  // behind the Info window's thumbnail

}  // namespace

// --- Services -----------------------------------------------------------------------------------

int TF_Main::MsgBox(const std::string& text, int flags) {
  return ShowMessageBox(MessageLineBreaks(text), kProgramTitle, flags);
}

// Messages of opening, cutting and saving: a plain box.
void TF_Main::ShowMessage(const std::string& text) {
  // The cut hands over language keys; its other texts and those of the files are English.
  const bool key = text.rfind("MS_", 0) == 0;
  // A broken shape file is a warning, not a notice.
  const int icon = text == kInvalidShapeFileText ? kMbIconExclamation : 0;
  MsgBox(key ? GetLangString(lang_, kLangMainForm, text) : text, kMbOk | icon);
}

bool TF_Main::LoadBackgroundPicture(int32_t code) {
  if (!IsBackgroundPicture(code)) return false;
  const TSkinWindow& side = session_.Windows.GameWindows[0];
  int32_t w = 0, h = 0;
  LargestFieldSize(*field_, fullScreenOn_, ToolbarHeight(), w, h);
  w = std::max({w, side.ContentWidth, session_.Game.Field.FieldW});
  h = std::max({h, side.ContentHeight, session_.Game.Field.FieldH});
  const bool ok = ::LoadBackgroundPicture(I_BkgPic, BackgroundFolder(session_.Paths.sExeDir), code, w, h);
  session_.Windows.BackgroundPicture = ok ? &*I_BkgPic.Picture : nullptr;
  return ok;
}

void TF_Main::SetWindowBackground(int32_t window, int32_t value) {
  if (window < 0 || window > 5) return;
  if (IsBackgroundPicture(value) && !LoadBackgroundPicture(value)) value = int32_t(kFieldGrey);
  session_.ViewState.WindowBkg[window] = value;
  session_.Windows.GameWindows[size_t(window)].Background = uint32_t(value);
  session_.Game.Play.RedrawKind = kRedrawField;
}

void TF_Main::ApplyWindowBackgrounds() {
  TViewState& v = session_.ViewState;
  ResolveWindowBackgrounds(v, [this](int32_t code) { return LoadBackgroundPicture(code); });
  for (int32_t i = 0; i < 6; ++i) SetWindowBackground(i, v.WindowBkg[i]);
  field_->FieldBackground = uint32_t(v.lBkg);
  session_.Game.Play.RedrawKind = kRedrawField;
}

TF_Info& TF_Main::Info() {
  if (!info_) info_ = std::make_unique<TF_Info>(this);
  return *info_;
}

TF_Options& TF_Main::Options() {
  if (!options_) {
    TOptionsFormEnv env;
    env.Lang = &lang_;
    env.ServerHosts = sources_.ServerHosts;
    env.ShowHelpTopic = [this](const std::string& topic) { ShowHelpTopic(topic); };
    options_ = std::make_unique<TF_Options>(env, this);
  }
  return *options_;
}

void TF_Main::BindWindowServices() {
  for (int32_t k = 1; k <= 4; ++k)
    if (QAction* a = MenuAction("MI_PocketsPocket" + std::to_string(k))) a->setCheckable(true);
  if (QAction* a = MenuAction("MI_FullScreen")) a->setCheckable(true);
  FullScreenChanged = [this](bool on) {
    if (QAction* a = MenuAction("MI_FullScreen")) a->setChecked(on);
    if (!toolbar_) return;
    SetToolbarButtonDown(toolbar_->Record(), kToolbarFullScreen, on);
    toolbar_->SetFullScreen(on);
  };
}

void TF_Main::UpdateWindowToggle(int32_t pocket) {
  if (pocket < 2 || pocket > 5) return;
  const TSkinWindow& w = session_.Windows.GameWindows[size_t(pocket)];
  if (QAction* a = MenuAction("MI_PocketsPocket" + std::to_string(pocket - 1))) a->setChecked(w.Visible);
  if (!toolbar_) return;
  const int32_t button = kToolbarPocket1 + pocket - 2;
  // The pocket's face shows whether it holds pieces.
  toolbar_->Record().ToolbarButtons[button].SkinColumn = w.PieceCount > 0 ? 10 : 9;
  SetToolbarButtonDown(toolbar_->Record(), button, w.Visible);
  toolbar_->update();
}

void TF_Main::UpdateWindowMenuCaptions() {
  QAction* bkg = MenuAction("MI_GameBkgCur");
  QAction* selectAll = MenuAction("MI_GameSelectAll");
  if (!bkg || !selectAll || !field_) return;
  std::string bkgKey, selectAllKey;
  WindowMenuKeys(ActiveWindowRecord(*field_), bkgKey, selectAllKey);
  SetMenuCaption(bkg, GetLangString(lang_, kLangMainForm, bkgKey));
  SetMenuCaption(selectAll, GetLangString(lang_, kLangMainForm, selectAllKey));
  SetToolbarHint(*this, 4);
  SetToolbarHint(*this, 13);
}

int TF_Main::Modal(QDialog& dialog) { return RunModal ? RunModal(dialog) : dialog.exec(); }

// --- Arranging ----------------------------------------------------------------------------------

void TF_Main::MI_GameArrangeClick() {
  TGameSession& s = session_;
  if (!s.Game.GameLoaded || !s.Game.Play.HasSelection) return;
  s.AutoSaveHold = true;
  TSkinWindow& active = ActiveWindowRecord(*field_);
  const bool pocket = active.Style == kSkinStylePocket;
  const int32_t w = pocket ? s.Game.Field.FieldW : s.Windows.GameWindows[0].ContentWidth;
  const int32_t h = pocket ? s.Game.Field.FieldH : s.Windows.GameWindows[0].ContentHeight;
  std::vector<int32_t> arranged;
  if (ArrangeSelectedPieces(s.Game, w, h, &arranged)) {
    // The grid from the selection's corner can run past the content at the largest pieces:
    // every arranged piece is brought where the player can take it.
    MovePiecesIntoArea(s.Game, arranged, w, h);
    if (pocket) UpdateWindowContentSize(*field_, active);
    s.SaveModified = s.AutoSaveModified = true;
    s.Game.Play.RedrawKind = kRedrawField;
    RedrawField();
  }
  s.AutoSaveHold = false;
}

void TF_Main::MI_GameGatherClick() {
  TGameSession& s = session_;
  if (!s.Game.GameLoaded) return;
  if (MsgBox(GetLangString(lang_, 2, "Q_Gather"), kQuestionYesNo) != kIdYesAnswer) return;
  s.AutoSaveHold = true;
  GatherPieces(*field_);
  s.SaveModified = s.AutoSaveModified = true;
  s.AutoSaveHold = false;
}

void TF_Main::MI_PocketsTileClick() {
  if (session_.Game.GameLoaded) TilePockets(*field_);
}

void TF_Main::MI_PocketsCascadeClick() {
  if (session_.Game.GameLoaded) CascadePockets(*field_);
}

// --- Backgrounds ----------------------------------------------------------------------------------

int TF_Main::RunBackgroundPicker(const std::string& caption, const std::function<void(TColorPicker&)>& setup,
                                 int32_t& picked) {
  TF_ColorPicker picker(this, lang_, &bkgButtons_);
  setup(picker.Picker());
  picker.setWindowTitle(QString::fromStdString(StripEllipsis(caption)));
  const int result = Modal(picker);
  picked = picker.Picker().PickedColor;
  return result;
}

void TF_Main::MI_GameBkgAllClick() {
  TGameSession& s = session_;
  if (!s.Game.GameLoaded) return;
  s.AutoSaveHold = true;
  if (s.Game.Play.HasSelection) ClearSelection();
  const TViewState saved = s.ViewState;
  int32_t picked = 0;
  const int result = RunBackgroundPicker(
      GetLangString(lang_, 2, "MI_GameBkgAll"),
      [&](TColorPicker& p) { SetupAllWindowsPicker(p, s.ViewState.lBkg, *this); }, picked);
  if (result == 1) {
    RefreshDrag(*field_);
    s.SaveModified = s.AutoSaveModified = true;
  } else {
    s.ViewState = saved;
    ApplyWindowBackgrounds();
  }
  s.AutoSaveHold = false;
  s.Game.Play.RedrawKind = kRedrawField;
  RedrawField();
}

void TF_Main::MI_GameBkgCurClick() {
  TGameSession& s = session_;
  if (!s.Game.GameLoaded) return;
  s.AutoSaveHold = true;
  if (s.Game.Play.HasSelection) ClearSelection();
  const int32_t i = std::clamp(int32_t(ActiveWindowRecord(*field_).Index), 0, 5);
  const int32_t saved = s.ViewState.WindowBkg[i];
  std::string key, selectAllKey;
  WindowMenuKeys(ActiveWindowRecord(*field_), key, selectAllKey);
  int32_t picked = 0;
  const int result = RunBackgroundPicker(
      GetLangString(lang_, 2, key), [&](TColorPicker& p) { SetupWindowPicker(p, saved, i, *this); }, picked);
  if (result == 1) {
    RefreshDrag(*field_);
    s.SaveModified = s.AutoSaveModified = true;
  } else {
    s.ViewState.WindowBkg[i] = saved;
    ApplyWindowBackgrounds();
  }
  s.AutoSaveHold = false;
  s.Game.Play.RedrawKind = kRedrawField;
  RedrawField();
}

// --- Info, weight, options ------------------------------------------------------------------------

void TF_Main::MI_GameInfoClick() {
  TGameSession& s = session_;
  if (!s.Game.GameLoaded) return;
  s.AutoSaveHold = true;
  TF_Info& info = Info();
  const TLevelRecord& l = s.Game.GameLevel;
  auto text = [](const std::string& t) { return QString::fromStdString(t); };
  info.L_PieceNum->setText(text(WideFormat(GetLangString(lang_, 6, "L_PieceNum"), {l.TotalTileNum})));
  const TSolvedPercent solved = SolvedPercent(s.Game, field_->Solved);
  info.L_SolvedPercent->setText(text(WideFormat(GetLangString(lang_, 6, "L_SolvedPercent"), {solved.Percent})));
  info.l_UnsolvedNum->setText(text(WideFormat(GetLangString(lang_, 6, "l_UnsolvedNum"), {solved.Groups})));
  info.L_Rotation->setEnabled(l.Rotate != 0);
  if (dirView_) {
    info.L_Shapes->setText(text(dirView_->ShapeName(l.ShapeStyle)));
    info.L_Borders->setText(text(dirView_->BorderName(l.BorderStyle)));
  }
  info.L_Borders->setEnabled(FramePieceIndex(s.Game) >= 0);
  if (!s.sSolve.empty()) {
    info.L_Jig->setText(text(FileNameOf(s.sSolve)));
    info.L_Jig1->setText(text("(" + s.sJigName + ")"));
    info.L_Jig1->show();
  } else {
    info.L_Jig->setText(text(s.sJigName));
    info.L_Jig1->hide();
  }
  TDibHolder thumb;
  if (DrawPictureFitted(*thumb, info.I_ShowThumb->width(), info.I_ShowThumb->height(), *s.StoreThumb.Picture,
                        kButtonFace, nullptr))
    info.I_ShowThumb->setPixmap(QPixmap::fromImage(ToQImage(*thumb)));
  else
    info.I_ShowThumb->clear();
  info.SetInfoText(s.InfoText);
  Modal(info);
  s.AutoSaveHold = false;
}

void TF_Main::MI_GameWeightClick() {
  const TGameState& g = session_.Game;
  if (g.GameLoaded) {
    const QPoint p = fieldView_->FieldPoint(fieldView_->mapFromGlobal(QCursor::pos()));
    WeightCommand(*field_, p.x(), p.y());
  }
  // A checkable item checks itself when triggered; the check shows the mode, which starts only
  // when the pin is dropped on a piece.
  if (QAction* a = MenuAction("MI_GameWeight")) a->setChecked(g.GameLoaded && g.Play.WeightGroup != -1);
}

void TF_Main::MI_OptionsClick() {
  TGameSession& s = session_;
  TF_Options& dialog = Options();
  // The player may have named other sources since the last look.
  dialog.SetServerHosts(LoadSources().ServerHosts);
  TOptionsApplied applied;
  RunOptionsCommand(dialog, s, settings_, lang_, *this, &applied);
  field_->SoundPlay = settings_.Flags.SoundPlay;
  field_->ShowJoin = settings_.Flags.ShowJoin;
  if (applied.SingleMainWindowChanged && OptionsChanged) OptionsChanged();
  if (s.Game.GameLoaded) {
    s.Game.Play.RedrawKind = kRedrawField;
    RedrawField();
  }
}
