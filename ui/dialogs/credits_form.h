#pragma once
#include <QDialog>

#include "foundation/lang.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The credits: thanks to the people and works the game is made with.
class TF_Credits : public QDialog {
 public:
  TF_Credits(const TLanguageState& lang, QWidget* parent = nullptr);

  QFrame* P_Form = nullptr;
  QLabel* L_Thanks = nullptr;
  QPlainTextEdit* M_Names = nullptr;
  QPushButton* B_Ok = nullptr;

  // B_Ok is the default and the cancel button: Escape closes as OK does.
  void reject() override { done(1); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyTexts();
  const TLanguageState& lang_;
};

// The contributors' list the credits show (kept with the form).
extern const char* const kCreditsNames;
