#include "ui/download/download_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include "foundation/picture_limits.h"
#include "foundation/text_format.h"
#include "game/game_paths.h"
#include "ui/dialogs/form_texts.h"

namespace {

constexpr int kDesignWidth = 609;
constexpr int kDesignHeight = 616;
constexpr int kTickSize = 24;
const QColor kSelectionColor(0, 128, 255);
constexpr int kItemWidth = 196;  // the list's large images
constexpr int kItemHeight = 151;

// A top-down copy of a bottom-up 24-bit buffer.
QImage DibToImage(const TDibImage& d) {
  if (d.Width <= 0 || d.BytesPerPixel != 3) return QImage();
  return QImage(d.Bits, d.Width, d.Height, d.RowStride, QImage::Format_BGR888).mirrored(false, true);
}

std::string FormatWithArgs(const std::string& format, const std::vector<std::string>& a) {
  switch (a.size()) {
    case 0: return WideFormat(format, {});
    case 1: return WideFormat(format, {a[0]});
    case 2: return WideFormat(format, {a[0], a[1]});
    default: return WideFormat(format, {a[0], a[1], a[2]});
  }
}

// The tick that marks a jigsaw the player has: a white check on a green disc.
QPixmap MakeTick() {
  QPixmap p(kTickSize, kTickSize);
  p.fill(Qt::transparent);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QPen(QColor(255, 255, 255), 1.5));
  g.setBrush(QColor(34, 150, 60));
  g.drawEllipse(QRectF(1.5, 1.5, kTickSize - 3, kTickSize - 3));
  QPainterPath check;
  check.moveTo(6.5, 12.5);
  check.lineTo(10.5, 16.5);
  check.lineTo(17.5, 8);
  g.setPen(QPen(QColor(255, 255, 255), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  g.setBrush(Qt::NoBrush);
  g.drawPath(check);
  return p;
}

// LV_DownsCustomDrawItem: the preview at its drawn size, the tick of a jigsaw the player has,
// and the name below, all centred in the item's cell.
class TDownloadItemDelegate : public QStyledItemDelegate {
 public:
  TDownloadItemDelegate(TF_Download& form, QObject* parent) : QStyledItemDelegate(parent), form_(form) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return QSize(kItemWidth + 8, kItemHeight + option.fontMetrics.height() + 12);
  }

  void paint(QPainter* g, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!form_.ListReady()) return;
    const int row = index.row();
    const auto& items = form_.List().Items;
    if (row < 0 || row >= int(items.size())) return;
    const TDownloadItem& item = items[size_t(row)];
    const QRect r = option.rect;
    g->save();
    g->fillRect(r, option.palette.base());
    if (option.state & QStyle::State_Selected) {
      g->setPen(kSelectionColor);
      g->setBrush(Qt::NoBrush);
      const QRect outer = r.adjusted(2, 2, -1, -1);
      g->drawRect(outer.adjusted(0, 0, -1, -1));
      g->drawRect(outer.adjusted(1, 1, -2, -2));
    }
    const int w = int(item.Data & 0xFFFF), h = int(item.Data >> 16);
    const QFontMetrics fm(option.font);
    const int textHeight = fm.height();
    const int top = r.top() + (r.height() - (h + 5 + textHeight)) / 2;
    const int left = r.left() + (r.width() - w) / 2;
    const QImage& cell = form_.CellImage(item.ImageIndex);
    if (!cell.isNull()) g->drawImage(QPoint(left, top), cell, QRect(0, 0, w, h));
    if (item.StateIndex == 1) g->drawPixmap(left, top, form_.Tick());
    const QRect text(r.left() + 6, top + h + 6, r.width() - 12, textHeight);
    const QString caption = fm.elidedText(Q(OutsideText(item.Caption)), Qt::ElideRight, text.width());
    g->setPen(option.palette.color(QPalette::Text));
    g->setFont(option.font);
    g->drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, caption);
    g->restore();
  }

 private:
  TF_Download& form_;
};

}  // namespace

// FormCreate.
TF_Download::TF_Download(TDownloadEnv env, QWidget* parent) : QDialog(parent), env_(std::move(env)) {
  setObjectName("F_Download");
  setModal(true);
  setSizeGripEnabled(true);
  state_.sTempDir = env_.sTempDir;
  state_.sJigsawDir = env_.sJigsawDir;
  state_.sJigExt = env_.sJigExt;
  state_.ServerHosts = env_.Sources.ServerHosts;
  tick_ = MakeTick();

  BuildList();
  BuildControlBar();
  LayOutForm();
  ConnectTimersAndButtons();
  ConnectHttpClient();
  ResetProgress();
  resize(kDesignWidth, kDesignHeight);
  setWindowTitle(Q(DownloadCaption()));
  LoadDownloadListIntoView();
  ShowLabelsAsText(this);
}

// The note shown when no source is set up, and the list of the jigsaws on offer.
void TF_Download::BuildList() {
  L_NoSource = new QLabel(this);
  L_NoSource->setObjectName("L_NoSource");
  L_NoSource->setWordWrap(true);
  L_NoSource->setTextFormat(Qt::PlainText);
  L_NoSource->setTextInteractionFlags(Qt::TextSelectableByMouse);
  L_NoSource->hide();

  LV_Downs = new QListWidget(this);
  LV_Downs->setObjectName("LV_Downs");
  LV_Downs->setViewMode(QListView::IconMode);
  LV_Downs->setMovement(QListView::Static);
  LV_Downs->setResizeMode(QListView::Adjust);
  LV_Downs->setUniformItemSizes(true);
  LV_Downs->setSpacing(4);
  LV_Downs->setSelectionMode(QAbstractItemView::SingleSelection);
  LV_Downs->setMinimumWidth(200);
  LV_Downs->setItemDelegate(new TDownloadItemDelegate(*this, LV_Downs));
  connect(LV_Downs, &QListWidget::itemSelectionChanged, this, [this] { LV_DownsChange(); });
}

// The bar at the right: the preview, what to download, the buttons and the progress.
void TF_Download::BuildControlBar() {
  P_ControlBar = new QWidget(this);
  P_ControlBar->setObjectName("P_ControlBar");
  P_ControlBar->setFixedWidth(240);
  auto* bar = new QVBoxLayout(P_ControlBar);
  bar->setContentsMargins(0, 0, 0, 0);
  bar->setSpacing(8);

  GB_DownThumb = new QGroupBox(P_ControlBar);
  GB_DownThumb->setObjectName("GB_DownThumb");
  auto* thumbBox = new QVBoxLayout(GB_DownThumb);
  thumbBox->setContentsMargins(8, 8, 8, 8);
  I_DownThumb = new QLabel(GB_DownThumb);
  I_DownThumb->setObjectName("I_DownThumb");
  I_DownThumb->setAlignment(Qt::AlignCenter);
  I_DownThumb->setFixedSize(220, 165);
  thumbBox->addWidget(I_DownThumb, 0, Qt::AlignHCenter);
  bar->addWidget(GB_DownThumb);

  L_DownMode = new QLabel("Download:", P_ControlBar);
  L_DownMode->setObjectName("L_DownMode");
  CB_DownMode = new QComboBox(P_ControlBar);
  CB_DownMode->setObjectName("CB_DownMode");
  CB_DownMode->addItems({"Selected Jigsaw", "New Jigsaws", "All jigsaws"});
  L_DownMode->setBuddy(CB_DownMode);
  bar->addSpacing(4);
  bar->addWidget(L_DownMode);
  bar->addWidget(CB_DownMode);

  B_Download = new QPushButton("Download", P_ControlBar);
  B_Download->setObjectName("B_Download");
  B_Stop = new QPushButton("Stop", P_ControlBar);
  B_Stop->setObjectName("B_Stop");
  auto* run = new QHBoxLayout;
  run->addWidget(B_Download);
  run->addWidget(B_Stop);
  bar->addLayout(run);

  PB_DownProgress = new QProgressBar(P_ControlBar);
  PB_DownProgress->setObjectName("PB_DownProgress");
  PB_DownProgress->setTextVisible(false);
  PB_DownProgress->setFixedHeight(16);
  bar->addWidget(PB_DownProgress);
  L_DownSize = new QLabel(P_ControlBar);
  L_DownSize->setObjectName("L_DownSize");
  L_DownSize->setAlignment(Qt::AlignCenter);
  bar->addWidget(L_DownSize);
  bar->addStretch(1);

  B_Help = new QPushButton("Help", P_ControlBar);
  B_Help->setObjectName("B_Help");
  B_Ok = new QPushButton("Exit", P_ControlBar);
  B_Ok->setObjectName("B_Ok");
  auto* close = new QHBoxLayout;
  close->addWidget(B_Help);
  close->addWidget(B_Ok);
  bar->addLayout(close);
  for (QPushButton* b : {B_Download, B_Stop, B_Help, B_Ok}) b->setAutoDefault(false);
}

// The list beside the bar, the hidden error text and the tab order.
void TF_Download::LayOutForm() {
  M_DownError = new QPlainTextEdit(this);
  M_DownError->setObjectName("M_DownError");
  M_DownError->hide();

  auto* form = new QHBoxLayout(this);
  form->setContentsMargins(12, 12, 12, 12);
  form->setSpacing(12);
  auto* listSide = new QVBoxLayout;
  listSide->addWidget(L_NoSource);
  listSide->addWidget(LV_Downs, 1);
  form->addLayout(listSide, 1);
  form->addWidget(P_ControlBar);
  setTabOrder(LV_Downs, CB_DownMode);
  setTabOrder(CB_DownMode, B_Download);
  setTabOrder(B_Download, B_Stop);
  setTabOrder(B_Stop, B_Help);
  setTabOrder(B_Help, B_Ok);
}

void TF_Download::ConnectTimersAndButtons() {
  T_StartDownload = new QTimer(this);
  T_StartDownload->setObjectName("T_StartDownload");
  T_StartDownload->setInterval(100);
  T_CloseForm = new QTimer(this);
  T_CloseForm->setObjectName("T_CloseForm");
  T_CloseForm->setInterval(10);
  connect(T_StartDownload, &QTimer::timeout, this, [this] { T_StartDownloadTimer(); });
  connect(T_CloseForm, &QTimer::timeout, this, [this] { T_CloseFormTimer(); });
  connect(B_Download, &QPushButton::clicked, this, [this] { B_DownloadClick(); });
  connect(B_Stop, &QPushButton::clicked, this, [this] { B_StopClick(); });
  connect(B_Ok, &QPushButton::clicked, this, [this] { B_OkClick(); });
  connect(B_Help, &QPushButton::clicked, this, [this] { B_HelpClick(); });
}

// The HTTP client, when one can be started, reports to this window.
void TF_Download::ConnectHttpClient() {
  if (env_.MakeHttpClient) state_.HttpClient = env_.MakeHttpClient();
  if (state_.HttpClient && !state_.HttpClient->Ready()) state_.HttpClient.reset();
  if (state_.HttpClient) {
    state_.HttpClient->SizeLabel = this;
    state_.HttpClient->ProgressBar = this;
    state_.HttpClient->CaptionControl = this;
    state_.HttpClient->SslVersion = kTlsV1_2;
  }
  httpReady_ = state_.HttpClient != nullptr;
}

TF_Download::~TF_Download() = default;

const QImage& TF_Download::CellImage(int32_t imageIndex) const {
  static const QImage none;
  return imageIndex >= 0 && imageIndex < int32_t(cells_.size()) ? cells_[size_t(imageIndex)] : none;
}

void TF_Download::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormActivate();
}

void TF_Download::FormActivate() {
  if (firstActivation_) {
    firstActivation_ = false;
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, kDesignWidth, kDesignHeight);
    const int w = std::max(kDesignWidth, area.width() * 4 / 5);
    const int h = std::max(kDesignHeight, area.height() * 4 / 5);
    resize(w, h);
    move(area.left() + (area.width() - w) / 2, area.top() + (area.height() - h) / 2);
    CB_DownMode->setCurrentIndex(kDownNew);
  } else if (CB_DownMode->currentIndex() < 0) {
    CB_DownMode->setCurrentIndex(kDownNew);
  }
  state_.DownloadStop = false;
  state_.DownloadClosing = false;
  closing_ = false;
  T_CloseForm->stop();
  closeResult_ = 0;
  listReady_ = true;
  setWindowTitle(Q(DownloadCaption()));
  B_Download->setEnabled(false);
  B_Stop->setEnabled(false);
  PB_DownProgress->hide();
  I_DownThumb->hide();
  GB_DownThumb->setTitle(QString());

  state_.InfoLoaded = false;
  state_.FirstDownloadedPath.clear();
  if (httpReady_) {
    if (env_.Options && env_.Options->SecureMethodInd >= kSslV2 && env_.Options->SecureMethodInd <= kTlsV1_3)
      state_.HttpClient->SslVersion = env_.Options->SecureMethodInd;
    state_.HttpClient->ConnectTimeout = kDefaultConnectTimeout;
  }
  if (env_.ReadSources) {
    env_.Sources = env_.ReadSources();
    state_.ServerHosts = env_.Sources.ServerHosts;
    // A source the file no longer names gives way to the one a new player starts with.
    if (env_.Options && !IsSourceHost(env_.Sources.ServerHosts, env_.Options->DnSrc))
      env_.Options->DnSrc = DefaultDnSrc(env_.Sources);
  }
  // Without a source there is nothing to ask anyone: the window says where to name one.
  const bool noSource = env_.Sources.Empty();
  L_NoSource->setText(Q(LangFormat("MS_NoDnSrc", {env_.Sources.FileToEdit})).replace("\r\n", "\n"));
  L_NoSource->setVisible(noSource);

  ResetProgress();
  SetDownloadBusy(false);
  setWindowTitle(Q(DownloadCaption()));
  LoadDownloadListIntoView();
  RefreshDownloadedMarks();

  if (LV_Downs->count() > 0) {
    if (LV_Downs->selectedItems().isEmpty()) LV_Downs->setCurrentRow(0);
    ShowSelectedDownload(false);
  }
  LV_Downs->setFocus();

  if (noSource) B_Download->setEnabled(false);
  if (!httpReady_) {
    MsgBox(LangFormat("MS_TcpNotInstalled", {}), kMbIconExclamation);
  } else if (StartAtOnce && !noSource) {
    StartAtOnce = false;
    T_StartDownload->start();
  }
}

void TF_Download::LoadDownloadListIntoView() {
  const std::string folder = DownloadListFolder(env_.Options ? *env_.Options : TGameOptions(), env_.sThumbDir);
  if (!LoadDownloadList(list_, folder, state_.sJigsawDir, state_.sJigExt)) return;
  cells_.assign(list_.Cells.size(), QImage());
  for (size_t i = 0; i < list_.Cells.size(); ++i) {
    if (list_.Cells[i]) cells_[i] = DibToImage(**list_.Cells[i]);
  }
  const QSignalBlocker quiet(LV_Downs);
  LV_Downs->clear();
  for (const TDownloadItem& item : list_.Items) {
    // The name comes from the list file: shown as text, never as markup.
    auto* row = new QListWidgetItem(Q(OutsideText(item.Caption)), LV_Downs);
    row->setToolTip(PlainToolTip(row->text()));
  }
  setWindowTitle(Q(DownloadCaption()));
}

void TF_Download::RefreshDownloadedMarks() {
  ::RefreshDownloadedMarks(list_, state_.sJigsawDir, state_.sJigExt);
  LV_Downs->viewport()->update();
  setWindowTitle(Q(DownloadCaption()));
}

void TF_Download::ShowDownloadThumb(const std::string& name) {
  I_DownThumb->hide();
  GB_DownThumb->setTitle(QString());
  const std::string path =
      DownloadListFolder(env_.Options ? *env_.Options : TGameOptions(), env_.sThumbDir) + name + kPreviewExt;
  if (name.find('/') != std::string::npos) return;
  TDibHolder picture;
  if (!LoadJpegPreviewFile(*picture, path)) return;
  const QImage image = DibToImage(*picture);
  if (image.isNull()) return;
  I_DownThumb->setPixmap(
      QPixmap::fromImage(image.scaled(I_DownThumb->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  I_DownThumb->show();
  GB_DownThumb->setTitle(NoShortcut(Q(OutsideText(name))));
}

void TF_Download::ShowSelectedDownload(bool fromChange) {
  if ((fromChange && !LV_Downs->hasFocus()) || state_.DownloadClosing) return;
  const bool hadFocus = LV_Downs->hasFocus();
  I_DownThumb->hide();
  GB_DownThumb->setTitle(QString());
  const int32_t selected = SelectedIndex();
  if (selected >= 0) {
    ShowDownloadThumb(list_.Items[size_t(selected)].Caption);
    B_Download->setEnabled(!env_.Sources.Empty());
    setWindowTitle(Q(DownloadCaption()));
    if (hadFocus) LV_Downs->setFocus();
  }
}

void TF_Download::LV_DownsChange() { ShowSelectedDownload(true); }

void TF_Download::B_DownloadClick() {
  if (!env_.Options || env_.Sources.Empty()) return;
  RunDownload(state_, *env_.Options, *this, false, PauseMs);
}

void TF_Download::T_StartDownloadTimer() {
  T_StartDownload->stop();
  if (!env_.Options || env_.Sources.Empty()) return;
  RunDownload(state_, *env_.Options, *this, true, PauseMs);
}

// Stop also cuts off the transfer under way, so a source that went silent cannot hold the run.
void TF_Download::B_StopClick() {
  if (!httpReady_) return;
  state_.DownloadStop = true;
  state_.HttpClient->Disconnect();
}

void TF_Download::B_OkClick() { StopDownloadAndClose(1); }

void TF_Download::B_HelpClick() {
  if (env_.HelpFile) HtmlHelpA(env_.Help, env_.HelpFile(), HH_DISPLAY_TOPIC, "download.htm");
}

void TF_Download::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    B_HelpClick();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TF_Download::DeleteDownloadFiles() {
  if (!env_.sDnThumbFile.empty()) unlink(env_.sDnThumbFile.c_str());
  if (!env_.sDnListFile.empty()) unlink(env_.sDnListFile.c_str());
  if (!env_.sDnHeaderFile.empty()) unlink(env_.sDnHeaderFile.c_str());
}

void TF_Download::StopDownloadAndClose(int result) {
  state_.DownloadRunning = false;
  if (state_.DownloadClosing) return;
  state_.DownloadClosing = true;
  if (httpReady_) {
    state_.HttpClient->Disconnect();
    closeResult_ = result;
    T_CloseForm->start();
  } else {
    DeleteDownloadFiles();
    closing_ = true;
    done(result);
  }
}

void TF_Download::T_CloseFormTimer() {
  if (state_.HttpClient && state_.HttpClient->Connected()) return;
  T_CloseForm->stop();
  DeleteDownloadFiles();
  closing_ = true;
  done(closeResult_);
}

void TF_Download::closeEvent(QCloseEvent* event) {
  if (closing_) {
    QDialog::closeEvent(event);
    return;
  }
  event->ignore();
  StopDownloadAndClose(0);
}

void TF_Download::reject() {
  if (closing_) {
    QDialog::reject();
    return;
  }
  StopDownloadAndClose(0);
}

// --- TDownloadWindowView ----------------------------------------------------------------------

std::string TF_Download::LangFormat(const std::string& key, const std::vector<std::string>& args) {
  return LangFormatIn(kLangDownload, key, args);
}

std::string TF_Download::LangFormatIn(int32_t section, const std::string& key, const std::vector<std::string>& args) {
  const std::string format = env_.Lang ? GetLangText(*env_.Lang, section, key) : key;
  return FormatWithArgs(format, args);
}

int TF_Download::MsgBox(const std::string& text, int flags) { return ShowMessageBox(text, kProgramTitle, flags); }

std::string TF_Download::DownloadCaption() {
  if (env_.Lang && !env_.Lang->DownloadCaption.empty()) return env_.Lang->DownloadCaption;
  return env_.Lang ? GetLangString(*env_.Lang, kLangDownload, "FormCaption") : "Download Jigsaws";
}

void TF_Download::SetCaption(const std::string& caption) { setWindowTitle(Q(caption)); }

void TF_Download::SetProgressMax(int32_t max) { PB_DownProgress->setMaximum(std::max(max, 0)); }

void TF_Download::SetProgressPosition(int32_t position) {
  if (position <= PB_DownProgress->maximum()) PB_DownProgress->setValue(position);
}

void TF_Download::ResetProgress() {
  PB_DownProgress->setRange(0, 100);
  PB_DownProgress->setValue(0);
  L_DownSize->clear();
}

void TF_Download::SetSizeText(const std::string& text) { L_DownSize->setText(Q(text)); }

// Transfers block: the window answers Stop and Exit from here.
void TF_Download::ProcessMessages() { QCoreApplication::processEvents(); }

int32_t TF_Download::ItemCount() { return int32_t(list_.Items.size()); }

std::string TF_Download::ItemCaption(int32_t index) {
  return index >= 0 && index < ItemCount() ? list_.Items[size_t(index)].Caption : std::string();
}

int32_t TF_Download::ItemState(int32_t index) {
  return index >= 0 && index < ItemCount() ? list_.Items[size_t(index)].StateIndex : 0;
}

void TF_Download::SetItemState(int32_t index, int32_t state) {
  if (index < 0 || index >= ItemCount()) return;
  list_.Items[size_t(index)].StateIndex = state;
  LV_Downs->viewport()->update();
}

void TF_Download::ShowItem(int32_t index) {
  if (index < 0 || index >= LV_Downs->count()) return;
  {
    const QSignalBlocker quiet(LV_Downs);
    LV_Downs->setCurrentRow(index);
  }
  LV_Downs->scrollToItem(LV_Downs->item(index));
  ShowDownloadThumb(list_.Items[size_t(index)].Caption);
}

void TF_Download::RefreshList() {
  LV_Downs->viewport()->update();
  update();
}

void TF_Download::SetErrorPage(const std::string& text) {
  errorPage_ = text;
  M_DownError->setPlainText(Q(text));
}

std::string TF_Download::ErrorPage() { return errorPage_; }

int32_t TF_Download::SelectedIndex() {
  const QList<QListWidgetItem*> selected = LV_Downs->selectedItems();
  return selected.isEmpty() ? -1 : LV_Downs->row(selected.front());
}

int32_t TF_Download::DownMode() { return CB_DownMode->currentIndex(); }

void TF_Download::SetDownloadBusy(bool busy) {
  B_Download->setEnabled(!busy);
  CB_DownMode->setEnabled(!busy);
  LV_Downs->setEnabled(!busy);
  B_Stop->setEnabled(busy);
  PB_DownProgress->setVisible(busy);
  L_DownSize->setVisible(busy);
  ResetProgress();
}

void TF_Download::Pause(int32_t ms) {
  if (ms <= 0) {
    QCoreApplication::processEvents();
    return;
  }
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// --- TLangForm --------------------------------------------------------------------------------

void TF_Download::SetFormCaption(const std::string& text) { setWindowTitle(Q(text)); }

void TF_Download::SetCaption(const std::string& component, const std::string& text) {
  SetControlCaption(this, component, Q(text));
}

void TF_Download::SetHint(const std::string& component, const std::string& hint) {
  SetControlHint(this, component, Q(hint));
}

void TF_Download::SetItem(const std::string& list, int32_t index, const std::string& text) {
  if (list == "CB_DownMode" && index >= 0 && index < CB_DownMode->count()) CB_DownMode->setItemText(index, Q(text));
}

void TF_Download::SetText(const std::string&, const std::string&) {}
std::vector<TLangMenuItem> TF_Download::MenuItems(const std::string&) const { return {}; }
std::vector<std::string> TF_Download::Pages(const std::string&) const { return {}; }

int32_t TF_Download::ItemCount(const std::string& list) const {
  return list == "CB_DownMode" ? CB_DownMode->count() : 0;
}

int32_t TF_Download::Position(const std::string&) const { return 0; }
void TF_Download::TextsChanged() {}
