#include "ui/main_window/progress_panel.h"

#include <QLabel>
#include <QPainter>

#include "game/window_commands.h"
#include "ui/dialogs/form_images.h"
#include "ui/dialogs/form_texts.h"

namespace {

constexpr int32_t kPanelWidth = 300;

}  // namespace

TProgressPanel::TProgressPanel(QWidget* field, const TToolbar& skin) : QWidget(field), skin_(skin) {
  setObjectName("P_Progress");
  setFixedSize(kPanelWidth, kProgressPanelHeight);
  L_Progress = new QLabel(this);
  L_Progress->setObjectName("L_Progress");
  L_Progress->setAlignment(Qt::AlignCenter);
  L_Progress->setAttribute(Qt::WA_TranslucentBackground);
  QFont font("Arial");
  font.setPixelSize(16);
  L_Progress->setFont(font);
  // Light text: the panel's wood is dark.
  QPalette palette = L_Progress->palette();
  palette.setColor(QPalette::WindowText, QColor(0xF4, 0xE6, 0xC8));
  L_Progress->setPalette(palette);
  L_Progress->setGeometry(0, 16, kPanelWidth, 30);
  hide();
  ShowLabelsAsText(this);
}

void TProgressPanel::Centre() {
  const QWidget* field = parentWidget();
  move((field->width() - width()) / 2, (field->height() - height()) / 2);
}

void TProgressPanel::ShowProgress(const std::string& text, int32_t steps) {
  Centre();
  SetProgress(0);
  max_ = steps;
  L_Progress->setText(QString::fromStdString(text));
  show();
  raise();
}

void TProgressPanel::SetProgress(int32_t pos) {
  pos_ = pos;
  update();
}

int32_t TProgressPanel::BarWidth() const { return ProgressBarWidth(skin_.ProgressBarEmpty.Width, pos_, max_); }

void TProgressPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, ToQImage(skin_.ProgressBkg));
  painter.drawImage(kProgressBarLeft, kProgressBarTop, ToQImage(skin_.ProgressBarEmpty));
  const int32_t w = BarWidth();
  if (w > 0)
    painter.drawImage(QPoint(kProgressBarLeft, kProgressBarTop), ToQImage(skin_.ProgressBar),
                      QRect(0, 0, w, kProgressBarHeight));
  // S_ProgressFrame: the panel's outline, nothing filled.
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, width() - 1, height() - 1);
}
