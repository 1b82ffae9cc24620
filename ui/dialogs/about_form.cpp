#include "ui/dialogs/about_form.h"
#include "ui/dialogs/form_texts.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

namespace {

QLabel* TextLabel(QWidget* parent, const char* name, const char* text, const QColor& color) {
  auto* l = new QLabel(QString::fromLatin1(text), parent);
  l->setObjectName(QString::fromLatin1(name));
  QFont f = l->font();
  f.setPixelSize(13);
  f.setBold(true);
  l->setFont(f);
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, color);
  l->setPalette(p);
  l->setAttribute(Qt::WA_TranslucentBackground);
  l->adjustSize();
  return l;
}

}  // namespace

TF_AboutZorvaQuix::TF_AboutZorvaQuix(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("F_AboutZorvaQuix"));
  I_Bkg = new QLabel(this);
  I_Bkg->setObjectName(QStringLiteral("I_Bkg"));
  I_Bkg->setPixmap(QPixmap(QStringLiteral(":/images/about.png")));
  I_Bkg->move(0, 0);
  I_Bkg->adjustSize();

  // Black text over a white copy one pixel right and below, on the card's lower band.
  L_DateShadow = TextLabel(this, "L_DateShadow", kAboutDate, Qt::white);
  L_Date = TextLabel(this, "L_Date", kAboutDate, Qt::black);
  L_VersionShadow = TextLabel(this, "L_VersionShadow", kAboutVersion, Qt::white);
  L_Version = TextLabel(this, "L_Version", kAboutVersion, Qt::black);
  const int w = I_Bkg->width(), h = I_Bkg->height();
  const int right = w - 34;
  L_Version->move(right - L_Version->width(), h - 58);
  L_Date->move(right - L_Date->width(), h - 40);
  L_VersionShadow->move(L_Version->pos() + QPoint(1, 1));
  L_DateShadow->move(L_Date->pos() + QPoint(1, 1));

  B_Frame = new QFrame(this);
  B_Frame->setObjectName(QStringLiteral("B_Frame"));
  B_Frame->setFrameShape(QFrame::Box);
  B_Frame->setLineWidth(1);
  B_Frame->setAttribute(Qt::WA_TransparentForMouseEvents);
  B_Frame->setGeometry(0, 0, w, h);

  for (QWidget* c : {static_cast<QWidget*>(I_Bkg), static_cast<QWidget*>(L_Date), static_cast<QWidget*>(L_DateShadow),
                     static_cast<QWidget*>(L_Version), static_cast<QWidget*>(L_VersionShadow)})
    c->installEventFilter(this);
  SetDialogStyle(false);
  FitClientToPicture();
  ShowLabelsAsText(this);
}

void TF_AboutZorvaQuix::SetDialogStyle(bool dialog) {
  dialog_ = dialog;
  const bool visible = isVisible();
  Qt::WindowFlags flags = Qt::WindowStaysOnTopHint;
  if (dialog)
    flags |= Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
  else
    flags |= Qt::SplashScreen | Qt::FramelessWindowHint;
  setWindowFlags(flags);
  // The splash watches for a message box raised during start-up: above it stays on top.
  if (dialog)
    qApp->removeEventFilter(this);
  else
    qApp->installEventFilter(this);
  if (visible) show();
}

void TF_AboutZorvaQuix::FitClientToPicture() { setFixedSize(I_Bkg->size()); }

void TF_AboutZorvaQuix::showEvent(QShowEvent* event) {
  FitClientToPicture();
  // Centred on the screen the form opens on.
  if (const QScreen* s = screen()) move(s->geometry().center() - rect().center());
  QDialog::showEvent(event);
}

void TF_AboutZorvaQuix::keyPressEvent(QKeyEvent* event) {
  // The splash is no modal window: there is nothing for a key to close.
  if (!dialog_) {
    event->ignore();
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    done(1);
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    done(2);
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TF_AboutZorvaQuix::eventFilter(QObject* watched, QEvent* event) {
  // A modal window opening while the splash is up would be hidden beneath it: the splash
  // steps aside, as its time is over anyway once start-up has something to ask.
  if (!dialog_ && event->type() == QEvent::Show && watched != this) {
    const auto* w = qobject_cast<const QWidget*>(watched);
    if (w && w->isWindow() && w->isModal() && isVisible()) hide();
    return false;
  }
  // Only the About box closes on a click: the splash goes when start-up is done with it.
  if (event->type() == QEvent::MouseButtonRelease && dialog_) {
    done(1);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}
