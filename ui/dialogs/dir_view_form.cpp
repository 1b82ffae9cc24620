#include "ui/dialogs/dir_view_form.h"

#include "ui/dialogs/form_images.h"
#include "ui/dialogs/form_texts.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"
#include "foundation/text_format.h"
#include "game/game_paths.h"
#include "game/jigsaw_file.h"
#include "platform/message_box.h"
#include "platform/resources.h"

namespace {

constexpr int kImageRole = Qt::UserRole;
constexpr uint32_t kSelectionColor = 0xFF8000;  // RGB(0, 128, 255)
constexpr uint32_t kShapeKey = 0xFF00FF;
constexpr uint32_t kWhiteKey = 0xFFFFFF;
constexpr int kItemCellW = 196, kItemCellH = 151;

QColor ColorOf(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
uint32_t ColorRef(const QColor& c) { return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16; }

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

bool IsFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::string Stem(const std::string& path) { return std::filesystem::path(path).stem().string(); }

}  // namespace

QString FitCaption(const QFontMetricsF& fm, const QString& caption, int width) {
  // Eliding against the caption's own rounded advance cut names that fit by a fraction of a
  // pixel; only the room in the cell decides.
  return fm.elidedText(caption, Qt::ElideRight, qreal(width));
}

namespace {

// Draws the owner-drawn list items: the thumbnail, the caption below it, and for a selected
// item two frames in the selection colour.
class TThumbDelegate : public QStyledItemDelegate {
 public:
  TThumbDelegate(TF_DirView& form, QObject* parent) : QStyledItemDelegate(parent), form_(form) {}
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return QSize(kItemCellW, kItemCellH + 24);
  }
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
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

 private:
  TF_DirView& form_;
};

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
QWidget* MakeGroup(QWidget* parent, const char* name, const char* captionName, QLabel*& caption, QWidget*& inner,
                   int x, int y, int w, int innerH) {
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

TF_DirView::TF_DirView(TDirViewEnv env, QWidget* parent)
    : QDialog(parent), env_(std::move(env)), session_(*env_.Session), model_(*env_.Session) {
  setObjectName("F_DirView");
  setWindowTitle(QString::fromUtf8(kProgramTitle));
  buttonFaceColor_ = ColorRef(palette().color(QPalette::Button));
  LoadArtwork();
  BuildControls();
  T_AddItem.setInterval(100);
  T_AddItem.setSingleShot(true);
  connect(&T_AddItem, &QTimer::timeout, this, [this] { T_AddItemTimer(); });
  model_.Page.SelectedKind = kSelectedNone;
  BuildLevelPage();
  ApplyLevelRecordToControls(session_.Game.DefaultLevel);
  if (env_.Lang) TextsChanged();
  ShowLabelsAsText(this);
}

TF_DirView::~TF_DirView() { T_AddItem.stop(); }

std::string TF_DirView::Text(int32_t section, const char* key) const {
  if (!env_.Lang) return key;
  return GetLangText(*env_.Lang, section, key);
}

void TF_DirView::Warn(const std::string& text) const { ShowMessageBox(text, kProgramTitle, kMbIconExclamation); }

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

void TF_DirView::BuildControls() {
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  P_Form = new QWidget(this);
  P_Form->setObjectName("P_Form");
  outer->addWidget(P_Form);
  auto* row = new QHBoxLayout(P_Form);
  row->setContentsMargins(10, 10, 10, 10);
  row->setSpacing(10);

  PC_Pages = new QTabWidget(P_Form);
  PC_Pages->setObjectName("PC_Pages");
  PC_Pages->setMinimumSize(734, 584);
  row->addWidget(PC_Pages, 1);

  auto makeList = [this](QWidget* page, const char* name) {
    auto* list = new QListWidget(page);
    list->setObjectName(name);
    list->setViewMode(QListView::IconMode);
    list->setResizeMode(QListView::Adjust);
    list->setMovement(QListView::Static);
    list->setUniformItemSizes(true);
    list->setGridSize(QSize(kItemCellW, kItemCellH + 24));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setItemDelegate(new TThumbDelegate(*this, list));
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    return list;
  };
  TS_Jigs = new QWidget;
  TS_Jigs->setObjectName("TS_Jigs");
  auto* jl = new QVBoxLayout(TS_Jigs);
  jl->setContentsMargins(4, 4, 4, 4);
  LV_Jigs = makeList(TS_Jigs, "LV_Jigs");
  jl->addWidget(LV_Jigs);

  TS_Games = new QWidget;
  TS_Games->setObjectName("TS_Games");
  auto* gl = new QVBoxLayout(TS_Games);
  gl->setContentsMargins(4, 4, 4, 4);
  LV_Games = makeList(TS_Games, "LV_Games");
  gl->addWidget(LV_Games, 1);
  P_FileName = new QWidget(TS_Games);
  P_FileName->setObjectName("P_FileName");
  auto* fl = new QHBoxLayout(P_FileName);
  fl->setContentsMargins(4, 6, 4, 2);
  L_FileNameCap = new QLabel(P_FileName);
  L_FileNameCap->setObjectName("L_FileNameCap");
  E_FileName = new QLineEdit(P_FileName);
  E_FileName->setObjectName("E_FileName");
  L_FileNameCap->setBuddy(E_FileName);
  fl->addWidget(L_FileNameCap);
  fl->addWidget(E_FileName, 1);
  gl->addWidget(P_FileName);
  connect(E_FileName, &QLineEdit::returnPressed, this, [this] { B_OkClick(); });

  TS_Level = new QWidget;
  TS_Level->setObjectName("TS_Level");
  TS_Level->installEventFilter(this);
  PC_Pages->addTab(TS_Jigs, "TS_Jigs");
  PC_Pages->addTab(TS_Games, "TS_Games");
  PC_Pages->addTab(TS_Level, "TS_Level");
  connect(PC_Pages, &QTabWidget::currentChanged, this, [this] {
    if (formReady_) PC_PagesChange();
  });

  P_ButBar = new QWidget(P_Form);
  P_ButBar->setObjectName("P_ButBar");
  P_ButBar->installEventFilter(this);
  P_ButBar->setFixedWidth(120);
  auto* bl = new QVBoxLayout(P_ButBar);
  bl->setContentsMargins(0, 24, 0, 0);
  bl->setSpacing(8);
  auto makeButton = [&](const char* name, int height) {
    auto* b = new QPushButton(P_ButBar);
    b->setObjectName(name);
    b->setText(name);
    b->setAutoDefault(false);
    b->setMinimumHeight(height);
    bl->addWidget(b);
    return b;
  };
  B_Ok = makeButton("B_Ok", 34);
  B_Cancel = makeButton("B_Cancel", 34);
  bl->addSpacing(16);
  B_Extra = makeButton("B_Extra", 48);
  B_Help = makeButton("B_Help", 30);
  B_Help->setText("?");
  bl->addStretch(1);
  P_Seed = new QWidget(P_ButBar);
  P_Seed->setObjectName("P_Seed");
  auto* sl = new QVBoxLayout(P_Seed);
  sl->setContentsMargins(0, 0, 0, 0);
  L_Seed = new QLabel("Seed:", P_Seed);
  L_Seed->setObjectName("L_Seed");
  E_Seed = new QLineEdit(P_Seed);
  E_Seed->setObjectName("E_Seed");
  sl->addWidget(L_Seed);
  sl->addWidget(E_Seed);
  bl->addWidget(P_Seed);
  P_Seed->hide();
  connect(E_Seed, &QLineEdit::textChanged, this, [this](const QString& t) { model_.SeedText = t.toStdString(); });
  row->addWidget(P_ButBar);

  connect(B_Ok, &QPushButton::clicked, this, [this] { B_OkClick(); });
  connect(B_Cancel, &QPushButton::clicked, this, [this] { B_CancelClick(); });
  connect(B_Help, &QPushButton::clicked, this, [this] { B_HelpClick(); });
  connect(B_Extra, &QPushButton::clicked, this, [this] { B_ExtraClick(); });

  auto makeMenu = [this](const char* name, QAction*& open, QAction*& del, QAction*& delAll, const char* prefix) {
    auto* menu = new QMenu(this);
    menu->setObjectName(name);
    open = menu->addAction(QString(prefix) + "Open");
    del = menu->addAction(QString(prefix) + "Del");
    delAll = menu->addAction(QString(prefix) + "DelAll");
    open->setObjectName(QString(prefix) + "Open");
    del->setObjectName(QString(prefix) + "Del");
    delAll->setObjectName(QString(prefix) + "DelAll");
    return menu;
  };
  PM_Jigs = makeMenu("PM_Jigs", PMI_JigsOpen, PMI_JigsDel, PMI_JigsDelAll, "PMI_Jigs");
  PM_Games = makeMenu("PM_Games", PMI_GamesOpen, PMI_GamesDel, PMI_GamesDelAll, "PMI_Games");
  connect(PMI_JigsOpen, &QAction::triggered, this, [this] { B_OkClick(); });
  connect(PMI_GamesOpen, &QAction::triggered, this, [this] { B_OkClick(); });
  connect(PMI_JigsDel, &QAction::triggered, this, [this] { DeleteSelected(kPageJigs); });
  connect(PMI_GamesDel, &QAction::triggered, this, [this] { DeleteSelected(kPageGames); });
  connect(PMI_JigsDelAll, &QAction::triggered, this, [this] { DeleteAll(kPageJigs); });
  connect(PMI_GamesDelAll, &QAction::triggered, this, [this] { DeleteAll(kPageGames); });
  connect(LV_Jigs, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    PMI_JigsOpen->setEnabled(!LV_Jigs->selectedItems().isEmpty());
    PMI_JigsDel->setEnabled(!LV_Jigs->selectedItems().isEmpty());
    PM_Jigs->popup(LV_Jigs->viewport()->mapToGlobal(p));
  });
  connect(LV_Games, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    PMI_GamesOpen->setEnabled(!LV_Games->selectedItems().isEmpty());
    PMI_GamesDel->setEnabled(!LV_Games->selectedItems().isEmpty());
    PMI_GamesDelAll->setEnabled(LV_Games->count() > 0);
    PM_Games->popup(LV_Games->viewport()->mapToGlobal(p));
  });
  setTabOrder(PC_Pages, B_Ok);
  setTabOrder(B_Ok, B_Cancel);
  setTabOrder(B_Cancel, B_Extra);
  setTabOrder(B_Extra, B_Help);
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

  P_Shapes = MakeGroup(P_LevelCenter, "P_Shapes", "L_Shapes", L_Shapes, P_ShapesInner, shapesX, 8, shapesInnerW,
                       shapesInnerH);
  B_SelShape = MakeSelectionFrame(P_ShapesInner, "B_SelShape", QColor(0, 0, 0));
  const int row2 = 8 + 51 + shapesInnerH + 30;
  const int smallInnerH = 16 + 50 + 16;
  const int smallW = 14 + 2 * 50 + 12 + 14;
  int x = thumbX;
  P_Borders = MakeGroup(P_LevelCenter, "P_Borders", "L_Borders", L_Borders, P_BordersInner, x, row2, smallW, smallInnerH);
  B_SelBorder = MakeSelectionFrame(P_BordersInner, "B_SelBorder", QColor(255, 128, 0));
  x += smallW + 32;
  P_Mix = MakeGroup(P_LevelCenter, "P_Mix", "L_Mix", L_Mix, P_MixInner, x, row2, smallW, smallInnerH);
  B_SelMix = MakeSelectionFrame(P_MixInner, "B_SelMix", QColor(0, 0, 0));
  x += smallW + 32;
  P_Rotation = MakeGroup(P_LevelCenter, "P_Rotation", "L_Rotation", L_Rotation, P_RotationInner, x, row2, 150,
                         smallInnerH);
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
    MakeStrip(*rotationStrip_, {&*rotationPic_}, rotationPic_->Width, rotationPic_->Height, buttonFaceColor_, kWhiteKey);
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
    BorderImages.push_back(makeImage(P_BordersInner, QString("%1%2").arg(kBorderImages).arg(i), i, 14 + i * 62, 16, 50, 50));
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

// --- Activation and the lists ---------------------------------------------------------------

void TF_DirView::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  FitToForm();
  FormActivate();
}

void TF_DirView::FitToForm() {
  // At least four fifths of the screen area, centred in it.
  QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const QSize hint = sizeHint().expandedTo(QSize(905, 534));
  const QSize size(std::max(hint.width(), area.width() * 4 / 5), std::max(hint.height(), area.height() * 4 / 5));
  resize(size.boundedTo(area.size()).expandedTo(minimumSizeHint()));
  move(area.center() - rect().center());
}

void TF_DirView::FormActivate() {
  TGameSession& s = session_;
  model_.Page.SelectedKind = kSelectedNone;
  formReady_ = false;
  if (!IsFile(model_.ResultPath)) model_.ResultPath.clear();
  const bool isGame = LowerExtension(model_.ResultPath) == kSavedGameExtension;
  const bool save = model_.BrowseMode == kBrowseSave;
  PC_Pages->blockSignals(true);
  PC_Pages->setTabVisible(0, !save);
  PC_Pages->setTabVisible(2, !save);
  if (save)
    PC_Pages->setCurrentWidget(TS_Games);
  else if (!model_.ResultPath.empty() && !isGame && s.Game.GameLoaded)
    PC_Pages->setCurrentWidget(TS_Level);
  else
    PC_Pages->setCurrentWidget(isGame ? TS_Games : TS_Jigs);
  PC_Pages->blockSignals(false);
  B_Extra->setVisible(!save);
  PC_PagesChange();
  ShowThumbComment("", false);
  if (!save) {
    setWindowTitle(QString::fromStdString(Text(kLangLoadSave, "Cap_Load")));
    FillFileLists();
    if (!s.Game.GameLoaded) {
      SetLevelPageEnabled(false);
      SetThumbVisible(false);
    }
    SelectFile(true);
  } else {
    setWindowTitle(QString::fromStdString(Text(kLangLoadSave, "Cap_Save")));
    FillFileLists();
    const std::string name = !s.sSolve.empty() ? Stem(s.sSolve) : Stem(s.sJig);
    E_FileName->setText(QString::fromStdString(name));
    L_PieceSize->setText(QString::fromStdString(
        WideFormat(Text(kLangLoadSave, "L_PieceNum"), {int64_t(s.Game.GameLevel.TotalTileNum)})));
    FreeDib(*model_.PreviewCopy);
    const TDibImage& stored = *s.StoreThumb.Picture;
    if (stored.Width > 0 && CreateDib24(*model_.PreviewCopy, stored.Width, stored.Height))
      BlitDib(*model_.PreviewCopy, 0, 0, stored.Width, stored.Height, stored, 0, 0);
    ShowThumbPicture(true);
    // Saving needs no file to be read first: a name is enough.
    B_Ok->setEnabled(true);
    SetLevelPageEnabled(false);
    SetThumbVisible(true);
  }
  P_FileName->setVisible(save);
  if (save && PC_Pages->currentWidget() == TS_Games) {
    E_FileName->setFocus();
    E_FileName->selectAll();
  }
  formReady_ = true;
  LV_Jigs->viewport()->update();
  LV_Games->viewport()->update();
  if (layoutPending_ == false && isVisible()) CenterLevelPage();
}

void TF_DirView::PC_PagesChange() {
  const TGamePaths& p = session_.Paths;
  model_.CurrentFolder = PC_Pages->currentWidget() == TS_Games ? p.sSavedDir : p.sJigsawDir;
  UpdateOkCaption();
}

void TF_DirView::UpdateOkCaption() {
  const QWidget* cur = PC_Pages->currentWidget();
  const TBrowserPage page = cur == TS_Jigs ? kPageJigs : cur == TS_Games ? kPageGames : kPageLevel;
  const std::string path = SelectedPath();
  B_Ok->setText(QString::fromStdString(Text(kLangLoadSave, OkCaptionKey(model_.BrowseMode, page, path))));
}

std::string TF_DirView::SelectedPath() {
  std::string text = E_FileName->text().toStdString();
  const std::string path = ::SelectedPath(model_, text);
  E_FileName->setText(QString::fromStdString(text));
  return path;
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
    E_FileName->setText(list->item(found.Index)->text() + (found.Page == kPageGames ? kSavedGameExtension : JigsawExtension));
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

bool TF_DirView::SelectFile(bool updateOk) {
  if (updateOk) B_Ok->setEnabled(false);
  ShowThumbComment("", false);
  if (updateOk) UpdateOkCaption();
  const std::string path = SelectedPath();
  const TSelection sel = ReadSelectedFile(model_, path);
  if (!sel.Exists) {
    SetLevelPageEnabled(false);
    SetThumbVisible(false);
    L_Thumb->clear();
    return false;
  }
  if (sel.Valid) {
    const bool game = model_.Page.SelectedKind == kSelectedGame;
    ShowThumbPicture(game);
    ApplyLevelRecordToControls(game ? session_.Game.CurrentLevel : session_.Game.DefaultLevel);
    UpdatePieceCountShown();
    SetThumbVisible(true);
    SetLevelPageEnabled(!game);
    L_Thumb->setText(QString::fromStdString(Stem(path)));
  } else {
    ShowThumbComment(kInvalidJigsawText, true);
    SetLevelPageEnabled(false);
    SetThumbVisible(false);
    L_Thumb->clear();
  }
  if (updateOk) B_Ok->setEnabled(sel.CanOpen);
  return sel.CanOpen;
}

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

bool TF_DirView::eventFilter(QObject* watched, QEvent* event) {
  for (QListWidget* list : {LV_Jigs, LV_Games}) {
    if (watched == list->viewport()) {
      if (event->type() == QEvent::MouseButtonRelease) {
        QTimer::singleShot(0, this, [this, list] { ListClick(list); });
      } else if (event->type() == QEvent::MouseButtonDblClick) {
        QTimer::singleShot(0, this, [this, list] {
          ListClick(list);
          B_OkClick();
        });
        return true;
      }
    } else if (watched == list && event->type() == QEvent::KeyRelease) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Delete) {
        DeleteSelected(PC_Pages->currentWidget() == TS_Games ? kPageGames : kPageJigs);
      } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        ListClick(list);
        B_OkClick();
      } else {
        ListClick(list);
      }
      return true;
    } else if (watched == list && event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;  // acts on release
    }
  }
  if (watched == P_ButBar && event->type() == QEvent::MouseButtonPress) {
    if (static_cast<QMouseEvent*>(event)->modifiers() & Qt::ControlModifier) {
      P_Seed->setVisible(!P_Seed->isVisible());
      model_.SeedPanelVisible = P_Seed->isVisible();
    }
    return false;
  }
  if (watched == TS_Level && event->type() == QEvent::Resize) {
    CenterLevelPage();
    return false;
  }
  if (event->type() == QEvent::MouseButtonPress) {
    OptionClicked(watched);
    return false;
  }
  return QDialog::eventFilter(watched, event);
}

void TF_DirView::CenterLevelPage() {
  if (P_LevelCenter) P_LevelCenter->setGeometry((TS_Level->width() - 726) / 2, 0, 726, 550);
}

// --- OK, Cancel, help, downloads ------------------------------------------------------------

void TF_DirView::B_OkClick() {
  const bool load = model_.BrowseMode == kBrowseLoad;
  std::string text(TrimLangText(E_FileName->text().toStdString()));
  if (load && PC_Pages->currentWidget() != TS_Level && LowerExtension(text) != kSavedGameExtension) {
    PC_Pages->setCurrentWidget(TS_Level);  // a jigsaw always passes the level page
    return;
  }
  if (E_FileName->text().isEmpty()) return;
  if (!load) {
    const TNameCheck check = CheckSavedGameName(text);
    E_FileName->setText(QString::fromStdString(text));
    if (check == kNameEmpty) {
      Warn(Text(kLangLoadSave, "MS_EnterFileName"));
      return;
    }
    if (check == kNameInvalid) {
      Warn(Text(kLangLoadSave, "MS_InvalidFileName"));
      return;
    }
  }
  model_.ResultPath = SelectedPath();
  if (load) {
    // Read again: the loader may have used I_Load since, and the game opens from what the
    // selection left in CurrentLevel.
    SelectFile(true);
    if (B_Ok->isEnabled()) OpenSelectedFile();
  } else {
    SaveToSelected();
  }
}

void TF_DirView::OpenSelectedFile() {
  const std::string path = SelectedPath();
  if (IsFile(path)) {
    E_Seed->setText(E_Seed->text().trimmed());
    model_.ResultPath = path;
    StopLoader();
    done(1);
  } else {
    Warn(WideFormat(Text(kLangLoadSave, "MS_CantFindFile"), {E_FileName->text().toStdString()}));
  }
}

void TF_DirView::SaveToSelected() {
  const std::string path = SelectedPath();
  if (IsFile(path)) {
    const int answer =
        ShowMessageBox(WideFormat(Text(kLangLoadSave, "Q_OverwriteFile"), {E_FileName->text().toStdString()}),
                       kProgramTitle, kMbOkCancel | kMbIconQuestion);
    if (answer != kIdOk) return;
  }
  model_.ResultPath = path;
  StopLoader();
  done(1);
}

void TF_DirView::B_CancelClick() {
  StopLoader();
  done(2);
}

void TF_DirView::reject() { B_CancelClick(); }

void TF_DirView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    B_HelpClick();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TF_DirView::B_HelpClick() {
  if (env_.ShowHelpTopic) env_.ShowHelpTopic(model_.BrowseMode == kBrowseLoad ? "open.htm" : "save.htm");
}

void TF_DirView::B_ExtraClick() {
  if (!env_.ShowDownload) return;
  StopLoader();
  const std::string first = env_.ShowDownload();
  if (first.empty()) {
    T_AddItem.start();
    return;
  }
  const std::string path = std::filesystem::path(first).replace_extension(JigsawExtension).string();
  if (!IsFile(path)) {
    T_AddItem.start();
    return;
  }
  FillFileLists();
  const std::string caption = Stem(path);
  for (int i = 0; i < LV_Jigs->count(); ++i)
    if (SameAsciiText(LV_Jigs->item(i)->text().toStdString(), caption)) {
      SelectItem(LV_Jigs, i);
      LV_Jigs->scrollToItem(LV_Jigs->item(i));
      SelectFile(true);
      break;
    }
}

// --- Deleting -------------------------------------------------------------------------------

void TF_DirView::DeleteSelected(TBrowserPage page) {
  QListWidget* list = page == kPageGames ? LV_Games : LV_Jigs;
  if (list->selectedItems().isEmpty()) return;
  const std::string caption = list->selectedItems().first()->text().toStdString();
  if (page == kPageJigs && !MayDeleteJigsaw(model_, caption)) {
    Warn(WideFormat(Text(kLangLoadSave, "MS_CantDeleteFile"), {caption}));
    return;
  }
  const std::string path = (page == kPageGames ? session_.Paths.sSavedDir : session_.Paths.sJigsawDir) + caption +
                           (page == kPageGames ? kSavedGameExtension : JigsawExtension);
  if (!IsFile(path)) return;
  if (ShowMessageBox(WideFormat(Text(kLangLoadSave, "Q_DeleteFile"), {caption}), kProgramTitle,
                     kMbOkCancel | kMbIconQuestion) != kIdOk)
    return;
  const int oldRow = list->row(list->selectedItems().first());
  if (!DeleteListedFile(model_, page, path)) {
    Warn(WideFormat(Text(kLangLoadSave, "MS_CantDeleteFile"), {caption + (page == kPageGames ? kSavedGameExtension : JigsawExtension)}));
    return;
  }
  delete list->takeItem(oldRow);
  if (model_.BrowseMode == kBrowseLoad) AfterDeletion(list, std::min(oldRow, list->count() - 1));
}

void TF_DirView::AfterDeletion(QListWidget* list, int32_t row) {
  SelectItem(list, row);
  SelectFile(true);
}

void TF_DirView::DeleteAll(TBrowserPage page) {
  const bool jigs = page == kPageJigs;
  if (ShowMessageBox(Text(kLangLoadSave, jigs ? "Q_DelAllJigs" : "Q_DelAllGames"), kProgramTitle,
                     kMbYesNo | kMbIconQuestion) != kIdYes)
    return;
  QListWidget* list = jigs ? LV_Jigs : LV_Games;
  const std::string folder = jigs ? session_.Paths.sJigsawDir : session_.Paths.sSavedDir;
  const char* ext = jigs ? JigsawExtension : kSavedGameExtension;
  for (const TBrowserItem& item : ListFolder(folder, ext)) {
    if (jigs && !MayDeleteJigsaw(model_, item.Caption)) continue;
    if (!DeleteListedFile(model_, page, folder + item.Caption + ext)) {
      Warn(WideFormat(Text(kLangLoadSave, "MS_CantDeleteFile"), {item.Caption + ext}));
      continue;
    }
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text().toStdString() == item.Caption) delete list->takeItem(i--);
  }
  if (jigs) {
    AfterDeletion(list, list->selectedItems().isEmpty() ? 0 : list->row(list->selectedItems().first()));
  }
}

// --- Level page -----------------------------------------------------------------------------

void TF_DirView::SetOkEnabled(std::optional<bool> enabled) {
  if (enabled) B_Ok->setEnabled(*enabled);
  UpdatePieceCountShown();
}

bool TF_DirView::UpdatePieceCountShown() {
  // The count is computed by the choice itself; here it is shown.
  const TLevelRecord& cur = session_.Game.CurrentLevel;
  L_PieceSize->setText(QString::fromStdString(WideFormat(Text(kLangLoadSave, "L_PieceNum"), {int64_t(cur.TotalTileNum)})));
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
    // A large piece grows past the cell, but never out of its panel nor over the scroll bar.
    const QRect room(0, 0, P_PieceSizeImage->width(), SB_PieceSize->y());
    if (w > room.width() || h > room.height()) {
      const double fit = std::min(double(room.width()) / w, double(room.height()) / h);
      w = int(w * fit);
      h = int(h * fit);
    }
    QRect bounds(ox + (kPreviewCellW - w) / 2, oy + (kPreviewCellH - h) / 2, w, h);
    bounds.moveLeft(std::clamp(bounds.left(), 0, room.width() - w));
    bounds.moveTop(std::clamp(bounds.top(), 0, room.height() - h));
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
  for (size_t i = 0; i < MixImages.size(); ++i) MixImages[i]->SetImage(StripCell(*mixStrip_, int32_t(i), 50, 50, enabled));
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
    frame->setGeometry(images[size_t(std::clamp<int32_t>(index, 0, int32_t(images.size()) - 1))]->geometry().adjusted(-4, -4, 4, 4));
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

// --- Language -------------------------------------------------------------------------------

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
  if (field == kRotateOnText) rotateOnText_ = text;
  else if (field == kRotateOffText) rotateOffText_ = text;
  else if (field == kFitOnText) fitOnText_ = text;
  else if (field == kFitOffText) fitOffText_ = text;
  else if (field == kMixRandomText) mixRandomText_ = text;
  else if (field == kMixSpreadOutText) mixSpreadOutText_ = text;
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
  for (const QAction* a : m->actions()) items.push_back({a->objectName().toStdString(), a->text().toStdString(), 0, {}});
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
