#pragma once
#include <QFrame>
#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <string>

#include "game/field.h"
#include "game/game_session.h"

class QLabel;
class QProgressBar;
class TF_Main;

// The play field `I_Field`: shows the field's screen buffer at the screen's own pixels and
// hands mouse and wheel input to the field, in field (device pixel) coordinates.
class TFieldView : public QWidget {
 public:
  explicit TFieldView(TF_Main& main);
  // Device pixels per logical pixel of this widget.
  double Ratio() const;
  // A widget point in field coordinates.
  QPoint FieldPoint(const QPointF& p) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TF_Main& main_;
};

// The main window: the play field, the progress panel, the autosave timer.
class TF_Main : public QMainWindow {
 public:
  // programDir: the program folder (ends with '/').
  explicit TF_Main(const std::string& programDir);
  ~TF_Main() override;

  TGameSession& Session() { return session_; }
  TField& Field() { return *field_; }
  TFieldView* P_Field() { return fieldView_; }

  // Start-up: continue the autosave when there is one, else open the first distributed
  // jigsaw at the default level. Stands in for the browser until it exists.
  bool OpenStartupGame();
  // Opens a jigsaw at the given level choices, or continues a saved game.
  bool StartGame(const std::string& path);
  // The save command: the current saved game, else a file named after the jigsaw in the
  // saved-games folder.
  bool SaveCommand();
  void AutoSaveTimer();

  // The field changed: repaint its rectangle now.
  void InvalidateFieldRect(int32_t x, int32_t y, int32_t w, int32_t h);
  void RedrawField();
  // The field's size from the widget's size in device pixels.
  void FieldResized();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowProgress(const std::string& key, int32_t steps);
  void ProgressStep(int32_t pos, int32_t max);
  void HideProgress();
  void ApplyViewState();
  bool AskSaveChanges();

  TGameSession session_;
  std::unique_ptr<TField> field_;
  TFieldView* fieldView_ = nullptr;
  QFrame* P_Progress = nullptr;
  QLabel* L_Progress = nullptr;
  QProgressBar* I_ProgressBar = nullptr;
  QTimer T_AutoSave;
  int lastKeyDown_ = 0;
  double lastAutoSave_ = 0;  // seconds since the epoch
};

// Mouse buttons and keyboard state as the field's handlers take them.
uint8_t FieldShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick);
