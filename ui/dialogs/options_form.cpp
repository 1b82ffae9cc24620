#include "ui/dialogs/options_form.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "foundation/dib_ops.h"
#include "foundation/file_helpers.h"
#include "foundation/numeric.h"
#include "foundation/picture_loading.h"
#include "foundation/text_format.h"
#include "game/game_paths.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "ui/dialogs/color_picker_form.h"
#include "ui/dialogs/form_images.h"
#include "ui/dialogs/form_texts.h"
#include "ui/dialogs/options_art.h"

namespace {

constexpr uint32_t kPreviewBackground = 0x989898;
constexpr int kLangIndexRole = Qt::UserRole;
constexpr int kOwnFlagRole = Qt::UserRole + 1;  // the language has its own flag
constexpr int kLangFileRole = Qt::UserRole + 2;

// A flag of the language list: 60 x 40, magenta transparent.
QPixmap FlagPixmap(const QImage& picture) {
  QImage img = picture.scaled(kFlagWidth, kFlagHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                   .convertToFormat(QImage::Format_ARGB32);
  const QRgb key = ColorOf(kFlagTransparent).rgb();
  for (int y = 0; y < img.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((row[x] & 0xFFFFFF) == (key & 0xFFFFFF)) row[x] = 0;
  }
  return QPixmap::fromImage(img);
}

QImage ResourcePicture(const char* file) {
  std::vector<uint8_t> bytes;
  TDibHolder dib;
  if (!ReadResourceFile(std::string(":/images/") + file, bytes) || !DecodeTo24(*dib, bytes)) return {};
  return ToQImage(*dib);
}

}  // namespace

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

TF_Options::TF_Options(TOptionsFormEnv env, QWidget* parent) : QDialog(parent), env_(std::move(env)) {
  setObjectName("F_Options");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  if (!env_.PickColor && env_.Lang) {
    const TLanguageState* lang = env_.Lang;
    env_.PickColor = [this, lang](const TColorPickRequest& request, int32_t& picked) {
      picked = request.PickedColor;
      return TF_ColorPicker::PickWoodColor(this, *lang, picked, *request.Target) ? int(kIdOk) : int(kIdCancel);
    };
  }
  BuildControls();
  LoadSamples();
  // The download sources and the security methods.
  SetServerHosts(env_.ServerHosts);
  for (const char* name : SecureMethodNames) CB_SecureMethod->addItem(name);
  CB_SecureMethod->setCurrentIndex(kDefaultSecureMethod);
  PC_Pages->setCurrentIndex(0);
  PC_PagesChange();
  DrawPreview();
  FitToForm();
  ShowLabelsAsText(this);
}

TF_Options::~TF_Options() = default;

void TF_Options::BuildControls() {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSizeConstraint(QLayout::SetFixedSize);  // the client area is the panel's size
  P_Form = new QWidget(this);
  P_Form->setObjectName("P_Form");
  P_Form->installEventFilter(this);
  outer->addWidget(P_Form);
  auto* form = new QVBoxLayout(P_Form);
  form->setContentsMargins(12, 12, 12, 12);
  form->setSpacing(12);

  PC_Pages = new QTabWidget(P_Form);
  PC_Pages->setObjectName("PC_Pages");
  PC_Pages->setUsesScrollButtons(false);  // every page's tab stays in sight
  form->addWidget(PC_Pages);
  auto page = [&](QWidget*& sheet, const char* name) {
    sheet = new QWidget(PC_Pages);
    sheet->setObjectName(name);
    PC_Pages->addTab(sheet, name);
  };
  auto label = [](QWidget* parent, const char* name) {
    auto* l = new QLabel(name, parent);
    l->setObjectName(name);
    return l;
  };
  auto check = [](QWidget* parent, const char* name) {
    auto* c = new QCheckBox(name, parent);
    c->setObjectName(name);
    return c;
  };
  auto combo = [](QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setMinimumWidth(200);
    return c;
  };
  auto scroll = [](QWidget* parent, const char* name, int low, int high) {
    auto* s = new QScrollBar(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(low, high);
    s->setPageStep(5);
    s->setInvertedControls(false);  // the arrow keys move the way they point
    s->setMinimumWidth(280);
    return s;
  };

  // Autosave.
  page(TS_AutoSave, "TS_AutoSave");
  {
    auto* v = new QVBoxLayout(TS_AutoSave);
    v->setContentsMargins(16, 16, 16, 16);
    v->setSpacing(10);
    CB_AutoSave = check(TS_AutoSave, "CB_AutoSave");
    L_AutoInterval = label(TS_AutoSave, "L_AutoInterval");
    SB_AutoChange = scroll(TS_AutoSave, "SB_AutoChange", kAutoIntervalMin, kAutoIntervalMax);
    v->addWidget(CB_AutoSave);
    v->addSpacing(6);
    v->addWidget(L_AutoInterval);
    v->addWidget(SB_AutoChange);
    v->addStretch(1);
  }

  // Sound.
  page(TS_Sound, "TS_Sound");
  {
    auto* v = new QVBoxLayout(TS_Sound);
    v->setContentsMargins(16, 16, 16, 16);
    CB_SoundPlay = check(TS_Sound, "CB_SoundPlay");
    v->addWidget(CB_SoundPlay);
    v->addStretch(1);
  }

  // Play: the mouse bindings and the snap distance.
  page(TS_Play, "TS_Play");
  {
    auto* g = new QGridLayout(TS_Play);
    g->setContentsMargins(16, 16, 16, 16);
    g->setHorizontalSpacing(12);
    g->setVerticalSpacing(8);
    L_PlayModes = label(TS_Play, "L_PlayModes");
    CB_PlayModes = combo(TS_Play, "CB_PlayModes");
    for (const char* text : {"Standard", "Simple", "Other"}) CB_PlayModes->addItem(text);
    L_PlayRotCW = label(TS_Play, "L_PlayRotCW");
    CB_PlayRotCW = combo(TS_Play, "CB_PlayRotCW");
    L_PlayRotCCW = label(TS_Play, "L_PlayRotCCW");
    CB_PlayRotCCW = combo(TS_Play, "CB_PlayRotCCW");
    L_PlayMoveOW = label(TS_Play, "L_PlayMoveOW");
    CB_PlayMoveOW = combo(TS_Play, "CB_PlayMoveOW");
    for (QComboBox* c : {CB_PlayRotCW, CB_PlayRotCCW, CB_PlayMoveOW})
      for (const char* text : {"Left + Alt", "Left + Ctrl", "Left + Shift", "Right", "Right + Alt", "Right + Ctrl",
                               "Right + Shift"})
        c->addItem(text);
    CB_PlaySingleWin = check(TS_Play, "CB_PlaySingleWin");
    CB_PlayClickToDrag = check(TS_Play, "CB_PlayClickToDrag");
    L_StuckKoef = label(TS_Play, "L_StuckKoef");
    SB_StuckKoef = scroll(TS_Play, "SB_StuckKoef", kStuckKoefMin, kStuckKoefMax);
    int row = 0;
    g->addWidget(L_PlayModes, row, 0);
    g->addWidget(CB_PlayModes, row++, 1);
    g->setRowMinimumHeight(row++, 6);
    g->addWidget(L_PlayRotCW, row, 0);
    g->addWidget(CB_PlayRotCW, row++, 1);
    g->addWidget(L_PlayRotCCW, row, 0);
    g->addWidget(CB_PlayRotCCW, row++, 1);
    g->addWidget(L_PlayMoveOW, row, 0);
    g->addWidget(CB_PlayMoveOW, row++, 1);
    g->setRowMinimumHeight(row++, 4);
    g->addWidget(CB_PlaySingleWin, row++, 0, 1, 2);
    g->addWidget(CB_PlayClickToDrag, row++, 0, 1, 2);
    g->setRowMinimumHeight(row++, 6);
    g->addWidget(L_StuckKoef, row++, 0, 1, 2);
    g->addWidget(SB_StuckKoef, row++, 0, 1, 2);
    g->setRowStretch(row, 1);
    g->setColumnStretch(1, 1);
  }

  // Effects: emboss and wood with their preview.
  page(TS_Visual, "TS_Visual");
  {
    auto* h = new QHBoxLayout(TS_Visual);
    h->setContentsMargins(16, 16, 16, 16);
    h->setSpacing(16);
    auto* left = new QVBoxLayout;
    left->setSpacing(10);
    GB_VisualEmboss = new QGroupBox("GB_VisualEmboss", TS_Visual);
    GB_VisualEmboss->setObjectName("GB_VisualEmboss");
    auto* ev = new QVBoxLayout(GB_VisualEmboss);
    for (int i = 0; i < 4; ++i) {
      const QString name = QString("RB_VisualEmboss%1").arg(i);
      RB_VisualEmboss[i] = new QRadioButton(name, GB_VisualEmboss);
      RB_VisualEmboss[i]->setObjectName(name);
      ev->addWidget(RB_VisualEmboss[i]);
    }
    GB_VisualWood = new QGroupBox("GB_VisualWood", TS_Visual);
    GB_VisualWood->setObjectName("GB_VisualWood");
    auto* wv = new QVBoxLayout(GB_VisualWood);
    S_ViewWoodColor = new TOptionsSwatch(GB_VisualWood);
    S_ViewWoodColor->setObjectName("S_ViewWoodColor");
    for (int i = 0; i < 3; ++i) {
      const QString name = QString("RB_VisualWood%1").arg(i);
      RB_VisualWood[i] = new QRadioButton(name, GB_VisualWood);
      RB_VisualWood[i]->setObjectName(name);
      if (i == 1) {
        auto* row = new QHBoxLayout;
        row->addWidget(RB_VisualWood[i]);
        row->addWidget(S_ViewWoodColor);
        row->addStretch(1);
        wv->addLayout(row);
      } else {
        wv->addWidget(RB_VisualWood[i]);
      }
    }
    CB_VisualShowJoin = check(TS_Visual, "CB_VisualShowJoin");
    left->addWidget(GB_VisualEmboss);
    left->addWidget(GB_VisualWood);
    left->addWidget(CB_VisualShowJoin);
    left->addStretch(1);
    h->addLayout(left, 1);

    S_ViewEmbossBkg = new QWidget(TS_Visual);
    S_ViewEmbossBkg->setObjectName("S_ViewEmbossBkg");
    S_ViewEmbossBkg->setAutoFillBackground(true);
    QPalette pal = S_ViewEmbossBkg->palette();
    pal.setColor(QPalette::Window, ColorOf(kPreviewBackground));
    S_ViewEmbossBkg->setPalette(pal);
    auto* bv = new QVBoxLayout(S_ViewEmbossBkg);
    bv->setContentsMargins(14, 14, 14, 14);
    I_ViewEmboss = new TOptionsImage(S_ViewEmbossBkg);
    I_ViewEmboss->setObjectName("I_ViewEmboss");
    bv->addWidget(I_ViewEmboss, 0, Qt::AlignCenter);
    auto* right = new QVBoxLayout;
    right->addWidget(S_ViewEmbossBkg, 0, Qt::AlignTop);
    right->addStretch(1);
    h->addLayout(right);

    for (QRadioButton* rb : RB_VisualEmboss) connect(rb, &QRadioButton::clicked, this, [this] { DrawPreview(); });
    for (QRadioButton* rb : RB_VisualWood) connect(rb, &QRadioButton::clicked, this, [this] { DrawPreview(); });
    S_ViewWoodColor->OnMouseDown = [this] { S_ViewWoodColorMouseDown(); };
  }

  // Language.
  page(TS_Lang, "TS_Lang");
  {
    auto* v = new QVBoxLayout(TS_Lang);
    v->setContentsMargins(16, 16, 16, 16);
    v->setSpacing(8);
    L_LangListCap = label(TS_Lang, "L_LangListCap");
    LV_LangList = new QListWidget(TS_Lang);
    LV_LangList->setObjectName("LV_LangList");
    LV_LangList->setViewMode(QListView::IconMode);
    LV_LangList->setIconSize(QSize(kFlagWidth, kFlagHeight));
    LV_LangList->setGridSize(QSize(kFlagWidth + 44, kFlagHeight + 36));
    LV_LangList->setResizeMode(QListView::Adjust);
    LV_LangList->setMovement(QListView::Static);
    LV_LangList->setWordWrap(true);
    LV_LangList->setMinimumHeight(150);
    L_LangName = label(TS_Lang, "L_LangName");
    QFont bold = L_LangName->font();
    bold.setBold(true);
    L_LangName->setFont(bold);
    L_LangAuthor = label(TS_Lang, "L_LangAuthor");
    L_LangNoHelp = label(TS_Lang, "L_LangNoHelp");
    L_LangNoHelp->setWordWrap(true);
    // Its room is kept while it is hidden, so the dialog does not jump between languages.
    L_LangNoHelp->setMinimumHeight(L_LangNoHelp->fontMetrics().lineSpacing() * 2);
    QSizePolicy keep = L_LangNoHelp->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    L_LangNoHelp->setSizePolicy(keep);
    L_LangNoHelp->setVisible(false);
    v->addWidget(L_LangListCap);
    v->addWidget(LV_LangList, 1);
    v->addWidget(L_LangName);
    v->addWidget(L_LangAuthor);
    v->addWidget(L_LangNoHelp);
    connect(LV_LangList, &QListWidget::currentRowChanged, this, [this] { LV_LangListSelectItem(); });
  }

  // Downloads.
  page(TS_Dn, "TS_Dn");
  {
    auto* g = new QGridLayout(TS_Dn);
    g->setContentsMargins(16, 16, 16, 16);
    g->setHorizontalSpacing(12);
    g->setVerticalSpacing(10);
    L_DnSrcCap = label(TS_Dn, "L_DnSrcCap");
    CB_DnSrc = combo(TS_Dn, "CB_DnSrc");
    CB_UseSecure = check(TS_Dn, "CB_UseSecure");
    L_SecureMethodCap = label(TS_Dn, "L_SecureMethodCap");
    CB_SecureMethod = combo(TS_Dn, "CB_SecureMethod");
    g->addWidget(L_DnSrcCap, 0, 0);
    g->addWidget(CB_DnSrc, 0, 1);
    g->setRowMinimumHeight(1, 4);
    g->addWidget(CB_UseSecure, 2, 0, 1, 2);
    g->addWidget(L_SecureMethodCap, 3, 0);
    g->addWidget(CB_SecureMethod, 3, 1);
    g->setRowStretch(4, 1);
    g->setColumnStretch(1, 1);
    connect(CB_UseSecure, &QCheckBox::clicked, this, [this] { CB_UseSecureClick(); });
  }

  // The test panel, shown on request below the pages.
  P_Test = new QWidget(P_Form);
  P_Test->setObjectName("P_Test");
  {
    auto* v = new QVBoxLayout(P_Test);
    v->setContentsMargins(0, 0, 0, 0);
    E_TestSiteJigsawsDir = new QLineEdit(P_Test);
    E_TestSiteJigsawsDir->setObjectName("E_TestSiteJigsawsDir");
    E_TestSiteJigsawsDir->setPlaceholderText("SiteJigsawsDir");
    E_TestThumbPath = new QLineEdit(P_Test);
    E_TestThumbPath->setObjectName("E_TestThumbPath");
    E_TestThumbPath->setPlaceholderText("ThumbPath");
    v->addWidget(E_TestSiteJigsawsDir);
    v->addWidget(E_TestThumbPath);
  }
  P_Test->setVisible(false);
  form->addWidget(P_Test);

  auto* buttons = new QHBoxLayout;
  B_Help = new QPushButton("B_Help", P_Form);
  B_Help->setObjectName("B_Help");
  B_Help->setText("?");
  B_Help->setFixedWidth(40);
  B_Ok = new QPushButton("B_Ok", P_Form);
  B_Ok->setObjectName("B_Ok");
  B_Ok->setDefault(true);
  B_Cancel = new QPushButton("B_Cancel", P_Form);
  B_Cancel->setObjectName("B_Cancel");
  for (QPushButton* b : {B_Ok, B_Cancel}) b->setMinimumWidth(90);
  buttons->addWidget(B_Help);
  buttons->addStretch(1);
  buttons->addWidget(B_Ok);
  buttons->addWidget(B_Cancel);
  form->addLayout(buttons);

  connect(PC_Pages, &QTabWidget::currentChanged, this, [this] { PC_PagesChange(); });
  connect(SB_AutoChange, &QScrollBar::valueChanged, this, [this] { SB_AutoChangeChange(); });
  connect(SB_StuckKoef, &QScrollBar::valueChanged, this, [this] { SB_StuckKoefChange(); });
  connect(CB_PlayModes, &QComboBox::activated, this, [this] { CB_PlayModesChange(); });
  for (QComboBox* c : {CB_PlayRotCW, CB_PlayRotCCW, CB_PlayMoveOW})
    connect(c, &QComboBox::activated, this, [this] { CB_PlayRotCWChange(); });
  for (QCheckBox* c : {CB_PlaySingleWin, CB_PlayClickToDrag})
    connect(c, &QCheckBox::clicked, this, [this] { CB_PlayRotCWChange(); });
  connect(B_Ok, &QPushButton::clicked, this, [this] { B_OkClick(); });
  connect(B_Cancel, &QPushButton::clicked, this, [this] { B_CancelClick(); });
  connect(B_Help, &QPushButton::clicked, this, [this] { B_HelpClick(); });

  setTabOrder(PC_Pages, B_Ok);
  setTabOrder(B_Ok, B_Cancel);
  setTabOrder(B_Cancel, B_Help);
}

// The sample piece and picture of the preview, made 24-bit; the preview takes their size.
void TF_Options::LoadSamples() {
  std::vector<uint8_t> bytes;
  if (ReadResourceFile(std::string(":/images/") + kOptionsSampleMaskFile, bytes)) DecodeTo24(*sampleMask_, bytes);
  if (ReadResourceFile(std::string(":/images/") + kOptionsSamplePictureFile, bytes))
    DecodeTo24(*samplePicture_, bytes);
  const int32_t w = sampleMask_->Width > 0 ? sampleMask_->Width : kOptionsSampleWidth;
  const int32_t h = sampleMask_->Width > 0 ? sampleMask_->Height : kOptionsSampleHeight;
  CreateDib24(*preview_, w, h);
}

std::string TF_Options::Text(int32_t section, const char* key) const {
  return env_.Lang ? GetLangString(*env_.Lang, section, key) : std::string(key);
}

void TF_Options::FitToForm() {
  // Inner panel first: the dialog's fixed size follows the panel's size hint.
  for (QLayout* l : {P_Form->layout(), layout()}) {
    l->invalidate();
    l->activate();
  }
}

// --- Values ------------------------------------------------------------------------------------

void TF_Options::LoadValues(const TOptionsValues& v) {
  SB_AutoChange->setValue(ClampInt(v.AutoSaveInterval, kAutoIntervalMin, kAutoIntervalMax));
  SB_AutoChangeChange();
  CB_AutoSave->setChecked(v.AutoSaveEnabled);
  CB_SoundPlay->setChecked(v.SoundPlay);
  CB_VisualShowJoin->setChecked(v.ShowJoin);
  TPlaySettings play;
  auto binding = [](int32_t item, TMouseBinding none) {
    return item >= 0 && item < kMouseCombinationCount ? MouseCombinations[item] : none;
  };
  // A binding that is none of the seven must stay none of them, so the list stays empty.
  constexpr TMouseBinding kNone{255, 255};
  play.RotCW = binding(v.Bindings.RotCW, kNone);
  play.RotCCW = binding(v.Bindings.RotCCW, kNone);
  play.MoveOW = binding(v.Bindings.MoveOW, kNone);
  play.SingleMainWindow = v.Bindings.SingleMainWindow;
  play.ClickToDrag = v.Bindings.ClickToDrag;
  SetMouseScheme(play, true);
  SB_StuckKoef->setValue(ClampInt(v.StuckKoef, kStuckKoefMin, kStuckKoefMax));
  SB_StuckKoefChange();
  SetEmbossStyle(v.EmbossStyle);
  SetWoodStyle(v.WoodStyle);
  SetWoodColor(v.WoodColor);
}

TBindingChoice TF_Options::BindingChoice() const {
  TBindingChoice c;
  c.RotCW = CB_PlayRotCW->currentIndex();
  c.RotCCW = CB_PlayRotCCW->currentIndex();
  c.MoveOW = CB_PlayMoveOW->currentIndex();
  c.SingleMainWindow = CB_PlaySingleWin->isChecked();
  c.ClickToDrag = CB_PlayClickToDrag->isChecked();
  return c;
}

TOptionsValues TF_Options::Values() const {
  TOptionsValues v;
  v.AutoSaveEnabled = CB_AutoSave->isChecked();
  v.AutoSaveInterval = SB_AutoChange->value();
  v.SoundPlay = CB_SoundPlay->isChecked();
  v.ShowJoin = CB_VisualShowJoin->isChecked();
  v.Bindings = BindingChoice();
  v.StuckKoef = SB_StuckKoef->value();
  v.EmbossStyle = GetEmbossStyle();
  v.WoodStyle = GetWoodStyle();
  v.WoodColor = WoodColor();
  return v;
}

void TF_Options::SetMouseScheme(const TPlaySettings& settings, bool clear) {
  if (clear)
    for (QComboBox* c : {CB_PlayRotCW, CB_PlayRotCCW, CB_PlayMoveOW}) c->setCurrentIndex(-1);
  const TBindingChoice choice = BindingChoiceOf(settings);
  if (choice.RotCW >= 0) CB_PlayRotCW->setCurrentIndex(choice.RotCW);
  if (choice.RotCCW >= 0) CB_PlayRotCCW->setCurrentIndex(choice.RotCCW);
  if (choice.MoveOW >= 0) CB_PlayMoveOW->setCurrentIndex(choice.MoveOW);
  CB_PlaySingleWin->setChecked(settings.SingleMainWindow != 0);
  CB_PlayClickToDrag->setChecked(settings.ClickToDrag != 0);
  // The check boxes' state decides whether the move binding applies.
  const bool moveOn = !CB_PlaySingleWin->isChecked();
  L_PlayMoveOW->setEnabled(moveOn);
  CB_PlayMoveOW->setEnabled(moveOn);
}

void TF_Options::SetEmbossStyle(int32_t style) {
  RB_VisualEmboss[EmbossButtonOfStyle(style)]->setChecked(true);
  DrawPreview();
}

int32_t TF_Options::GetEmbossStyle() const {
  for (int32_t i = 0; i < 3; ++i)
    if (RB_VisualEmboss[i]->isChecked()) return i;
  return 3;
}

void TF_Options::SetWoodStyle(int32_t style) {
  RB_VisualWood[WoodButtonOfStyle(style)]->setChecked(true);
  DrawPreview();
}

int32_t TF_Options::GetWoodStyle() const {
  for (int32_t i = 0; i < 2; ++i)
    if (RB_VisualWood[i]->isChecked()) return i;
  return 2;
}

int32_t TF_Options::WoodColor() const { return S_ViewWoodColor->Color(); }

void TF_Options::SetWoodColor(int32_t color) {
  S_ViewWoodColor->SetColor(color);
  DrawPreview();
}

bool TF_Options::TestPanelShown() const { return !P_Test->isHidden(); }

std::string TF_Options::HelpTopic() const {
  const int32_t i = PC_Pages->currentIndex();
  return i >= 0 && i < kOptionsPageCount ? OptionsPages[i].Topic : std::string();
}

// --- Event handlers ------------------------------------------------------------------------------

void TF_Options::SetServerHosts(const TServerHosts& hosts) {
  env_.ServerHosts = hosts;
  CB_DnSrc->clear();
  for (const std::string& host : hosts) CB_DnSrc->addItem(QString::fromStdString(host));
  CB_DnSrc->setCurrentIndex(0);
}

void TF_Options::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TF_Options::FormActivate() {
  DrawPreview();
  ModeFromControls();
  FillLanguageList();
  const std::string current = env_.Lang ? env_.Lang->CurrentLanguage : std::string(kDefaultLanguage);
  for (int32_t i = 0; i < LV_LangList->count(); ++i) {
    const std::string name = LV_LangList->item(i)->data(kLangFileRole).toString().toStdString();
    if (SameAsciiText(name, current)) {
      LV_LangList->setCurrentRow(i);
      break;
    }
  }
  LangName_ = current;
  if (env_.GameOptions) {
    const TGameOptions& o = *env_.GameOptions;
    CB_DnSrc->setCurrentIndex(ServerIndex(env_.ServerHosts, o.DnSrc));
    CB_UseSecure->setChecked(o.UseSecure);
    // A method index outside the list shows the default rather than an empty choice.
    const bool known = o.SecureMethodInd >= 0 && o.SecureMethodInd < kSecureMethodCount;
    CB_SecureMethod->setCurrentIndex(known ? o.SecureMethodInd : kDefaultSecureMethod);
    E_TestThumbPath->setText(QString::fromStdString(o.ThumbPath));
    E_TestSiteJigsawsDir->setText(QString::fromStdString(o.SiteJigsawsDir));
  }
  CB_UseSecureClick();
  PC_PagesChange();
  FitToForm();
}

void TF_Options::FillLanguageList() {
  LV_LangList->clear();
  const QPixmap custom = FlagPixmap(ResourcePicture(kCustomFlagFile));
  if (!env_.Lang) return;
  TLanguageState& lang = *env_.Lang;
  ScanLanguages(lang);
  if (!lang.LangInfoList) return;
  for (size_t i = 0; i < lang.LangInfoList->size(); ++i) {
    const TLangInfo& info = (*lang.LangInfoList)[i];
    const std::string caption =
        !info.localname.empty() ? info.localname : !info.engname.empty() ? info.engname : info.Name;
    auto* item = new QListWidgetItem(QString::fromStdString(caption));
    item->setData(kLangIndexRole, int(i));
    item->setData(kLangFileRole, QString::fromStdString(info.Name));
    TDibHolder flag;
    const std::string flagPath = FlagFilePath(lang, AsciiLowerCase(info.Name));
    const bool own = IsRegularFile(flagPath) && LoadPictureFile(*flag, flagPath);
    item->setIcon(own ? QIcon(FlagPixmap(ToQImage(*flag))) : QIcon(custom));
    item->setData(kOwnFlagRole, own);
    LV_LangList->addItem(item);
  }
  if (LV_LangList->count() > 0) LV_LangList->setCurrentRow(0);
}

void TF_Options::LV_LangListSelectItem() {
  QListWidgetItem* item = LV_LangList->currentItem();
  if (!item || !env_.Lang || !env_.Lang->LangInfoList) return;
  const int index = item->data(kLangIndexRole).toInt();
  if (index < 0 || size_t(index) >= env_.Lang->LangInfoList->size()) return;
  const TLangInfo& info = (*env_.Lang->LangInfoList)[size_t(index)];
  L_LangName->setText(item->text());
  L_LangAuthor->setText(QString::fromStdString(info.author));
  LangName_ = info.Name;
  L_LangNoHelp->setText(QString::fromStdString(info.l_onlyinterface));
  L_LangNoHelp->setVisible(!IsRegularFile(HelpFilePath(*env_.Lang, info.Name)));
}

void TF_Options::CB_PlayModesChange() {
  const int32_t mode = CB_PlayModes->currentIndex();
  if (mode == kPlayModeStandard) SetMouseScheme(StandardMouseScheme, false);
  if (mode == kPlayModeSimple) SetMouseScheme(SimpleMouseScheme, false);
}

void TF_Options::CB_PlayRotCWChange() {
  const bool moveOn = !CB_PlaySingleWin->isChecked();
  L_PlayMoveOW->setEnabled(moveOn);
  CB_PlayMoveOW->setEnabled(moveOn);
  ModeFromControls();
}

void TF_Options::ModeFromControls() { CB_PlayModes->setCurrentIndex(PlayModeOf(BindingChoice())); }

void TF_Options::SB_AutoChangeChange() {
  L_AutoInterval->setText(QString::fromStdString(WideFormat(AutoIntervalFormat_, {int64_t(SB_AutoChange->value())})));
}

void TF_Options::SB_StuckKoefChange() {
  L_StuckKoef->setText(QString::fromStdString(WideFormat(StuckKoefFormat_, {int64_t(SB_StuckKoef->value())})));
}

void TF_Options::DrawPreview() {
  const int32_t emboss = GetEmbossStyle();
  const int32_t wood = GetWoodStyle();
  S_ViewWoodColor->setVisible(wood == 1);
  TDibImage& target = *preview_;
  if (target.Width <= 0) return;
  FillDibRect(target, 0, 0, target.Width, target.Height, kPreviewBackground);
  DrawEmbossPreview(target, *sampleMask_, *samplePicture_, WoodColor(), wood, emboss);
  I_ViewEmboss->SetImage(ToQImage(target));
}

void TF_Options::S_ViewWoodColorMouseDown() {
  if (!env_.PickColor) return;
  const int32_t old = WoodColor();
  TColorPickRequest request;
  request.Caption = Text(kLangOptions, "GB_VisualWoodColor");
  request.PickedColor = old;
  request.GammaMode = 1;
  request.DefaultColors.assign(std::begin(kWoodDefaultColors), std::end(kWoodDefaultColors));
  request.PickTarget = -2;
  request.Target = this;
  int32_t picked = old;
  const int result = env_.PickColor(request, picked);
  SetWoodColor(result == kIdOk ? picked : old);
}

void TF_Options::CB_UseSecureClick() { CB_SecureMethod->setEnabled(CB_UseSecure->isChecked()); }

void TF_Options::PC_PagesChange() {
  const int32_t i = PC_Pages->currentIndex();
  helpContext_ = i >= 0 && i < kOptionsPageCount ? OptionsPages[i].HelpContext : 0;
}

void TF_Options::B_HelpClick() {
  const std::string topic = HelpTopic();
  if (!topic.empty() && env_.ShowHelpTopic) env_.ShowHelpTopic(topic);
}

void TF_Options::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    B_HelpClick();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TF_Options::eventFilter(QObject* watched, QEvent* event) {
  if (watched == P_Form && event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const Qt::KeyboardModifiers both = Qt::ControlModifier | Qt::ShiftModifier;
    if ((mouse->modifiers() & both) == both) {
      ToggleTestPanel();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TF_Options::ToggleTestPanel() {
  P_Test->setVisible(P_Test->isHidden());
  FitToForm();
}

void TF_Options::B_OkClick() {
  if (BindingsCollide(BindingChoice())) {
    ShowMessageBox(env_.Lang ? GetLangText(*env_.Lang, kLangOptions, "MS_KeysMustBeDiff") : "MS_KeysMustBeDiff",
                   kProgramTitle, kMbOk | kMbIconExclamation);
    PC_Pages->setCurrentWidget(TS_Play);
    return;
  }
  if (env_.Lang) {
    const std::string path = LangFilePath(*env_.Lang, LangName_);
    if (!IsRegularFile(path)) {
      ShowMessageBox(WideFormat(GetLangText(*env_.Lang, kLangOptions, "MS_CantFindLangFile"), {path}), kProgramTitle,
                     kMbOk | kMbIconExclamation);
      return;
    }
  }
  if (env_.GameOptions) {
    TGameOptions& o = *env_.GameOptions;
    const int32_t source = CB_DnSrc->currentIndex();
    // An entry the sources file leaves empty names no source: the current one stays.
    if (source >= 0 && source < int32_t(env_.ServerHosts.size()) && !env_.ServerHosts[size_t(source)].empty())
      o.DnSrc = env_.ServerHosts[size_t(source)];
    o.UseSecure = CB_UseSecure->isChecked();
    if (CB_SecureMethod->currentIndex() >= 0) o.SecureMethodInd = CB_SecureMethod->currentIndex();
    if (TestPanelShown()) {
      o.ThumbPath = E_TestThumbPath->text().trimmed().toStdString();
      o.SiteJigsawsDir = E_TestSiteJigsawsDir->text().trimmed().toStdString();
    }
  }
  done(kIdOk);
}

void TF_Options::B_CancelClick() { done(kIdCancel); }

void TF_Options::reject() { B_CancelClick(); }

// --- Texts ---------------------------------------------------------------------------------------

void TF_Options::SetFormCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void TF_Options::SetCaption(const std::string& component, const std::string& text) {
  const QString value = QString::fromStdString(text);
  if (SetPageCaption(PC_Pages, component, value)) return;
  if (findChild<QWidget*>(QString::fromStdString(component)) == B_Help) return;  // keeps its "?"
  SetControlCaption(this, component, value);
}

void TF_Options::SetHint(const std::string& component, const std::string& hint) {
  SetControlHint(this, component, QString::fromStdString(hint));
}

void TF_Options::SetItem(const std::string& list, int32_t index, const std::string& text) {
  auto* c = findChild<QComboBox*>(QString::fromStdString(list));
  if (c && index >= 0 && index < c->count()) c->setItemText(index, QString::fromStdString(text));
}

void TF_Options::SetText(const std::string& field, const std::string& text) {
  if (field == kAutoIntervalFormat) AutoIntervalFormat_ = text;
  if (field == kStuckKoefFormat) StuckKoefFormat_ = text;
}

std::vector<TLangMenuItem> TF_Options::MenuItems(const std::string&) const { return {}; }

std::vector<std::string> TF_Options::Pages(const std::string& pageControl) const {
  std::vector<std::string> names;
  if (pageControl != "PC_Pages") return names;
  for (int i = 0; i < PC_Pages->count(); ++i) names.push_back(PC_Pages->widget(i)->objectName().toStdString());
  return names;
}

int32_t TF_Options::ItemCount(const std::string& list) const {
  auto* c = findChild<QComboBox*>(QString::fromStdString(list));
  return c ? c->count() : 0;
}

int32_t TF_Options::Position(const std::string& scrollBar) const {
  auto* s = findChild<QScrollBar*>(QString::fromStdString(scrollBar));
  return s ? s->value() : 0;
}

void TF_Options::TextsChanged() { FitToForm(); }

int RunOptionsCommand(TF_Options& dialog, TGameSession& s, TSettings& st, TLanguageState& lang,
                      TOptionsApplyHost& host, TOptionsApplied* applied) {
  const TAutoSaveHold hold(s);
  dialog.LoadValues(OptionsValuesOf(s, st.Controls));
  const int result = dialog.exec();
  if (result == kIdOk) {
    const TOptionsApplied a = ApplyOptionsValues(s, st, lang, dialog.Values(), dialog.LangName(), host);
    if (applied) *applied = a;
  }
  return result;
}
