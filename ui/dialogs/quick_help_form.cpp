#include "ui/dialogs/quick_help_form.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QWindow>

#include "ui/dialogs/form_texts.h"

namespace {

constexpr int kFormWidth = 320;
constexpr int kLeft = 18;
constexpr int kLineStep = 22;
constexpr int kInsideOwnerRight = 10;
// The frame is looked for this often after the window is shown, and for this long at most
// (a platform without a window manager never gives one).
constexpr int kFrameCheckMs = 20;
constexpr int kFrameChecks = 150;

QLabel* Line(QWidget* parent, const char* name, int x, int y, int w = 0) {
  auto* l = new QLabel(QString::fromLatin1(name), parent);
  l->setObjectName(QString::fromLatin1(name));
  if (w > 0)
    l->setGeometry(x, y, w, 18);
  else {
    l->move(x, y);
    l->adjustSize();
  }
  return l;
}

QLabel* Wheel(QWidget* parent, const char* name, const char* picture, int x, int y) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setPixmap(QPixmap(QString::fromLatin1(picture)));
  l->setGeometry(x, y, 16, 22);
  return l;
}

}  // namespace

TF_Help::TF_Help(QWidget* parent) : QDialog(parent), TWidgetLangForm(this) {
  setObjectName(QStringLiteral("F_Help"));
  // A tool window of its owner: the window manager keeps it above the owner only, so the
  // browser, the download window and any message come in front of it. It asks for a close
  // button only.
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  frameWait_.setInterval(kFrameCheckMs);
  connect(&frameWait_, &QTimer::timeout, this, &TF_Help::FrameCheck);
  P_Form = new QFrame(this);
  P_Form->setObjectName(QStringLiteral("P_Form"));
  P_Form->setGeometry(0, 0, kFormWidth, 300);

  Shape1 = new QFrame(P_Form);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setFrameShape(QFrame::StyledPanel);
  Shape1->setFrameShadow(QFrame::Sunken);
  Shape1->setAutoFillBackground(true);
  QPalette pal = Shape1->palette();
  pal.setColor(QPalette::Window, QColor(0xfb, 0xf6, 0xea));
  Shape1->setPalette(pal);

  const int width = kFormWidth - 2 * kLeft;
  int y = 16;
  L_Click = Line(P_Form, "L_Click", kLeft, y, width);
  L_Contents = Line(P_Form, "L_Contents", kLeft, y += kLineStep + 4, width);
  L_Open = Line(P_Form, "L_Open", kLeft, y += kLineStep, width);
  L_Download = Line(P_Form, "L_Download", kLeft, y += kLineStep, width);
  L_Menu = Line(P_Form, "L_Menu", kLeft, y += kLineStep, width);
  y += kLineStep + 6;
  L_Ctrl = Line(P_Form, "L_Ctrl", kLeft, y + 2);
  I_Wheel = Wheel(P_Form, "I_Wheel", ":/images/wheel-down.png", 0, y);
  L_RotateCW = Line(P_Form, "L_RotateCW", 0, y + 2, 10);
  y += kLineStep + 4;
  L_Ctrl1 = Line(P_Form, "L_Ctrl1", kLeft, y + 2);
  I_Wheel1 = Wheel(P_Form, "I_Wheel1", ":/images/wheel-up.png", 0, y);
  L_RotateCCW = Line(P_Form, "L_RotateCCW", 0, y + 2, 10);
  y += kLineStep + 10;
  L_MoveOW = Line(P_Form, "L_MoveOW", kLeft, y, width);
  L_Switch = Line(P_Form, "L_Switch", kLeft, y += kLineStep);
  L_Spacebar = Line(P_Form, "L_Spacebar", kLeft, y += kLineStep - 2);
  QFont keyFont = L_Spacebar->font();
  keyFont.setBold(true);
  L_Spacebar->setFont(keyFont);
  L_Spacebar->setIndent(16);
  L_Spacebar->resize(width, 18);
  Shape1->setGeometry(8, 8, kFormWidth - 16, y + 18 + 10 - 8);
  Shape1->lower();

  CB_Show = new QCheckBox(P_Form);
  CB_Show->setObjectName(QStringLiteral("CB_Show"));
  CB_Show->setChecked(true);
  B_Close = new QPushButton(P_Form);
  B_Close->setObjectName(QStringLiteral("B_Close"));
  B_Close->setGeometry(kFormWidth - 8 - 80, Shape1->geometry().bottom() + 10, 80, 26);
  CB_Show->setGeometry(8, B_Close->y(), 100, B_Close->height());
  B_Close->setAutoDefault(false);
  connect(B_Close, &QPushButton::clicked, this, &QWidget::hide);

  for (QWidget* w : {static_cast<QWidget*>(CB_Show), static_cast<QWidget*>(B_Close)}) w->installEventFilter(this);
  setWindowTitle(QStringLiteral("FormCaption"));
  CB_Show->setText(QStringLiteral("CB_Show"));
  B_Close->setText(QStringLiteral("B_Close"));
  LayoutQuickHelp();
  ShowLabelsAsText(this);
}

void TF_Help::LayoutQuickHelp() {
  // The labels that measure their captions take their natural width first.
  for (QLabel* l : {L_Ctrl, L_Ctrl1, L_Switch}) l->adjustSize();
  const int shapeRight = Shape1->geometry().right() + 1;  // the edge, as Left + Width
  I_Wheel->move(L_Ctrl->geometry().right() + 1 + 5, I_Wheel->y());
  I_Wheel1->move(I_Wheel->x(), I_Wheel1->y());
  const int textLeft = I_Wheel->x() + I_Wheel->width() + 18;
  L_RotateCW->setGeometry(textLeft, L_RotateCW->y(), shapeRight - textLeft - 10, L_RotateCW->height());
  L_RotateCCW->setGeometry(textLeft, L_RotateCCW->y(), L_RotateCW->width(), L_RotateCCW->height());

  const int caption = QFontMetrics(CB_Show->font()).horizontalAdvance(CB_Show->text());
  const int room = B_Close->x() - CB_Show->x() - 16;
  if (room >= caption + 18) {
    CB_Show->resize(room, CB_Show->height());
    B_Close->move(B_Close->x(), CB_Show->y());
  } else {
    CB_Show->resize(P_Form->width() - 16, CB_Show->height());
    B_Close->move(B_Close->x(), CB_Show->y() + CB_Show->height() + 9);
  }
  P_Form->resize(P_Form->width(), B_Close->y() + B_Close->height() + 9);
  FitClient();
}

void TF_Help::FitClient() { setFixedSize(P_Form->size()); }

void TF_Help::PlaceBeside(const QWidget& owner) {
  placeOwner_ = &owner;
  PlaceNow();
  placePending_ = !Framed();
  WaitForFrame();
}

void TF_Help::WaitForFrame() {
  if (!placePending_ || !isVisible()) return;
  frameChecks_ = 0;
  frameWait_.start();
}

bool TF_Help::Framed() const { return windowHandle() && !windowHandle()->frameMargins().isNull(); }

void TF_Help::PlaceNow() {
  if (!placeOwner_) return;
  const QRect owner = placeOwner_->frameGeometry();
  const QSize own = frameGeometry().size();
  move(owner.left() + owner.width() - own.width() - kInsideOwnerRight,
       owner.top() + (owner.height() - own.height()) / 2);
}

void TF_Help::FrameCheck() {
  if (Framed()) {
    placePending_ = false;
    PlaceNow();
  }
  if (!placePending_ || ++frameChecks_ >= kFrameChecks) frameWait_.stop();
}

void TF_Help::showEvent(QShowEvent* event) {
  FitClient();
  QDialog::showEvent(event);
  WaitForFrame();
}

void TF_Help::hideEvent(QHideEvent* event) {
  frameWait_.stop();
  QDialog::hideEvent(event);
}

// The form's own handlers see only the keys sent to the form itself: a control's keys were
// passed on by the filter, which also lets the control handle them without handing them up.
void TF_Help::keyPressEvent(QKeyEvent* event) {
  if (OwnerKeyDown) OwnerKeyDown(event);
}

void TF_Help::keyReleaseEvent(QKeyEvent* event) {
  if (OwnerKeyUp) OwnerKeyUp(event);
}

bool TF_Help::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
    return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (event->type() == QEvent::KeyPress) {
    if (OwnerKeyDown) OwnerKeyDown(key);
    if (watched == B_Close && key->key() == Qt::Key_Escape) {
      hide();
      event->accept();
      return true;
    }
  } else if (OwnerKeyUp) {
    OwnerKeyUp(key);
  }
  // The owner's keys act there only; the control has its go at the others (Tab, Escape). An
  // accepted event is not handed up to the form again.
  if (!OwnerKey || !OwnerKey(key->key())) watched->event(event);
  event->accept();
  return true;
}
