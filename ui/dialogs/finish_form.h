#pragma once
#include <QDialog>

#include "foundation/lang.h"

class QFrame;
class QLabel;
class QPushButton;

// The puzzle-solved dialog: result 1 asks for the solved picture to be saved, 2 declines.
class TF_Finish : public QDialog {
 public:
  TF_Finish(const TLanguageState& lang, QWidget* parent = nullptr);

  QFrame* P_Form = nullptr;
  QLabel* L_Congratulations = nullptr;
  QLabel* L_Solved = nullptr;
  QLabel* L_AskForSave = nullptr;
  QPushButton* B_Save = nullptr;
  QPushButton* B_Cancel = nullptr;

  void reject() override { done(2); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyTexts();
  const TLanguageState& lang_;
};
