// The browser's two list pages: their items, the thumbnail painter and the thumbnail loader.
#include "ui/dialogs/dir_view_form.h"

#include "ui/dialogs/dir_view_internal.h"
#include "ui/dialogs/form_images.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTabWidget>

#include <cmath>

#include "game/jigsaw_file.h"

using dirview::kItemCellH;
using dirview::kItemCellW;

namespace {

constexpr int kImageRole = Qt::UserRole;
constexpr uint32_t kSelectionColor = 0xFF8000;  // RGB(0, 128, 255)

}  // namespace

QString FitCaption(const QFontMetricsF& fm, const QString& caption, int width) {
  // Eliding against the caption's own rounded advance cut names that fit by a fraction of a
  // pixel; only the room in the cell decides.
  return fm.elidedText(caption, Qt::ElideRight, qreal(width));
}

namespace dirview {

QSize TThumbDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return QSize(kItemCellW, kItemCellH + 24);
}

void TThumbDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (!form_.FormReady()) return;
  const QRect b = option.rect;
  p->save();
  p->fillRect(b, option.palette.base());
  if (option.state & QStyle::State_Selected) {
    p->setPen(ColorOf(kSelectionColor));
    p->setBrush(Qt::NoBrush);
    p->drawRect(b.adjusted(2, 2, -2, -2));
    p->drawRect(b.adjusted(3, 3, -3, -3));
  }
  const QPixmap pm = form_.ThumbPixmap(index.data(kImageRole).toInt());
  const QFontMetrics fm(option.font);
  const int textH = fm.height();
  const int blockH = pm.height() + 5 + textH;
  const int top = b.top() + (b.height() - blockH) / 2;
  p->drawPixmap(b.left() + (b.width() - pm.width()) / 2, top, pm);
  const QString caption = index.data(Qt::DisplayRole).toString();
  const QFontMetricsF exact(option.font);
  const QString shown = FitCaption(exact, caption, b.width() - 12);
  const int textW = int(std::ceil(exact.horizontalAdvance(shown)));
  const QRect box(b.left() + (b.width() - textW) / 2 - 1, top + pm.height() + 6 - 1, textW + 2, textH + 2);
  p->setFont(option.font);
  p->setPen(option.palette.text().color());
  p->drawText(box, Qt::AlignCenter, shown);
  p->restore();
}

}  // namespace dirview

QPixmap TF_DirView::ThumbPixmap(int32_t index) {
  if (index < 0 || size_t(index) >= model_.Cache.Images.size()) index = 0;
  auto it = pixmaps_.find(index);
  if (it != pixmaps_.end()) return it->second;
  const QPixmap pm = QPixmap::fromImage(ToQImage(**model_.Cache.Images[size_t(index)]));
  pixmaps_[index] = pm;
  return pm;
}

void TF_DirView::RefreshCachedThumb(const std::string& fileName, const TDibImage& picture) {
  const int32_t i = FindCachedThumb(model_.Cache, fileName);
  if (i > 0 && ::RefreshCachedThumb(model_.Cache, fileName, picture, &*model_.SaveIcon)) pixmaps_.erase(i);
}

void TF_DirView::FillFileLists() {
  StopLoader();
  LV_Jigs->clear();
  LV_Games->clear();
  const TListedFile found = ::FillFileLists(model_);
  auto fill = [](QListWidget* list, const std::vector<TBrowserItem>& items) {
    for (const TBrowserItem& it : items) {
      auto* item = new QListWidgetItem(QString::fromStdString(it.Caption), list);
      item->setData(kImageRole, it.ImageIndex);
    }
  };
  fill(LV_Jigs, model_.Jigs);
  fill(LV_Games, model_.Games);
  if (found.Index >= 0) {
    QListWidget* list = found.Page == kPageGames ? LV_Games : LV_Jigs;
    QWidget* sheet = found.Page == kPageGames ? TS_Games : TS_Jigs;
    if (PC_Pages->currentWidget() == sheet) list->setFocus();
    list->setCurrentRow(found.Index);
    list->scrollToItem(list->item(found.Index), QAbstractItemView::PositionAtTop);
    // The file-name field names the preset, as the caller's path did.
    E_FileName->setText(list->item(found.Index)->text() +
                        (found.Page == kPageGames ? kSavedGameExtension : JigsawExtension));
  }
  if (model_.BrowseMode == kBrowseSave) {
    T_AddItem.start();
    return;
  }
  if (found.Index < 0) {
    PC_Pages->blockSignals(true);
    PC_Pages->setCurrentWidget(TS_Jigs);
    PC_Pages->blockSignals(false);
    PC_PagesChange();
    if (LV_Jigs->count() > 0) {
      LV_Jigs->setCurrentRow(0);
      E_FileName->setText(LV_Jigs->item(0)->text() + JigsawExtension);
    } else {
      E_FileName->clear();
    }
  }
  SelectFile(false);
  T_AddItem.start();
}

void TF_DirView::RefreshListImages() {
  for (auto [list, items] : {std::pair{LV_Jigs, &model_.Jigs}, std::pair{LV_Games, &model_.Games}})
    for (int i = 0; i < list->count() && size_t(i) < items->size(); ++i) {
      QListWidgetItem* item = list->item(i);
      if (item->data(kImageRole).toInt() != (*items)[size_t(i)].ImageIndex)
        item->setData(kImageRole, (*items)[size_t(i)].ImageIndex);
    }
}

void TF_DirView::T_AddItemTimer() {
  T_AddItem.stop();
  QElapsedTimer clock;
  clock.start();
  const bool more = ThumbLoaderTick(model_, [&clock] { return double(clock.nsecsElapsed()) / 1e6; });
  RefreshListImages();
  if (more) T_AddItem.start();
}

void TF_DirView::LoadAllThumbs() {
  while (LoadNextThumb(model_)) {
  }
  T_AddItem.stop();
  RefreshListImages();
}

void TF_DirView::StopLoader() { T_AddItem.stop(); }

void TF_DirView::SelectItem(QListWidget* list, int32_t row) {
  if (row < 0 || row >= list->count()) {
    list->clearSelection();
    E_FileName->clear();
    return;
  }
  list->setCurrentRow(row);
  list->item(row)->setSelected(true);
  E_FileName->setText(list->item(row)->text() + (list == LV_Games ? kSavedGameExtension : JigsawExtension));
}

void TF_DirView::ListClick(QListWidget* list) {
  if (list->selectedItems().isEmpty()) return;
  const bool games = PC_Pages->currentWidget() == TS_Games;
  E_FileName->setText(list->selectedItems().first()->text() + (games ? kSavedGameExtension : JigsawExtension));
  QListWidget* other = list == LV_Games ? LV_Jigs : LV_Games;
  other->clearSelection();
  SelectFile(true);
}
