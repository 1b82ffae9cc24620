#include "ui/dialogs/info_form.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "foundation/lang.h"
#include "platform/outside_text.h"
#include "ui/dialogs/form_texts.h"

namespace {

template <typename T>
T* Named(QWidget* parent, const char* name) {
  auto* w = new T(parent);
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

}  // namespace

TF_Info::TF_Info(QWidget* parent) : QDialog(parent), TWidgetLangForm(this) {
  setObjectName(QStringLiteral("F_Info"));
  P_Form = Named<QFrame>(this, "P_Form");

  I_ShowThumb = Named<QLabel>(P_Form, "I_ShowThumb");
  I_ShowThumb->setFixedSize(256, 192);
  I_ShowThumb->setAlignment(Qt::AlignCenter);
  I_ShowThumb->setFrameShape(QFrame::StyledPanel);

  L_JigCap = Named<QLabel>(P_Form, "L_JigCap");
  L_Jig = Named<QLabel>(P_Form, "L_Jig");
  L_Jig1 = Named<QLabel>(P_Form, "L_Jig1");
  L_Jig1->hide();
  QFont bold = L_Jig->font();
  bold.setBold(true);
  L_Jig->setFont(bold);
  L_PieceNum = Named<QLabel>(P_Form, "L_PieceNum");
  L_SolvedPercent = Named<QLabel>(P_Form, "L_SolvedPercent");
  l_UnsolvedNum = Named<QLabel>(P_Form, "l_UnsolvedNum");
  L_Shapes = Named<QLabel>(P_Form, "L_Shapes");
  L_Borders = Named<QLabel>(P_Form, "L_Borders");
  L_Rotation = Named<QLabel>(P_Form, "L_Rotation");

  M_Info = Named<QPlainTextEdit>(P_Form, "M_Info");
  M_Info->setReadOnly(true);
  M_Info->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  M_Info->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  M_Info->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  M_Info->setFixedHeight(96);
  M_Info->installEventFilter(this);

  B_Ok = Named<QPushButton>(P_Form, "B_Ok");
  B_Ok->setDefault(true);
  B_Ok->setMinimumWidth(88);
  connect(B_Ok, &QPushButton::clicked, this, [this] { done(1); });

  auto* facts = new QVBoxLayout;
  facts->setSpacing(6);
  auto* name = new QHBoxLayout;
  name->addWidget(L_JigCap);
  name->addWidget(L_Jig, 1);
  facts->addLayout(name);
  facts->addWidget(L_Jig1);
  facts->addSpacing(8);
  for (QLabel* l : {L_PieceNum, L_SolvedPercent, l_UnsolvedNum}) facts->addWidget(l);
  facts->addSpacing(8);
  for (QLabel* l : {L_Shapes, L_Borders, L_Rotation}) facts->addWidget(l);
  facts->addStretch(1);

  auto* top = new QHBoxLayout;
  top->setSpacing(16);
  top->addWidget(I_ShowThumb, 0, Qt::AlignTop);
  top->addLayout(facts, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(B_Ok);

  auto* all = new QVBoxLayout(P_Form);
  all->setContentsMargins(12, 12, 12, 12);
  all->setSpacing(10);
  all->addLayout(top);
  all->addWidget(M_Info);
  all->addLayout(buttons);
  P_Form->setMinimumWidth(480);

  setWindowTitle(QStringLiteral("FormCaption"));
  B_Ok->setText(QStringLiteral("B_Ok"));
  L_JigCap->setText(QStringLiteral("L_JigCap"));
  L_Rotation->setText(QStringLiteral("L_Rotation"));
  FitClientToPanel(this, P_Form);
  ShowLabelsAsText(this);
}

std::vector<std::string> TF_Info::InfoLines() const {
  std::vector<std::string> lines;
  const QTextDocument* doc = M_Info->document();
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) lines.push_back(b.text().toStdString());
  // An empty memo has no lines, as a memo of no text reports none.
  if (lines.size() == 1 && lines[0].empty()) lines.clear();
  return lines;
}

void TF_Info::SetInfoText(const std::string& stored) {
  // A jigsaw's description comes from outside: shown with its lines, nothing that forges more.
  const std::string text = OutsideLines(DecodeLangText(reinterpret_cast<const uint8_t*>(stored.data()), stored.size()));
  QString lines = Q(text);
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  M_Info->setPlainText(lines);
}

void TF_Info::TextsChanged() { FitClientToPanel(this, P_Form); }

void TF_Info::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  B_Ok->setFocus();
}

bool TF_Info::eventFilter(QObject* watched, QEvent* event) {
  if (watched == M_Info && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      done(1);
      return true;
    }
    if (key == Qt::Key_Escape) {
      done(2);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
