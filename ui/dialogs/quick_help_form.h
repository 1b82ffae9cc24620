#pragma once
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>

#include "ui/dialogs/form_texts.h"

class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QPushButton;

// Quick Help: a small tool window with the mouse and key essentials. It stays above its owner
// (the main window) but not above the windows opened after it. Closing it only hides it; its
// check box is the stored "show at start" setting. Keys pressed while it has the focus go on to
// its owner, so the game's shortcuts keep working.
class TF_Help : public QDialog, public TWidgetLangForm {
 public:
  explicit TF_Help(QWidget* parent = nullptr);

  QFrame* P_Form = nullptr;
  QFrame* Shape1 = nullptr;
  QLabel* I_Wheel = nullptr;
  QLabel* I_Wheel1 = nullptr;
  QLabel* L_Click = nullptr;
  QLabel* L_Contents = nullptr;
  QLabel* L_Open = nullptr;
  QLabel* L_Download = nullptr;
  QLabel* L_Menu = nullptr;
  QLabel* L_Ctrl = nullptr;
  QLabel* L_Ctrl1 = nullptr;
  QLabel* L_RotateCW = nullptr;
  QLabel* L_RotateCCW = nullptr;
  QLabel* L_MoveOW = nullptr;
  QLabel* L_Switch = nullptr;
  QLabel* L_Spacebar = nullptr;
  QCheckBox* CB_Show = nullptr;
  QPushButton* B_Close = nullptr;

  // The owner's key handlers (the main window's key down and key up), given the events as
  // they came.
  std::function<void(QKeyEvent*)> OwnerKeyDown;
  std::function<void(QKeyEvent*)> OwnerKeyUp;
  // True for the keys the owner acts on: those act there only and never reach Quick Help's own
  // controls (Space switches the sides, it does not untick the check box).
  std::function<bool(int key)> OwnerKey;

  // Places the wheel pictures and rotation texts after their captions, and the check box
  // and the close button after the check box's caption; the height follows.
  void LayoutQuickHelp();

  // Puts the window's frame 10 px inside the owner's right edge, vertically centred on the
  // owner's frame. A window manager frames a window only once it is shown, so the placement
  // is done again as soon as the frame is known.
  void PlaceBeside(const QWidget& owner);

  // The language loader lays the window out again after new texts.
  void TextsChanged() override { LayoutQuickHelp(); }

  void reject() override { hide(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FitClient();
  void PlaceNow();
  bool Framed() const;
  void WaitForFrame();
  void FrameCheck();

  QPointer<const QWidget> placeOwner_;
  bool placePending_ = false;  // placed without knowing the frame yet
  QTimer frameWait_;
  int frameChecks_ = 0;
};
