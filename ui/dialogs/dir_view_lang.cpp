// The browser's texts in the player's language.
#include "ui/dialogs/dir_view_form.h"

#include "ui/dialogs/form_texts.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

void TF_DirView::SetFormCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void TF_DirView::SetCaption(const std::string& component, const std::string& text) {
  const QString name = QString::fromStdString(component);
  const QString t = QString::fromStdString(text);
  if (SetPageCaption(PC_Pages, component, t)) return;
  if (auto* a = findChild<QAction*>(name)) {
    a->setText(t);
    return;
  }
  if (auto* b = findChild<QPushButton*>(name)) {
    b->setText(QString(t).replace("\r\n", "\n"));
    return;
  }
  if (auto* l = findChild<QLabel*>(name)) l->setText(t);
}

void TF_DirView::SetHint(const std::string& component, const std::string& hint) {
  SetControlHint(this, component, QString::fromStdString(hint));
}

void TF_DirView::SetItem(const std::string&, int32_t, const std::string&) {}

void TF_DirView::SetText(const std::string& field, const std::string& text) {
  if (field == kRotateOnText)
    rotateOnText_ = text;
  else if (field == kRotateOffText)
    rotateOffText_ = text;
  else if (field == kFitOnText)
    fitOnText_ = text;
  else if (field == kFitOffText)
    fitOffText_ = text;
  else if (field == kMixRandomText)
    mixRandomText_ = text;
  else if (field == kMixSpreadOutText)
    mixSpreadOutText_ = text;
  else if (field.rfind(kShapeNames, 0) == 0 && field.size() == sizeof kShapeNames) {
    const int i = field.back() - '0';
    if (i >= 0 && i < kShapeCount) shapeNames_[i] = text;
  } else if (field.rfind(kBorderNames, 0) == 0 && field.size() == sizeof kBorderNames) {
    const int i = field.back() - '0';
    if (i >= 0 && i < kBorderCount) borderNames_[i] = text;
  }
}

std::vector<TLangMenuItem> TF_DirView::MenuItems(const std::string& menu) const {
  std::vector<TLangMenuItem> items;
  const QMenu* m = menu == "PM_Jigs" ? PM_Jigs : menu == "PM_Games" ? PM_Games : nullptr;
  if (!m) return items;
  for (const QAction* a : m->actions())
    items.push_back({a->objectName().toStdString(), a->text().toStdString(), 0, {}});
  return items;
}

std::vector<std::string> TF_DirView::Pages(const std::string& pageControl) const {
  if (pageControl != "PC_Pages") return {};
  return {"TS_Jigs", "TS_Games", "TS_Level"};
}

int32_t TF_DirView::ItemCount(const std::string& list) const {
  if (list == "LV_Jigs") return LV_Jigs->count();
  if (list == "LV_Games") return LV_Games->count();
  return 0;
}

int32_t TF_DirView::Position(const std::string& scrollBar) const {
  return scrollBar == "SB_PieceSize" ? SB_PieceSize->value() : 0;
}

void TF_DirView::TextsChanged() {
  ShowRotationState();
  ShowFitToScreenState();
  L_Borders->setText(QString::fromStdString(borderNames_[size_t(model_.Page.BorderIndex)]));
  L_Shapes->setText(QString::fromStdString(shapeNames_[size_t(model_.Page.ShapeIndex)]));
  // L_Mix keeps the "Mix" caption the language gave it until the level page shows a kind.
  if (formReady_) UpdateOkCaption();
}
