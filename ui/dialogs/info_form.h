#pragma once
#include <QDialog>

#include <string>
#include <vector>

#include "ui/dialogs/form_texts.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The image information window: the jigsaw's preview, its level facts and its description.
// The main window fills the labels and the preview; the description is filled when a game
// opens and is read back by saving and by the solved picture.
class TF_Info : public QDialog, public TWidgetLangForm {
 public:
  explicit TF_Info(QWidget* parent = nullptr);

  QFrame* P_Form = nullptr;
  QLabel* I_ShowThumb = nullptr;  // 256 x 192, the preview centred
  QLabel* L_JigCap = nullptr;
  QLabel* L_Jig = nullptr;
  QLabel* L_Jig1 = nullptr;
  QLabel* L_PieceNum = nullptr;
  QLabel* L_SolvedPercent = nullptr;
  QLabel* l_UnsolvedNum = nullptr;
  QLabel* L_Shapes = nullptr;
  QLabel* L_Borders = nullptr;
  QLabel* L_Rotation = nullptr;
  QPlainTextEdit* M_Info = nullptr;
  QPushButton* B_Ok = nullptr;

  std::vector<std::string> InfoLines() const;
  // The description as a jigsaw or saved game stores it: UTF-8 or Windows-1252 text whose
  // lines end in CR LF, LF or CR.
  void SetInfoText(const std::string& stored);

  // New texts: the client area follows the panel.
  void TextsChanged() override;

  // Closing the window cancels, as Escape does.
  void reject() override { done(2); }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};
