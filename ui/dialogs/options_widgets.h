#pragma once
#include <QColor>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "ui/dialogs/form_images.h"

// The options dialog's own widgets, shared by its pages and its handlers.

constexpr uint32_t kPreviewBackground = 0x989898;

// The effects preview: the preview buffer at its own size.
class TOptionsImage : public QWidget {
 public:
  explicit TOptionsImage(QWidget* parent) : QWidget(parent) {}
  void SetImage(QImage image) {
    image_ = std::move(image);
    setFixedSize(image_.size());
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, image_);
  }

 private:
  QImage image_;
};

// The wood colour swatch: a framed colour that opens the picker when pressed.
class TOptionsSwatch : public QWidget {
 public:
  explicit TOptionsSwatch(QWidget* parent) : QWidget(parent) {
    setFixedSize(40, 20);
    setCursor(Qt::PointingHandCursor);
  }
  int32_t Color() const { return color_; }
  void SetColor(int32_t color) {
    color_ = color & 0xFFFFFF;
    update();
  }
  std::function<void()> OnMouseDown;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(ColorOf(color_));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && OnMouseDown) OnMouseDown();
  }

 private:
  int32_t color_ = 0;
};
