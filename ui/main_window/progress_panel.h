#pragma once
#include <QWidget>

#include <cstdint>
#include <string>

#include "foundation/toolbar.h"

class QLabel;

// The progress panel `P_Progress`: 300 x 100, painted from the toolbar's skinned panel and bar
// images, with the operation's text in `L_Progress`. It stands centred over the play field
// while a long operation runs.
class TProgressPanel : public QWidget {
 public:
  // The images come from the toolbar record, painted with its skin.
  TProgressPanel(QWidget* field, const TToolbar& skin);

  // Centred over the field, the text shown, the bar empty for a run of `steps` steps.
  void ShowProgress(const std::string& text, int32_t steps);
  // `ProgressStep`: the bar shows step pos of the run.
  void SetProgress(int32_t pos);
  void Centre();
  int32_t ProgressPos() const { return pos_; }
  int32_t ProgressMax() const { return max_; }
  // The full bar's width in pixels (of the empty bar's width).
  int32_t BarWidth() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TToolbar& skin_;
  QLabel* L_Progress = nullptr;
  int32_t pos_ = 0;
  int32_t max_ = 100;
};
