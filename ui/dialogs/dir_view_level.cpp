// The browser's level page: the thumbnail, the piece-size preview and the option pictures.
#include "ui/dialogs/dir_view_form.h"

#include "ui/dialogs/dir_view_internal.h"
#include "ui/dialogs/form_images.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

#include "foundation/dib_ops.h"
#include "foundation/text_format.h"
#include "platform/resources.h"

namespace {

constexpr uint32_t kShapeKey = 0xFF00FF;
constexpr uint32_t kWhiteKey = 0xFFFFFF;

// A compiled-in picture as a 24-bit buffer.
bool LoadArt(TDibImage& out, const char* file) {
  std::vector<uint8_t> bytes;
  return ReadResourceFile(std::string(":/images/") + file, bytes) && DecodeTo24(out, bytes);
}

// The faces copied side by side into the upper half of a strip, then greyed below.
void MakeStrip(TDibImage& strip, const std::vector<const TDibImage*>& faces, int32_t w, int32_t h, uint32_t tint,
               uint32_t key) {
  FreeDib(strip);
  if (!CreateDib24(strip, w * int32_t(faces.size()), h * 2)) return;
  FillDibRect(strip, 0, 0, strip.Width, strip.Height, 0xFFFFFF);
  for (size_t i = 0; i < faces.size(); ++i) BlitDib(strip, int32_t(i) * w, 0, w, h, *faces[i], 0, 0);
  MakeGreyedHalf(strip, tint, key);
}

QImage StripCell(const TDibImage& strip, int32_t index, int32_t w, int32_t h, bool enabled) {
  const QImage all = ToQImage(strip);
  if (all.isNull()) return {};
  return all.copy(index * w, enabled ? 0 : strip.Height / 2, w, h);
}

}  // namespace

// An image control: its picture stretched over its bounds.
class TDirViewImage : public QWidget {
 public:
  explicit TDirViewImage(QWidget* parent) : QWidget(parent) {}
  void SetImage(QImage image) {
    image_ = std::move(image);
    update();
  }
  const QImage& Image() const { return image_; }
  int Tag = 0;

 protected:
  void paintEvent(QPaintEvent*) override {
    if (image_.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(rect(), image_);
  }

 private:
  QImage image_;
};

namespace {

// A group of the level page: a caption label 40 px high at top 3 over a bevelled panel 8 px
// below it.
QWidget* MakeGroup(QWidget* parent, const char* name, const char* captionName, QLabel*& caption, QWidget*& inner, int x,
                   int y, int w, int innerH) {
  auto* group = new QWidget(parent);
  group->setObjectName(name);
  group->setGeometry(x, y, w, 51 + innerH);
  caption = new QLabel(group);
  caption->setObjectName(captionName);
  caption->setGeometry(0, 3, w, 40);
  caption->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
  caption->setWordWrap(true);
  QFont f = caption->font();
  f.setBold(true);
  caption->setFont(f);
  auto* frame = new QFrame(group);
  frame->setObjectName(QString(name) + "Inner");
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Sunken);
  frame->setGeometry(0, 51, w, innerH);
  frame->setAutoFillBackground(true);
  frame->setBackgroundRole(QPalette::Button);  // the faces are drawn on the button face
  inner = frame;
  return group;
}

QFrame* MakeSelectionFrame(QWidget* parent, const char* name, const QColor& color) {
  auto* f = new QFrame(parent);
  f->setObjectName(name);
  f->setStyleSheet(QString("QFrame#%1 { border: 2px dotted %2; background: transparent; }").arg(name, color.name()));
  f->setAttribute(Qt::WA_TransparentForMouseEvents);
  f->hide();
  return f;
}

}  // namespace

void TF_DirView::LoadArtwork() {
  LoadArt(*shapeMasks_, "browser-shape-masks.png");
  LoadArt(*shapeBkg_, "browser-shape-bkg.png");
  LoadArt(*bordersPic_, "browser-borders.png");
  LoadArt(*mixPic_, "browser-mix.png");
  LoadArt(*rotationPic_, "browser-rotation.png");
  LoadArt(*fitPic_, "browser-fit.png");
  LoadArt(*model_.SaveIcon, "browser-save-icon.png");
  CreateDib24(*previewDib_, kPreviewCellW, kPreviewCellH);
}

void TF_DirView::BuildLevelPage() {
  if (!layoutPending_) return;
  layoutPending_ = false;
  P_LevelCenter = new QWidget(TS_Level);
  P_LevelCenter->setObjectName("P_LevelCenter");
  P_LevelCenter->setGeometry(0, 0, 726, 550);

  // First row: thumbnail, piece size, shapes. The shape grid fixes the row's height.
  constexpr int kShapeW = 61, kShapeH = 63;
  const int shapesInnerW = 28 + 2 * kShapeW + 19 + 28;
  const int shapesInnerH = 16 + 4 * kShapeH + 3 * 8 + 16;
  const int thumbW = 236, sizeW = 196;
  const int thumbX = 16, sizeX = thumbX + thumbW + 24, shapesX = sizeX + sizeW + 16;
  QWidget* thumbInner = nullptr;
  P_Thumb = MakeGroup(P_LevelCenter, "P_Thumb", "L_Thumb", L_Thumb, thumbInner, thumbX, 8, thumbW, shapesInnerH);
  I_Thumb = new TDirViewImage(thumbInner);
  I_Thumb->setObjectName("I_Thumb");
  I_Thumb->setGeometry(8, 8, thumbW - 16, shapesInnerH - 16);
  L_Comment = new QLabel(thumbInner);
  L_Comment->setObjectName("L_Comment");
  L_Comment->setGeometry(8, 8, thumbW - 16, shapesInnerH - 16);
  L_Comment->setAlignment(Qt::AlignCenter);
  L_Comment->setWordWrap(true);
  L_Comment->hide();

  P_PieceSize = MakeGroup(P_LevelCenter, "P_PieceSize", "L_PieceSize", L_PieceSize, P_PieceSizeImage, sizeX, 8, sizeW,
                          shapesInnerH);
  P_PieceSizeImage->setObjectName("P_PieceSizeImage");
  I_PieceSize = new TDirViewImage(P_PieceSizeImage);
  I_PieceSize->setObjectName("I_PieceSize");
  I_PieceSize->setAttribute(Qt::WA_TransparentForMouseEvents);
  SB_PieceSize = new QScrollBar(Qt::Horizontal, P_PieceSizeImage);
  SB_PieceSize->setObjectName("SB_PieceSize");
  SB_PieceSize->setRange(0, kLevelCount - 1);
  SB_PieceSize->setPageStep(1);
  SB_PieceSize->setGeometry(12, shapesInnerH - 16 - 18, sizeW - 24, 18);
  connect(SB_PieceSize, &QScrollBar::valueChanged, this, [this](int v) {
    SetOkEnabled(ChooseLevel(model_.Page, session_.Game.CurrentLevel, session_.Game.DefaultLevel, v));
    DrawPieceSizePreview();
  });

  P_Shapes =
      MakeGroup(P_LevelCenter, "P_Shapes", "L_Shapes", L_Shapes, P_ShapesInner, shapesX, 8, shapesInnerW, shapesInnerH);
  B_SelShape = MakeSelectionFrame(P_ShapesInner, "B_SelShape", QColor(0, 0, 0));
  const int row2 = 8 + 51 + shapesInnerH + 30;
  const int smallInnerH = 16 + 50 + 16;
  const int smallW = 14 + 2 * 50 + 12 + 14;
  int x = thumbX;
  P_Borders =
      MakeGroup(P_LevelCenter, "P_Borders", "L_Borders", L_Borders, P_BordersInner, x, row2, smallW, smallInnerH);
  B_SelBorder = MakeSelectionFrame(P_BordersInner, "B_SelBorder", QColor(255, 128, 0));
  x += smallW + 32;
  P_Mix = MakeGroup(P_LevelCenter, "P_Mix", "L_Mix", L_Mix, P_MixInner, x, row2, smallW, smallInnerH);
  B_SelMix = MakeSelectionFrame(P_MixInner, "B_SelMix", QColor(0, 0, 0));
  x += smallW + 32;
  P_Rotation =
      MakeGroup(P_LevelCenter, "P_Rotation", "L_Rotation", L_Rotation, P_RotationInner, x, row2, 150, smallInnerH);
  B_SelRotation = MakeSelectionFrame(P_RotationInner, "B_SelRotation", QColor(0, 0, 0));
  x += 150 + 32;
  P_FitToScreen = MakeGroup(P_LevelCenter, "P_FitToScreen", "L_FitToScreen", L_FitToScreen, P_FitToScreenInner, x, row2,
                            150, smallInnerH);
  B_SelFitToScreen = MakeSelectionFrame(P_FitToScreenInner, "B_SelFitToScreen", QColor(0, 0, 0));

  // The option images and their strips.
  std::vector<TDibHolder> shapeFaces(kShapeCount);
  std::vector<const TDibImage*> faces;
  for (int i = 0; i < kShapeCount; ++i) {
    CreateDib24(*shapeFaces[size_t(i)], kShapeW, kShapeH);
    DrawShapePreview(*shapeFaces[size_t(i)], 48, i, *shapeMasks_, *shapeBkg_, buttonFaceColor_);
    faces.push_back(&*shapeFaces[size_t(i)]);
  }
  MakeStrip(*shapeStrip_, faces, kShapeW, kShapeH, buttonFaceColor_, kShapeKey);
  auto cells = [](const TDibImage& pic, int count, std::vector<TDibHolder>& out, std::vector<const TDibImage*>& ptrs) {
    out = std::vector<TDibHolder>(size_t(count));
    ptrs.clear();
    for (int i = 0; i < count; ++i) {
      CreateDib24(*out[size_t(i)], 50, 50);
      FillDibRect(*out[size_t(i)], 0, 0, 50, 50, 0xFFFFFF);
      if (pic.Width > 0) BlitDib(*out[size_t(i)], 0, 0, 50, 50, pic, 51 * i, 0);
      ptrs.push_back(&*out[size_t(i)]);
    }
  };
  std::vector<TDibHolder> borderFaces, mixFaces;
  cells(*bordersPic_, kBorderCount, borderFaces, faces);
  MakeStrip(*borderStrip_, faces, 50, 50, buttonFaceColor_, kWhiteKey);
  cells(*mixPic_, kMixCount, mixFaces, faces);
  MakeStrip(*mixStrip_, faces, 50, 50, buttonFaceColor_, kWhiteKey);
  if (rotationPic_->Width > 0)
    MakeStrip(*rotationStrip_, {&*rotationPic_}, rotationPic_->Width, rotationPic_->Height, buttonFaceColor_,
              kWhiteKey);
  if (fitPic_->Width > 0)
    MakeStrip(*fitStrip_, {&*fitPic_}, fitPic_->Width, fitPic_->Height, buttonFaceColor_, kWhiteKey);

  auto makeImage = [this](QWidget* parent, const QString& name, int tag, int left, int top, int w, int h) {
    auto* img = new TDirViewImage(parent);
    img->setObjectName(name);
    img->Tag = tag;
    img->setGeometry(left, top, w, h);
    img->installEventFilter(this);
    img->setCursor(Qt::PointingHandCursor);
    return img;
  };
  for (int i = 0; i < kShapeCount; ++i)
    ShapeImages.push_back(makeImage(P_ShapesInner, QString("%1%2").arg(kShapeImages).arg(i), i,
                                    28 + (i / 4) * (kShapeW + 19), 16 + (i % 4) * (kShapeH + 8), kShapeW, kShapeH));
  for (int i = 0; i < kBorderCount; ++i)
    BorderImages.push_back(
        makeImage(P_BordersInner, QString("%1%2").arg(kBorderImages).arg(i), i, 14 + i * 62, 16, 50, 50));
  for (int i = 0; i < kMixCount; ++i)
    MixImages.push_back(makeImage(P_MixInner, QString("%1%2").arg(kMixImages).arg(i), i, 14 + i * 62, 16, 50, 50));
  const int rw = std::max(rotationPic_->Width, 1), rh = std::max(rotationPic_->Height, 1);
  I_Rotation = makeImage(P_RotationInner, "I_Rotation", 0, (150 - rw) / 2, (smallInnerH - rh) / 2, rw, rh);
  const int fw = std::max(fitPic_->Width, 1), fh = std::max(fitPic_->Height, 1);
  I_FitToScreen = makeImage(P_FitToScreenInner, "I_FitToScreen", 0, (150 - fw) / 2, (smallInnerH - fh) / 2, fw, fh);
  for (QWidget* w : {static_cast<QWidget*>(P_Rotation), static_cast<QWidget*>(L_Rotation), P_RotationInner,
                     static_cast<QWidget*>(P_FitToScreen), static_cast<QWidget*>(L_FitToScreen), P_FitToScreenInner})
    w->installEventFilter(this);
  levelPageEnabled_ = false;  // forces the first refill
  SetLevelPageEnabled(true);
}

void TF_DirView::ShowThumbPicture(bool savedGame) {
  // The preview fitted into the thumbnail box on the button face.
  const QImage pic = ToQImage(*model_.PreviewCopy);
  const QSize box = I_Thumb->parentWidget()->size() - QSize(16, 16);
  QImage canvas(box, QImage::Format_RGB888);
  canvas.fill(ColorOf(buttonFaceColor_));
  if (!pic.isNull()) {
    const QImage fitted = pic.width() > box.width() || pic.height() > box.height()
                              ? pic.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                              : pic;
    QPainter p(&canvas);
    const QPoint at((box.width() - fitted.width()) / 2, (box.height() - fitted.height()) / 2);
    p.drawImage(at, fitted);
    if (savedGame && model_.SaveIcon->Width > 0) {
      QImage icon = ToQImage(*model_.SaveIcon).convertToFormat(QImage::Format_ARGB32);
      for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
          if ((icon.pixel(x, y) & 0xFFFFFF) == 0xFF00FF) icon.setPixel(x, y, 0);
      p.drawImage(QPoint(std::max(at.x() - 1, 0), std::max(at.y() - 1, 0)), icon);
    }
  }
  I_Thumb->setGeometry(8, 8, box.width(), box.height());
  I_Thumb->SetImage(canvas);
}

void TF_DirView::CenterLevelPage() {
  if (P_LevelCenter) P_LevelCenter->setGeometry((TS_Level->width() - 726) / 2, 0, 726, 550);
}

void TF_DirView::SetOkEnabled(std::optional<bool> enabled) {
  if (enabled) B_Ok->setEnabled(*enabled);
  UpdatePieceCountShown();
}

bool TF_DirView::UpdatePieceCountShown() {
  // The count is computed by the choice itself; here it is shown.
  const TLevelRecord& cur = session_.Game.CurrentLevel;
  L_PieceSize->setText(
      QString::fromStdString(WideFormat(Text(kLangLoadSave, "L_PieceNum"), {int64_t(cur.TotalTileNum)})));
  DrawPieceSizePreview();
  MoveSelections();
  return cur.TotalTileNum <= kMaxPieceCount;
}

void TF_DirView::ApplyLevelRecordToControls(const TLevelRecord& record) {
  ApplyLevelRecord(model_.Page, record);
  SB_PieceSize->blockSignals(true);
  SB_PieceSize->setValue(model_.Page.Position);
  SB_PieceSize->blockSignals(false);
  if (model_.Page.SelectedKind == kSelectedJigsaw) UpdatePieceCount(model_.Page, session_.Game.CurrentLevel);
  ShowRotationState();
  ShowFitToScreenState();
  L_Borders->setText(QString::fromStdString(borderNames_[size_t(model_.Page.BorderIndex)]));
  L_Shapes->setText(QString::fromStdString(shapeNames_[size_t(model_.Page.ShapeIndex)]));
  L_Mix->setText(QString::fromStdString(model_.Page.MixIndex == 0 ? mixRandomText_ : mixSpreadOutText_));
  MoveSelections();
  DrawPieceSizePreview();
}

void TF_DirView::DrawPieceSizePreview() {
  const int32_t size = PreviewPieceSize(model_.Page);
  DrawShapePreview(*previewDib_, size, model_.Page.ShapeIndex, *shapeMasks_, *shapeBkg_, buttonFaceColor_);
  I_PieceSize->SetImage(ToQImage(*previewDib_));
  int w = size * kPreviewCellW / 128, h = size * kPreviewCellH / 128;
  const int ox = (P_PieceSizeImage->width() - kPreviewCellW) / 2;
  const int oy = (P_PieceSizeImage->height() - 34 - kPreviewCellH) / 2;
  if (w > kPreviewCellW || h > kPreviewCellH) {
    // A large piece grows past the cell, but never over its panel's sunken frame nor over the
    // scroll bar.
    const QRect inside = P_PieceSizeImage->contentsRect();
    const QRect room(inside.left(), inside.top(), inside.width(), SB_PieceSize->y() - inside.top());
    if (w > room.width() || h > room.height()) {
      const double fit = std::min(double(room.width()) / w, double(room.height()) / h);
      w = int(w * fit);
      h = int(h * fit);
    }
    QRect bounds(ox + (kPreviewCellW - w) / 2, oy + (kPreviewCellH - h) / 2, w, h);
    bounds.moveLeft(std::clamp(bounds.left(), room.left(), room.left() + room.width() - w));
    bounds.moveTop(std::clamp(bounds.top(), room.top(), room.top() + room.height() - h));
    I_PieceSize->setGeometry(bounds);
  } else {
    I_PieceSize->setGeometry(ox, oy, kPreviewCellW, kPreviewCellH);
  }
  I_PieceSize->lower();
}

void TF_DirView::SetLevelPageEnabled(bool enabled) {
  SB_PieceSize->setEnabled(enabled);
  if (enabled == levelPageEnabled_ && !ShapeImages.empty() && !ShapeImages[0]->Image().isNull()) return;
  levelPageEnabled_ = enabled;
  for (QWidget* g : {P_Shapes, P_Borders, P_Mix, P_Rotation, P_FitToScreen}) g->setEnabled(enabled);
  for (size_t i = 0; i < ShapeImages.size(); ++i)
    ShapeImages[i]->SetImage(StripCell(*shapeStrip_, int32_t(i), 61, 63, enabled));
  for (size_t i = 0; i < BorderImages.size(); ++i)
    BorderImages[i]->SetImage(StripCell(*borderStrip_, int32_t(i), 50, 50, enabled));
  for (size_t i = 0; i < MixImages.size(); ++i)
    MixImages[i]->SetImage(StripCell(*mixStrip_, int32_t(i), 50, 50, enabled));
  I_Rotation->SetImage(StripCell(*rotationStrip_, 0, rotationPic_->Width, rotationPic_->Height, enabled));
  I_FitToScreen->SetImage(StripCell(*fitStrip_, 0, fitPic_->Width, fitPic_->Height, enabled));
}

void TF_DirView::SetThumbVisible(bool visible) {
  I_Thumb->setVisible(visible);
  P_PieceSize->setVisible(visible);
}

void TF_DirView::ShowThumbComment(const std::string& text, bool show) {
  L_Comment->setText(QString::fromStdString(text));
  L_Comment->setVisible(show);
  if (!show) L_Thumb->clear();
  I_Thumb->setVisible(!show);
}

void TF_DirView::ShowRotationState() {
  L_Rotation->setText(QString::fromStdString(model_.Page.RotateFlag ? rotateOnText_ : rotateOffText_));
  B_SelRotation->setGeometry(I_Rotation->geometry().adjusted(-4, -4, 4, 4));
  B_SelRotation->setVisible(model_.Page.RotateFlag);
}

void TF_DirView::ShowFitToScreenState() {
  L_FitToScreen->setText(QString::fromStdString(model_.Page.FitToScreenFlag ? fitOnText_ : fitOffText_));
  B_SelFitToScreen->setGeometry(I_FitToScreen->geometry().adjusted(-4, -4, 4, 4));
  B_SelFitToScreen->setVisible(model_.Page.FitToScreenFlag);
}

void TF_DirView::MoveSelections() {
  auto move = [](QFrame* frame, const std::vector<TDirViewImage*>& images, int32_t index) {
    if (images.empty()) return;
    frame->setGeometry(
        images[size_t(std::clamp<int32_t>(index, 0, int32_t(images.size()) - 1))]->geometry().adjusted(-4, -4, 4, 4));
    frame->show();
    frame->raise();
  };
  move(B_SelShape, ShapeImages, model_.Page.ShapeIndex);
  move(B_SelBorder, BorderImages, model_.Page.BorderIndex);
  move(B_SelMix, MixImages, model_.Page.MixIndex);
}

void TF_DirView::OptionClicked(QObject* source) {
  // A greyed page shows a saved game's choices: presses change nothing.
  if (!levelPageEnabled_) return;
  TLevelRecord& cur = session_.Game.CurrentLevel;
  TLevelRecord& def = session_.Game.DefaultLevel;
  TLevelPage& page = model_.Page;
  auto* image = dynamic_cast<TDirViewImage*>(source);
  if (image && std::find(ShapeImages.begin(), ShapeImages.end(), image) != ShapeImages.end()) {
    SetOkEnabled(ChooseShape(page, cur, def, image->Tag));
    L_Shapes->setText(QString::fromStdString(shapeNames_[size_t(page.ShapeIndex)]));
  } else if (image && std::find(BorderImages.begin(), BorderImages.end(), image) != BorderImages.end()) {
    SetOkEnabled(ChooseBorder(page, cur, def, image->Tag));
    L_Borders->setText(QString::fromStdString(borderNames_[size_t(page.BorderIndex)]));
  } else if (image && std::find(MixImages.begin(), MixImages.end(), image) != MixImages.end()) {
    ChooseMix(page, cur, def, image->Tag);
    MoveSelections();
    L_Mix->setText(QString::fromStdString(page.MixIndex == 0 ? mixRandomText_ : mixSpreadOutText_));
  } else if (source == I_Rotation || source == P_Rotation || source == L_Rotation || source == P_RotationInner) {
    ToggleRotation(page, cur, def);
    ShowRotationState();
  } else if (source == I_FitToScreen || source == P_FitToScreen || source == L_FitToScreen ||
             source == P_FitToScreenInner) {
    SetOkEnabled(ToggleFitToScreen(page, cur, def));
    ShowFitToScreenState();
  }
}
