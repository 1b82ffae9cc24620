#include "ui/main_window/main_toolbar.h"

#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <vector>

#include "foundation/artwork.h"
#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"
#include "game/toolbar_mouse.h"
#include "platform/resources.h"

namespace {

// A 24- or 32-bit buffer the right way up, for painting.
QImage Upright(const TDibImage& d) {
  if (d.Width <= 0 || d.Height <= 0 || d.BytesPerPixel < 3) return {};
  const QImage::Format format = d.BytesPerPixel == 4 ? QImage::Format_ARGB32 : QImage::Format_BGR888;
  return QImage(DibScanLine(d, d.Height - 1), d.Width, d.Height, d.RowStride, format).mirrored(false, true);
}

}  // namespace

TToolbarPanel::TToolbarPanel(QWidget* parent) : QWidget(parent) {
  setObjectName("P_Toolbar");
  setFixedHeight(kToolbarTileHeight);
  setMouseTracking(true);
  InitToolbar(toolbar_);
}

TToolbarPanel::~TToolbarPanel() { FreeToolbar(toolbar_); }

bool TToolbarPanel::LoadArtwork(const TDibImage& frameSkin) {
  std::vector<uint8_t> bytes;
  TDibHolder sheet;
  if (!ReadProgramResource(kBitmapResourceKind, kToolbarFacesBitmapId, bytes) ||
      !DecodeBmp(*sheet, bytes.data(), bytes.size()))
    return false;
  CreateDib24(toolbar_.ToolbarSkin, sheet->Width, sheet->Height);
  BlitDib(toolbar_.ToolbarSkin, 0, 0, sheet->Width, sheet->Height, *sheet, 0, 0);
  frameSkin_ = &frameSkin;
  Refresh();
  return true;
}

void TToolbarPanel::Refresh() {
  const int32_t w = std::max(width(), 1);
  LayoutToolbar(toolbar_, w, fullScreen_);
  if (frameSkin_) PaintToolbarSkin(toolbar_, *frameSkin_, w, kToolbarTileHeight, 300);
  update();
}

void TToolbarPanel::SetButtonEnabled(int32_t index, bool enabled) {
  if (index < 0 || index >= kToolbarButtonCount || toolbar_.ToolbarButtons[index].Enabled == enabled) return;
  SetToolbarButtonEnabled(toolbar_, index, enabled);
  update();
}

void TToolbarPanel::SetFullScreen(bool on) {
  fullScreen_ = on;
  Refresh();
}

void TToolbarPanel::SetHint(int32_t index, const std::string& hint) {
  if (index >= 0 && index < kToolbarButtonCount) hints_[index] = hint;
}

int32_t TToolbarPanel::ButtonAt(QPoint p) const {
  for (int32_t i = 0; i < kToolbarButtonCount; ++i) {
    const TToolbarButton& b = toolbar_.ToolbarButtons[i];
    if (b.Visible && QRect(b.Left, b.Top, b.Width, b.Height).contains(p)) return i;
  }
  return -1;
}

QPoint TToolbarPanel::ButtonBottomLeft(int32_t index) const {
  const TToolbarButton& b = toolbar_.ToolbarButtons[index];
  return mapToGlobal(QPoint(b.Left, b.Top + b.Height));
}

void TToolbarPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QImage strip = Upright(toolbar_.ToolbarImage);
  if (strip.isNull())
    p.fillRect(rect(), QColor(0x40, 0x30, 0x28));
  else
    p.drawImage(QRect(0, 0, width(), height()), strip, QRect(0, 0, std::min(width(), strip.width()), strip.height()));
  for (const TToolbarButton& b : toolbar_.ToolbarButtons) {
    if (!b.Visible) continue;
    const QImage face = Upright(b.Face);
    if (!face.isNull()) p.drawImage(b.Left, b.Top, face, 0, 0, b.Width, b.Height);
  }
}

void TToolbarPanel::mouseMoveEvent(QMouseEvent* event) {
  const bool leftDown = event->buttons() & Qt::LeftButton;
  const int32_t i = ButtonAt(event->position().toPoint());
  if (i >= 0)
    ToolbarButtonMouseMove(toolbar_, i, leftDown);
  else if (!leftDown)
    ToolbarBackgroundMouseMove(toolbar_);
  update();
}

void TToolbarPanel::leaveEvent(QEvent*) { Unhot(); }

void TToolbarPanel::Unhot() {
  if (pressed_ >= 0) return;
  ToolbarBackgroundMouseMove(toolbar_);
  update();
}

void TToolbarPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  const int32_t i = ButtonAt(p);
  if (i >= 0) {
    // A press without a move before it (a touch, a synthetic click) finds its button too.
    ToolbarButtonMouseMove(toolbar_, i, false);
    ToolbarButtonMouseDown(toolbar_, i);
  } else if (ToolbarCloseCornerHit(toolbar_, p.x(), p.y())) {
    // In full screen the corner beside the close button is part of it.
    toolbar_.PressedToolbarButton = kToolbarClose;
    ToolbarButtonMouseDown(toolbar_, kToolbarClose);
  }
  pressed_ = toolbar_.PressedToolbarButton;
  update();
}

void TToolbarPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || pressed_ < 0) return;
  pressed_ = -1;
  // The release clicks the pressed button wherever the pointer is now.
  const int32_t index = ToolbarButtonMouseUp(toolbar_);
  update();
  if (index >= 0 && Clicked) Clicked(index);
}

void TToolbarPanel::resizeEvent(QResizeEvent*) { Refresh(); }

bool TToolbarPanel::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    const int32_t i = ButtonAt(help->pos());
    if (i >= 0 && !hints_[i].empty())
      QToolTip::showText(help->globalPos(), QString::fromStdString(hints_[i]), this);
    else
      QToolTip::hideText();
    return true;
  }
  return QWidget::event(e);
}
