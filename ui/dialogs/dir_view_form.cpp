// The browser's window: its controls and their geometry, and the events it routes.
#include "ui/dialogs/dir_view_form.h"

#include "ui/dialogs/dir_view_internal.h"
#include "ui/dialogs/form_texts.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "game/game_paths.h"
#include "platform/message_box.h"

using dirview::kItemCellH;
using dirview::kItemCellW;
using dirview::TThumbDelegate;

namespace {

uint32_t ColorRef(const QColor& c) { return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16; }

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

void TF_DirView::BuildControls() {
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  P_Form = new QWidget(this);
  P_Form->setObjectName("P_Form");
  outer->addWidget(P_Form);
  auto* row = new QHBoxLayout(P_Form);
  row->setContentsMargins(10, 10, 10, 10);
  row->setSpacing(10);

  BuildPages(row);
  BuildButtonBar(row);
  BuildContextMenus();
  setTabOrder(PC_Pages, B_Ok);
  setTabOrder(B_Ok, B_Cancel);
  setTabOrder(B_Cancel, B_Extra);
  setTabOrder(B_Extra, B_Help);
}

// The pages: the jigsaws' list, the saved games' list with the file name, and the level page.
void TF_DirView::BuildPages(QHBoxLayout* row) {
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
}

// The buttons at the side, with the seed entry below them.
void TF_DirView::BuildButtonBar(QHBoxLayout* row) {
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
}

// The lists' context menus: open, delete and delete all.
void TF_DirView::BuildContextMenus() {
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
}

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

void TF_DirView::reject() { B_CancelClick(); }

void TF_DirView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    B_HelpClick();
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Enter that no control took for itself (the lists act on its release, the name field on
    // its own): a focused button is pressed, anywhere else Enter is OK, so the level page
    // reached by Enter opens the jigsaw by Enter too. A held key does not run on into it.
    if (event->isAutoRepeat() || focusWidget() == E_FileName) return;
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (button)
      button->click();  // does nothing when greyed
    else if (B_Ok->isEnabled())
      B_OkClick();
    return;
  }
  QDialog::keyPressEvent(event);
}
