#include "ui/main_window/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "foundation/picture_loading.h"
#include "game/game_open.h"
#include "game/game_paths.h"
#include "game/jigsaw_file.h"
#include "game/layout.h"
#include "game/open_rules.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "game/saved_game.h"
#include "game/window_commands.h"
#include "platform/help_viewer.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/dialogs/info_form.h"
#include "ui/dialogs/options_form.h"
#include "ui/dialogs/quick_help_form.h"
#include "ui/download/download_form.h"
#include "ui/main_window/main_toolbar.h"
#include "ui/main_window/progress_panel.h"

namespace {

// -1 for the buttons play has no use for (back, forward and the rest).
int32_t FieldButton(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return kMouseLeft;
    case Qt::RightButton: return kMouseRight;
    case Qt::MiddleButton: return kMouseMiddle;
    default: return -1;
  }
}

double NowSeconds() { return double(QDateTime::currentMSecsSinceEpoch()) / 1000.0; }

}  // namespace

uint8_t FieldShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick) {
  uint8_t s = 0;
  if (modifiers & Qt::ShiftModifier) s |= kShiftShift;
  if (modifiers & Qt::AltModifier) s |= kShiftAlt;
  if (modifiers & Qt::ControlModifier) s |= kShiftCtrl;
  if (buttons & Qt::LeftButton) s |= kShiftLeftDown;
  if (buttons & Qt::RightButton) s |= kShiftRightDown;
  if (buttons & Qt::MiddleButton) s |= kShiftMiddleDown;
  if (doubleClick) s |= kShiftDouble;
  return s;
}

// --- The field view ---------------------------------------------------------------------------

TFieldView::TFieldView(TF_Main& main) : QWidget(&main), main_(main) {
  setObjectName("P_Field");
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

double TFieldView::Ratio() const { return devicePixelRatioF(); }

QPoint TFieldView::FieldPoint(const QPointF& p) const {
  const double r = Ratio();
  return QPoint(int(std::floor(p.x() * r)), int(std::floor(p.y() * r)));
}

void TFieldView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const TDibImage& buffer = *main_.Field().ScreenBuffer;
  const TFieldArea& area = main_.Session().Game.Field;
  const double r = Ratio();
  const QRectF logical = event->rect();
  // The rectangle in field pixels, within the buffer and the field.
  int32_t x0 = std::max(0, int(std::floor(logical.left() * r)));
  int32_t y0 = std::max(0, int(std::floor(logical.top() * r)));
  int32_t x1 = int(std::ceil((logical.left() + logical.width()) * r));
  int32_t y1 = int(std::ceil((logical.top() + logical.height()) * r));
  x1 = std::min({x1, buffer.Width, area.FieldW});
  y1 = std::min({y1, buffer.Height, area.FieldH});
  painter.fillRect(event->rect(), QColor(0x98, 0x98, 0x98));
  if (buffer.Width == 0 || x1 <= x0 || y1 <= y0) return;
  // The buffer's rows lie bottom-up: the strip of rows y0..y1-1 starts in memory at row y1-1.
  // Wrapped as it lies it shows upside down; the mirrored copy is the strip the right way up.
  const QImage strip(DibScanLine(buffer, y1 - 1), buffer.Width, y1 - y0, buffer.RowStride, QImage::Format_BGR888);
  QImage upright = strip.mirrored(false, true);
  upright.setDevicePixelRatio(r);
  painter.drawImage(QPointF(x0 / r, y0 / r), upright, QRect(x0, 0, x1 - x0, y1 - y0));
}

void TFieldView::mousePressEvent(QMouseEvent* event) {
  TField& f = main_.Field();
  if (main_.HeldInput().Hold(this, *event) || FieldButton(event->button()) < 0) return;
  const QPoint p = FieldPoint(event->position());
  TGameSession& s = main_.Session();
  s.AutoSaveHold = true;
  I_FieldMouseDown(f, FieldButton(event->button()), FieldShiftState(event->modifiers(), event->buttons(), false), p.x(),
                   p.y());
  s.AutoSaveHold = false;
}

void TFieldView::mouseDoubleClickEvent(QMouseEvent* event) {
  TField& f = main_.Field();
  if (main_.HeldInput().Hold(this, *event) || FieldButton(event->button()) < 0) return;
  const QPoint p = FieldPoint(event->position());
  TGameSession& s = main_.Session();
  s.AutoSaveHold = true;
  I_FieldMouseDown(f, FieldButton(event->button()), FieldShiftState(event->modifiers(), event->buttons(), true), p.x(),
                   p.y());
  s.AutoSaveHold = false;
}

void TFieldView::mouseMoveEvent(QMouseEvent* event) {
  TField& f = main_.Field();
  if (main_.HeldInput().Hold(this, *event)) return;
  const QPoint p = FieldPoint(event->position());
  TGameSession& s = main_.Session();
  s.AutoSaveHold = true;
  I_FieldMouseMove(f, FieldShiftState(event->modifiers(), event->buttons(), false), p.x(), p.y());
  s.AutoSaveHold = false;
}

void TFieldView::mouseReleaseEvent(QMouseEvent* event) {
  TField& f = main_.Field();
  if (main_.HeldInput().Hold(this, *event) || FieldButton(event->button()) < 0) return;
  const QPoint p = FieldPoint(event->position());
  TGameSession& s = main_.Session();
  s.AutoSaveHold = true;
  I_FieldMouseUp(f, FieldButton(event->button()), FieldShiftState(event->modifiers(), event->buttons(), false), p.x(),
                 p.y());
  s.AutoSaveHold = false;
}

void TFieldView::wheelEvent(QWheelEvent* event) {
  event->accept();
  TField& f = main_.Field();
  if (main_.HeldInput().Hold(this, *event) || event->angleDelta().y() == 0) return;
  const QPoint p = FieldPoint(event->position());
  TGameSession& s = main_.Session();
  s.AutoSaveHold = true;
  I_FieldMouseWheel(f, event->angleDelta().y(), p.x(), p.y());
  s.AutoSaveHold = false;
}

void TFieldView::resizeEvent(QResizeEvent*) { main_.FieldResized(); }

// --- The main window --------------------------------------------------------------------------

TF_Main::TF_Main(const std::string& programDir) {
  setObjectName("F_Main");
  setWindowTitle(QString::fromUtf8(kProgramTitle));
  TRegistry registry{CurrentUserEnvironment()};
  InitPaths(session_.Paths, programDir, registry);
  session_.Game.Rng.RandSeed = uint32_t(QDateTime::currentMSecsSinceEpoch());

  TSkinWindows& ws = session_.Windows;
  SetupGameWindows(ws);
  for (int32_t pocket = 2; pocket <= 5; ++pocket) UpdatePocketCaption(session_, pocket);

  field_ = std::make_unique<TField>(session_.Game, session_.Windows, *this);
  TField& f = *field_;
  f.ProgramDir = session_.Paths.sExeDir;
  f.ThumbPicture = &*session_.ThumbImage;
  LoadBackgroundButtons(bkgButtons_, BackgroundFolder(session_.Paths.sExeDir));
  InitField(f);

  session_.Game.Progress.OnStep = [this](int pos, int max) { ProgressStep(pos, max); };

  fieldView_ = new TFieldView(*this);
  setCentralWidget(fieldView_);

  T_SwitchSettle.setSingleShot(true);
  T_SwitchSettle.setInterval(5000);
  connect(&T_SwitchSettle, &QTimer::timeout, this, [this] { switchPending_ = false; });
  T_AutoSave.setInterval(5000);
  connect(&T_AutoSave, &QTimer::timeout, this, [this] { AutoSaveTimer(); });
  setMinimumSize(500, 500);
  CreateMenu();
  CreateToolbar();
  progress_ = new TProgressPanel(fieldView_, toolbar_->Record());
  EnableGameCommands(false);
  BindWindowServices();
  CreatePersistentForms();
  // The small windows live as long as the main window, so every language loaded reaches them.
  Info();
  Options();
  QuickHelp();
  f.FormsReady = true;
  FieldResized();
  for (QScreen* sc : QGuiApplication::screens())
    connect(sc, &QScreen::availableGeometryChanged, this, [this, sc] {
      if (screen() == sc) WorkAreaChanged();
    });
}

TF_Main::~TF_Main() {
  field_->FormsReady = false;
  session_.Game.Progress.OnStep = nullptr;
  FreeStartupLists(session_.Paths);
}

void TF_Main::FieldResized() {
  if (!field_ || !fieldView_) return;
  TField& f = *field_;
  const double r = fieldView_->Ratio();
  const int32_t w = std::max(1, int(std::lround(fieldView_->width() * r)));
  const int32_t h = std::max(1, int(std::lround(fieldView_->height() * r)));
  ReadWorkArea();
  // The field is exactly the widget, in device pixels.
  UpdateFieldSize(f, TFieldLayout{0, true, false, w, h});
  TSkinWindows& ws = session_.Windows;
  for (int32_t side = 0; side < 2; ++side) {
    SetSkinRectBounds(ws.GameWindows[size_t(side)].Outer, 0, 0, w, h);
    ResizeSkinWindow(ws.GameWindows[size_t(side)], false);
  }
  for (int32_t pocket = 2; pocket <= 5; ++pocket) {
    TSkinWindow& p = ws.GameWindows[size_t(pocket)];
    p.MaxClientWidth = w;
    p.MaxClientHeight = h;
    UpdateSkinWindowLimits(p);
  }
  FollowFullScreenSwitch();
  KeepWindowsInField(f);
  if (progress_) progress_->Centre();
  session_.Game.Play.RedrawKind = kRedrawField;
  RedrawField();
}

QMargins TF_Main::WindowFrame() {
  const QMargins now = windowHandle() ? windowHandle()->frameMargins() : QMargins();
  if (!fullScreenOn_ && !isFullScreen() && !now.isNull()) normalFrame_ = now;
  return normalFrame_;
}

bool TF_Main::AwaitWindowFrame() {
  // An X window manager frames a window a moment after it is shown; a frame known before is
  // kept. Elsewhere the frame, when there is one, comes with the window or never.
  constexpr int kFrameWaitMs = 1000;
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return !WindowFrame().isNull();
  QElapsedTimer clock;
  clock.start();
  while (WindowFrame().isNull() && isVisible() && !fullScreenOn_ && !isFullScreen() && clock.elapsed() < kFrameWaitMs) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(10);
  }
  return !normalFrame_.isNull();
}

void TF_Main::ReadWorkArea() {
  TField& f = *field_;
  const QScreen* sc = fieldView_->screen();
  const double r = fieldView_->Ratio();
  const auto px = [r](int v) { return int32_t(std::lround(v * r)); };
  const QRect work = sc ? sc->availableGeometry() : QRect(0, 0, width(), height());
  const QSize screenSize = sc ? sc->size() : size();
  const QMargins frame = WindowFrame();
  // The caption is what the frame adds on top beyond the border it has at the bottom.
  f.Work = TWorkArea{px(work.width()),       px(work.height()),  px(std::max(frame.top() - frame.bottom(), 0)),
                     px(frame.left()),       px(frame.bottom()), px(screenSize.width()),
                     px(screenSize.height())};
}

int32_t TF_Main::ToolbarHeight() const {
  return toolbar_ ? int32_t(std::lround(toolbar_->height() * fieldView_->Ratio())) : 0;
}

void TF_Main::FollowFullScreenSwitch() {
  TGameSession& s = session_;
  const TFieldArea& field = s.Game.Field;
  if (!switchPending_ || (field.FieldW == switchFromW_ && field.FieldH == switchFromH_)) return;
  if (s.Game.GameLoaded) {
    // The sides' content follows the new field before the groups are scaled into it.
    TContentChange content{field.ContentW, field.ContentH, 0, 0};
    LayoutGameWindows(s.Windows, s.Game.Field, s.Game.GameLevel.ImageW, s.Game.GameLevel.ImageH);
    content.NewW = field.ContentW;
    content.NewH = field.ContentH;
    for (int32_t i = 0; i < 6; ++i) {
      ScaleGroupPositions(s.Game, i, switchFromW_, switchFromH_, i < 2 ? &content : nullptr);
      BringGroupsIntoView(s.Game, PieceViewOf(s.Windows.GameWindows[size_t(i)]), true);
    }
  }
  switchFromW_ = field.FieldW;
  switchFromH_ = field.FieldH;
  T_SwitchSettle.start();  // a window manager may still be at work
}

void TF_Main::RedrawField() {
  if (field_->Game.Play.RedrawKind == kRedrawNone) field_->Game.Play.RedrawKind = kRedrawField;
  ::Redraw(*field_);
}

void TF_Main::ShowProgress(const std::string& key, int32_t steps) {
  progress_->ShowProgress(GetLangString(lang_, kLangMainForm, key), steps);
  field_->Busy = true;
  SetCommandsEnabled(false);
  QCoreApplication::processEvents();
}

void TF_Main::ProgressStep(int32_t pos, int32_t) {
  if (!progress_->isVisible()) return;
  progress_->SetProgress(pos);
  QCoreApplication::processEvents();
}

void TF_Main::HideProgress() {
  progress_->hide();
  field_->Busy = false;
  SetCommandsEnabled(true);
  QCoreApplication::processEvents();
  heldInput_.OperationEnded();
}

void TF_Main::ApplyViewState() { ApplyWindowBackgrounds(); }

bool TF_Main::StartGame(const std::string& path, const TOpenChoices* chosen) {
  TGameSession& s = session_;
  TSkinWindows& ws = s.Windows;
  const std::string ext = LowerExtension(path);
  for (int32_t pocket = 2; pocket <= 5; ++pocket)
    if (ws.GameWindows[size_t(pocket)].Visible) ShowPocket(pocket, false);
  const bool thumbVisible = ws.GameWindows[6].Visible;
  const bool glassVisible = ws.GlassWindow.Visible;
  ws.GameWindows[6].Visible = false;
  ws.GlassWindow.Visible = false;
  int32_t side = 0;
  bool opened = false;
  if (ext == JigsawExtension && chosen) {
    opened = StartJigsawGame(s, path, *chosen);
  } else if (ext == JigsawExtension) {
    TImageControl load;
    TJigsawOpenTarget target{s.Game.CurrentLevel,
                             load,
                             s.Paths.TempPictureFile,
                             [&s](int32_t& w, int32_t& h) { s.Host.PlayArea(w, h); },
                             {}};
    const TLevelRecord defaults = s.Game.DefaultLevel;
    opened = OpenJigsaw(path, OpenJigsawSelect, target) &&
             ApplyLevelChoices(s.Game.CurrentLevel, defaults, defaults.FitToScreen != 0);
    if (!opened) {
      ShowSessionMessage(s, "Invalid Jigsaw");
    } else {
      TOpenChoices choices;
      choices.FitToScreen = defaults.FitToScreen != 0;
      opened = StartJigsawGame(s, path, choices);
    }
  } else if (ext == kSavedGameExtension) {
    opened = OpenSavedGameFile(s, path, OpenSavedSelect) && OpenSavedGameFile(s, path, OpenSavedContinue);
    if (opened) {
      std::vector<TPieceView> views;
      for (int32_t i = 0; i < 6; ++i) views.push_back(PieceViewOf(ws.GameWindows[size_t(i)]));
      BringAllGroupsIntoView(s.Game, views);
      const int32_t n = LivePieceCount(s.Game);
      const int32_t first = n > 0 ? s.Game.Pieces[0].Window : 0;
      bool same = true;
      for (int32_t i = 1; i < n && same; ++i) same = s.Game.Pieces[size_t(i)].Window == first;
      side = same && first <= 1 ? first : 0;
    }
  }
  if (!opened) {
    ws.GameWindows[6].Visible = thumbVisible && s.Game.GameLoaded;
    RedrawField();
    return false;
  }
  SortPieces(s.Game, false);
  // A full-screen switch still settling scales this game from the field it was laid out on.
  switchFromW_ = s.Game.Field.FieldW;
  switchFromH_ = s.Game.Field.FieldH;
  AddRecentFile(settings_, path);
  RefreshRecentMenu();
  DrawThumbnailImage(s);
  for (int32_t pocket = 2; pocket <= 5; ++pocket) {
    TSkinWindow& p = ws.GameWindows[size_t(pocket)];
    p.MaxClientWidth = s.Game.Field.FieldW;
    p.MaxClientHeight = s.Game.Field.FieldH;
    UpdateSkinWindowLimits(p);
  }
  SetActiveSide(*field_, side);
  ApplyViewState();
  TField& f = *field_;
  f.Solved = false;
  s.Game.Play.HeldPiece = -1;
  s.Game.Play.DragState = 0;
  f.ClickPending = false;
  ApplyWeightMode(f);
  MenuAction("MI_FileSaveImage")->setEnabled(false);
  EnableGameCommands(true);
  if (thumbVisible) {
    TSkinWindow& t = ws.GameWindows[6];
    SetSkinWindowVisible(ws, t, true);
    SetSkinRectBounds(t.Outer, 0, 0, t.Outer.Width, t.Outer.Height);
    ResizeSkinWindow(t, false);
    BringSkinWindowToFront(ws, t);
  }
  if (glassVisible) {
    TSkinWindow& g = ws.GlassWindow;
    g.Visible = true;
    SetSkinRectBounds(g.Outer, 0, 0, g.Outer.Width, g.Outer.Height);
    ResizeSkinWindow(g, false);
  }
  s.Game.Play.RedrawKind = kRedrawField;
  RedrawField();
  s.SaveModified = s.AutoSaveModified = false;
  s.LastAutoSaveTime = NowSeconds();
  T_AutoSave.start();
  return true;
}

void TF_Main::AutoSaveTimer() {
  if (field_->InHandler || field_->Busy) return;
  // The browser's list shows the autosaved game as it now is.
  if (AutoSaveTick(session_, NowSeconds())) RefreshSavedThumb(session_.Paths.sAutoSave);
}

void TF_Main::keyPressEvent(QKeyEvent* event) {
  if (event->isAutoRepeat() || heldInput_.Hold(this, *event)) return;
  lastKeyDown_ = event->key();
}

void TF_Main::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat() || heldInput_.Hold(this, *event)) return;
  const int key = event->key();
  if (key != lastKeyDown_) {
    lastKeyDown_ = 0;
    return;
  }
  lastKeyDown_ = 0;
  TGameSession& s = session_;
  const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  if (key == Qt::Key_Space) {
    if (!field_->FormsReady || !MenuAction("MI_Game")->isEnabled() || !s.Game.GameLoaded ||
        s.Game.PlaySettings.SingleMainWindow)
      return;
    s.AutoSaveHold = true;
    if (s.Game.Play.HasSelection && s.Game.Play.DragState != 1) ClearSelection();
    SetActiveSide(*field_, field_->ActiveSide == 0 ? 1 : 0);
    RedrawField();
    s.AutoSaveHold = false;
  } else {
    RunShortcut(key, mods);
  }
}

void TF_Main::closeEvent(QCloseEvent* event) {
  // A long operation below us on the stack still uses the window.
  if (field_->Busy) {
    event->ignore();
    return;
  }
  session_.AutoSaveHold = true;
  if (!AskSaveChanges()) {
    session_.AutoSaveHold = false;
    event->ignore();
    return;
  }
  T_AutoSave.stop();
  WriteExitSettings();
  // Leaving the game leaves none of its windows behind (the help, the quick help).
  std::vector<QPointer<QWidget>> open;
  for (QWidget* w : findChildren<QWidget*>())
    if (w->isWindow() && w->isVisible()) open.emplace_back(w);
  for (const QPointer<QWidget>& w : open)
    if (w) w->close();
  event->accept();
}
