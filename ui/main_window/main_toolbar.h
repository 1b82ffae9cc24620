#pragma once
#include <QWidget>

#include <functional>
#include <string>

#include "foundation/dib_image.h"
#include "foundation/toolbar.h"

// The image toolbar `P_Toolbar`: the skinned strip with the 23 button faces. A click on a
// button runs its menu item through Clicked.
class TToolbarPanel : public QWidget {
 public:
  explicit TToolbarPanel(QWidget* parent);
  ~TToolbarPanel() override;

  TToolbar& Record() { return toolbar_; }
  // The face sheet and frame skin are in: paint the strip and the faces for the width.
  bool LoadArtwork(const TDibImage& frameSkin);
  // Lays the buttons out and repaints every face (after a state change too).
  void Refresh();
  void SetButtonEnabled(int32_t index, bool enabled);
  void SetHint(int32_t index, const std::string& hint);
  // Full screen shows the minimise and close buttons.
  void SetFullScreen(bool on);
  // The pointer left the toolbar for the field: no button stays hot.
  void Unhot();
  // The button at a point of the panel, or -1.
  int32_t ButtonAt(QPoint p) const;
  // The bottom-left corner of a button on the screen.
  QPoint ButtonBottomLeft(int32_t index) const;

  std::function<void(int32_t index)> Clicked;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  TToolbar toolbar_;
  const TDibImage* frameSkin_ = nullptr;
  std::string hints_[kToolbarButtonCount];
  bool fullScreen_ = false;
  int32_t pressed_ = -1;  // the button pressed in, until the release
};
