#pragma once
#include <QColor>
#include <QStyledItemDelegate>

#include <cstdint>
#include <filesystem>
#include <string>

class TF_DirView;

// Helpers shared by the browser's source files; not for other callers.
namespace dirview {

constexpr int kItemCellW = 196, kItemCellH = 151;

inline QColor ColorOf(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

inline bool IsFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

inline std::string Stem(const std::string& path) { return std::filesystem::path(path).stem().string(); }

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
