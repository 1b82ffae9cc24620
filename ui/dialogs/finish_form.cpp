#include "ui/dialogs/finish_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialogs/form_texts.h"

TF_Finish::TF_Finish(const TLanguageState& lang, QWidget* parent) : QDialog(parent), lang_(lang) {
  setObjectName(QStringLiteral("F_Finish"));
  P_Form = new QFrame(this);
  P_Form->setObjectName(QStringLiteral("P_Form"));

  L_Congratulations = new QLabel(P_Form);
  L_Congratulations->setObjectName(QStringLiteral("L_Congratulations"));
  QFont big = L_Congratulations->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  L_Congratulations->setFont(big);
  L_Congratulations->setAlignment(Qt::AlignCenter);
  L_Solved = new QLabel(P_Form);
  L_Solved->setObjectName(QStringLiteral("L_Solved"));
  L_Solved->setAlignment(Qt::AlignCenter);
  L_AskForSave = new QLabel(P_Form);
  L_AskForSave->setObjectName(QStringLiteral("L_AskForSave"));
  L_AskForSave->setAlignment(Qt::AlignCenter);
  L_AskForSave->setWordWrap(true);

  B_Save = new QPushButton(P_Form);
  B_Save->setObjectName(QStringLiteral("B_Save"));
  B_Save->setDefault(true);
  B_Save->setMinimumWidth(110);
  B_Cancel = new QPushButton(P_Form);
  B_Cancel->setObjectName(QStringLiteral("B_Cancel"));
  B_Cancel->setMinimumWidth(110);
  connect(B_Save, &QPushButton::clicked, this, [this] { done(1); });
  connect(B_Cancel, &QPushButton::clicked, this, [this] { done(2); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(B_Save);
  buttons->addWidget(B_Cancel);
  buttons->addStretch(1);

  auto* all = new QVBoxLayout(P_Form);
  all->setContentsMargins(24, 20, 24, 16);
  all->setSpacing(8);
  all->addWidget(L_Congratulations);
  all->addWidget(L_Solved);
  all->addSpacing(6);
  all->addWidget(L_AskForSave);
  all->addSpacing(10);
  all->addLayout(buttons);
  P_Form->setMinimumWidth(340);
  ApplyTexts();
  ShowLabelsAsText(this);
}

void TF_Finish::ApplyTexts() {
  B_Cancel->setText(Q(GetLangString(lang_, kLangAll, "B_Cancel")));
  setWindowTitle(Q(GetLangString(lang_, kLangFinish, "FormCaption")));
  for (const char* name : {"L_Congratulations", "L_Solved", "L_AskForSave", "B_Save"})
    SetControlCaption(this, name, Q(GetLangString(lang_, kLangFinish, name)));
  FitClientToPanel(this, P_Form);
}

void TF_Finish::showEvent(QShowEvent* event) {
  ApplyTexts();
  QDialog::showEvent(event);
  B_Save->setFocus();  // Enter saves, whichever button was used last time
}
