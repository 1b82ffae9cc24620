#pragma once
#include <QDialog>

#include <functional>

#include "ui/dialogs/form_texts.h"

class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QPushButton;

// Quick Help: a small stay-on-top tool window with the mouse and key essentials. Closing it
// only hides it; its check box is the stored "show at start" setting. Keys pressed while it
// has the focus go on to its owner, so the game's shortcuts keep working.
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

  // Places the wheel pictures and rotation texts after their captions, and the check box
  // and the close button after the check box's caption; the height follows.
  void LayoutQuickHelp();

  // Left := owner left + width - own width - 10; vertically centred on the owner.
  void PlaceBeside(const QRect& ownerFrame);

  // The language loader lays the window out again after new texts.
  void TextsChanged() override { LayoutQuickHelp(); }

  void reject() override { hide(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FitClient();
};
