#include "ui/dialogs/options_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/dialogs/options_art.h"
#include "ui/dialogs/options_widgets.h"

// The options dialog's pages, the test panel and the buttons: one builder each.

namespace {

// The controls, named by their component names.
QWidget* AddPage(QTabWidget* pages, const char* name) {
  auto* sheet = new QWidget(pages);
  sheet->setObjectName(name);
  pages->addTab(sheet, name);
  return sheet;
}

QLabel* NewLabel(QWidget* parent, const char* name) {
  auto* l = new QLabel(name, parent);
  l->setObjectName(name);
  return l;
}

QCheckBox* NewCheck(QWidget* parent, const char* name) {
  auto* c = new QCheckBox(name, parent);
  c->setObjectName(name);
  return c;
}

QComboBox* NewCombo(QWidget* parent, const char* name) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setMinimumWidth(200);
  return c;
}

QScrollBar* NewScroll(QWidget* parent, const char* name, int low, int high) {
  auto* s = new QScrollBar(Qt::Horizontal, parent);
  s->setObjectName(name);
  s->setRange(low, high);
  s->setPageStep(5);
  s->setInvertedControls(false);  // the arrow keys move the way they point
  s->setMinimumWidth(280);
  return s;
}

}  // namespace

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
  BuildAutoSavePage();
  BuildSoundPage();
  BuildPlayPage();
  BuildEffectsPage();
  BuildLanguagePage();
  BuildDownloadsPage();
  BuildTestPanel();
  form->addWidget(P_Test);
  form->addLayout(BuildButtons());
  connect(PC_Pages, &QTabWidget::currentChanged, this, [this] { PC_PagesChange(); });

  setTabOrder(PC_Pages, B_Ok);
  setTabOrder(B_Ok, B_Cancel);
  setTabOrder(B_Cancel, B_Help);
}

void TF_Options::BuildAutoSavePage() {
  TS_AutoSave = AddPage(PC_Pages, "TS_AutoSave");
  auto* v = new QVBoxLayout(TS_AutoSave);
  v->setContentsMargins(16, 16, 16, 16);
  v->setSpacing(10);
  CB_AutoSave = NewCheck(TS_AutoSave, "CB_AutoSave");
  L_AutoInterval = NewLabel(TS_AutoSave, "L_AutoInterval");
  const auto& interval = SettingRow<&TAutoSaveSettings::Interval>();
  SB_AutoChange = NewScroll(TS_AutoSave, "SB_AutoChange", interval.Low, interval.High);
  v->addWidget(CB_AutoSave);
  v->addSpacing(6);
  v->addWidget(L_AutoInterval);
  v->addWidget(SB_AutoChange);
  v->addStretch(1);
  connect(SB_AutoChange, &QScrollBar::valueChanged, this, [this] { SB_AutoChangeChange(); });
}

void TF_Options::BuildSoundPage() {
  TS_Sound = AddPage(PC_Pages, "TS_Sound");
  auto* v = new QVBoxLayout(TS_Sound);
  v->setContentsMargins(16, 16, 16, 16);
  CB_SoundPlay = NewCheck(TS_Sound, "CB_SoundPlay");
  v->addWidget(CB_SoundPlay);
  v->addStretch(1);
}

// The mouse bindings and the snap distance.
void TF_Options::BuildPlayPage() {
  TS_Play = AddPage(PC_Pages, "TS_Play");
  auto* g = new QGridLayout(TS_Play);
  g->setContentsMargins(16, 16, 16, 16);
  g->setHorizontalSpacing(12);
  g->setVerticalSpacing(8);
  L_PlayModes = NewLabel(TS_Play, "L_PlayModes");
  CB_PlayModes = NewCombo(TS_Play, "CB_PlayModes");
  for (const char* text : {"Standard", "Simple", "Other"}) CB_PlayModes->addItem(text);
  L_PlayRotCW = NewLabel(TS_Play, "L_PlayRotCW");
  CB_PlayRotCW = NewCombo(TS_Play, "CB_PlayRotCW");
  L_PlayRotCCW = NewLabel(TS_Play, "L_PlayRotCCW");
  CB_PlayRotCCW = NewCombo(TS_Play, "CB_PlayRotCCW");
  L_PlayMoveOW = NewLabel(TS_Play, "L_PlayMoveOW");
  CB_PlayMoveOW = NewCombo(TS_Play, "CB_PlayMoveOW");
  for (QComboBox* c : {CB_PlayRotCW, CB_PlayRotCCW, CB_PlayMoveOW})
    for (const char* text :
         {"Left + Alt", "Left + Ctrl", "Left + Shift", "Right", "Right + Alt", "Right + Ctrl", "Right + Shift"})
      c->addItem(text);
  CB_PlaySingleWin = NewCheck(TS_Play, "CB_PlaySingleWin");
  CB_PlayClickToDrag = NewCheck(TS_Play, "CB_PlayClickToDrag");
  L_StuckKoef = NewLabel(TS_Play, "L_StuckKoef");
  const auto& snap = SettingRow<&TGameOptions::StuckKoef>();
  SB_StuckKoef = NewScroll(TS_Play, "SB_StuckKoef", snap.Low, snap.High);
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

  connect(SB_StuckKoef, &QScrollBar::valueChanged, this, [this] { SB_StuckKoefChange(); });
  connect(CB_PlayModes, &QComboBox::activated, this, [this] { CB_PlayModesChange(); });
  for (QComboBox* c : {CB_PlayRotCW, CB_PlayRotCCW, CB_PlayMoveOW})
    connect(c, &QComboBox::activated, this, [this] { CB_PlayRotCWChange(); });
  for (QCheckBox* c : {CB_PlaySingleWin, CB_PlayClickToDrag})
    connect(c, &QCheckBox::clicked, this, [this] { CB_PlayRotCWChange(); });
}

// Emboss and wood with their preview.
void TF_Options::BuildEffectsPage() {
  TS_Visual = AddPage(PC_Pages, "TS_Visual");
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
  CB_VisualShowJoin = NewCheck(TS_Visual, "CB_VisualShowJoin");
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

void TF_Options::BuildLanguagePage() {
  TS_Lang = AddPage(PC_Pages, "TS_Lang");
  auto* v = new QVBoxLayout(TS_Lang);
  v->setContentsMargins(16, 16, 16, 16);
  v->setSpacing(8);
  L_LangListCap = NewLabel(TS_Lang, "L_LangListCap");
  LV_LangList = new QListWidget(TS_Lang);
  LV_LangList->setObjectName("LV_LangList");
  LV_LangList->setViewMode(QListView::IconMode);
  LV_LangList->setIconSize(QSize(kFlagWidth, kFlagHeight));
  LV_LangList->setGridSize(QSize(kFlagWidth + 44, kFlagHeight + 36));
  LV_LangList->setResizeMode(QListView::Adjust);
  LV_LangList->setMovement(QListView::Static);
  LV_LangList->setWordWrap(true);
  LV_LangList->setMinimumHeight(150);
  L_LangName = NewLabel(TS_Lang, "L_LangName");
  QFont bold = L_LangName->font();
  bold.setBold(true);
  L_LangName->setFont(bold);
  L_LangAuthor = NewLabel(TS_Lang, "L_LangAuthor");
  L_LangNoHelp = NewLabel(TS_Lang, "L_LangNoHelp");
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

void TF_Options::BuildDownloadsPage() {
  TS_Dn = AddPage(PC_Pages, "TS_Dn");
  auto* g = new QGridLayout(TS_Dn);
  g->setContentsMargins(16, 16, 16, 16);
  g->setHorizontalSpacing(12);
  g->setVerticalSpacing(10);
  L_DnSrcCap = NewLabel(TS_Dn, "L_DnSrcCap");
  CB_DnSrc = NewCombo(TS_Dn, "CB_DnSrc");
  CB_UseSecure = NewCheck(TS_Dn, "CB_UseSecure");
  L_SecureMethodCap = NewLabel(TS_Dn, "L_SecureMethodCap");
  CB_SecureMethod = NewCombo(TS_Dn, "CB_SecureMethod");
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

// Shown on request below the pages.
void TF_Options::BuildTestPanel() {
  P_Test = new QWidget(P_Form);
  P_Test->setObjectName("P_Test");
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
  P_Test->setVisible(false);
}

QHBoxLayout* TF_Options::BuildButtons() {
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
  connect(B_Ok, &QPushButton::clicked, this, [this] { B_OkClick(); });
  connect(B_Cancel, &QPushButton::clicked, this, [this] { B_CancelClick(); });
  connect(B_Help, &QPushButton::clicked, this, [this] { B_HelpClick(); });
  return buttons;
}
