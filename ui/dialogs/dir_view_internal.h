#pragma once
#include <QStyledItemDelegate>
#include <cstdint>
#include <string>

class TF_DirView;

// Helpers shared by the browser's source files; not for other callers.
namespace dirview {

constexpr int kItemCellW = 196, kItemCellH = 151;

// Draws the owner-drawn list items: the thumbnail, the caption below it, and for a selected
// item two frames in the selection colour.
class TThumbDelegate : public QStyledItemDelegate {
 public:
  TThumbDelegate(TF_DirView& form, QObject* parent) : QStyledItemDelegate(parent), form_(form) {}
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override;
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  TF_DirView& form_;
};

}  // namespace dirview
