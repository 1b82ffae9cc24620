#pragma once
#include <QDialog>

class QFrame;
class QLabel;

// The about form: the title card with the date and version. Borderless it is the start-up
// splash, which ignores clicks and hides when a modal window (a start-up message) opens; in
// the dialog style it is the About box, which a click, Enter or Escape closes.
class TF_AboutZorvaQuix : public QDialog {
 public:
  explicit TF_AboutZorvaQuix(QWidget* parent = nullptr);

  QLabel* I_Bkg = nullptr;
  QLabel* L_Date = nullptr;
  QLabel* L_DateShadow = nullptr;
  QLabel* L_Version = nullptr;
  QLabel* L_VersionShadow = nullptr;
  QFrame* B_Frame = nullptr;

  // None (the splash, as created) or the dialog style (the About box).
  void SetDialogStyle(bool dialog);
  bool DialogStyle() const { return dialog_; }

  void reject() override { done(2); }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FitClientToPicture();
  bool dialog_ = false;
};

inline constexpr char kAboutDate[] = "December 30, 2024";
inline constexpr char kAboutVersion[] = "Version 1.45";
