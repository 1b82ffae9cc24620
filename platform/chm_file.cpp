#include "platform/chm_file.h"

#include <chm_lib.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

namespace {

// A compiled help file starts with "ITSF"; anything else is not handed to the reader.
bool LooksLikeChm(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0x60) return false;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char magic[4] = {};
  const bool ok =
      std::fread(magic, 1, 4, f) == 4 && magic[0] == 'I' && magic[1] == 'T' && magic[2] == 'S' && magic[3] == 'F';
  std::fclose(f);
  return ok;
}

int CollectName(struct chmFile*, struct chmUnitInfo* ui, void* context) {
  auto* names = static_cast<std::vector<std::string>*>(context);
  names->emplace_back(ui->path);
  return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

TChmFile::TChmFile() = default;
TChmFile::~TChmFile() { Close(); }

bool TChmFile::Open(const std::string& path) {
  Close();
  if (!LooksLikeChm(path)) return false;
  file_ = chm_open(path.c_str());
  if (!file_) return false;
  path_ = path;
  return true;
}

void TChmFile::Close() {
  if (file_) chm_close(file_);
  file_ = nullptr;
  path_.clear();
}

bool TChmFile::HasObject(std::string_view name) const {
  if (!file_) return false;
  const std::string path = ChmObjectPath(name);
  chmUnitInfo ui{};
  return chm_resolve_object(file_, path.c_str(), &ui) == CHM_RESOLVE_SUCCESS;
}

bool TChmFile::ReadObject(std::string_view name, std::vector<uint8_t>& out) const {
  out.clear();
  if (!file_) return false;
  const std::string path = ChmObjectPath(name);
  chmUnitInfo ui{};
  if (chm_resolve_object(file_, path.c_str(), &ui) != CHM_RESOLVE_SUCCESS) return false;
  if (ui.length > kMaxChmObject) return false;
  out.resize(size_t(ui.length));
  if (ui.length == 0) return true;
  const LONGINT64 got = chm_retrieve_object(file_, &ui, out.data(), 0, LONGINT64(ui.length));
  if (got != LONGINT64(ui.length)) {
    out.clear();
    return false;
  }
  return true;
}

std::vector<std::string> TChmFile::ObjectNames() const {
  std::vector<std::string> names;
  if (file_) chm_enumerate(file_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, CollectName, &names);
  return names;
}

std::string ChmObjectPath(std::string_view link, std::string_view base) {
  std::string_view l = link;
  const size_t cut = l.find_first_of("#?");
  if (cut != std::string_view::npos) l = l.substr(0, cut);
  std::string joined;
  if (!l.empty() && l[0] == '/') {
    joined = std::string(l);
  } else {
    // Relative to the folder of the page it came from.
    std::string b(base.empty() ? std::string_view("/") : base);
    if (b[0] != '/') b.insert(b.begin(), '/');
    joined = b.substr(0, b.rfind('/') + 1) + std::string(l);
  }
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= joined.size()) {
    const size_t slash = joined.find('/', start);
    const std::string part = joined.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  std::string out;
  for (const std::string& p : parts) out += "/" + p;
  return out.empty() ? std::string("/") : out;
}

namespace {

// Pages and pictures come out of the help file; a link to another page of it is followed in
// the same window.
class THelpBrowser : public QTextBrowser {
 public:
  THelpBrowser(const std::unique_ptr<TChmFile>& chm, QWidget* parent) : QTextBrowser(parent), chm_(chm) {
    setObjectName(QStringLiteral("TB_Help"));
    setOpenLinks(true);
    setOpenExternalLinks(false);
  }

  QVariant loadResource(int type, const QUrl& name) override {
    // Relative names are taken from the folder of the page shown; other schemes are not ours.
    if (!name.scheme().isEmpty() && name.scheme() != QLatin1String("chm")) return {};
    const std::string path = ChmObjectPath(name.path().toStdString(), source().path().toStdString());
    std::vector<uint8_t> bytes;
    if (!chm_ || !chm_->ReadObject(path, bytes)) return {};
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    if (type == QTextDocument::ImageResource) {
      QImage image;
      image.loadFromData(data);
      return image;
    }
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
      return QString::fromUtf8(data);
    return data;
  }

 private:
  const std::unique_ptr<TChmFile>& chm_;
};

class TChmHelpViewer : public THelpViewer {
 public:
  ~TChmHelpViewer() override {
    if (owner_) owner_->removeEventFilter(&watch_);
    delete window_;
  }

  void ShowTopic(const std::string& helpFile, const std::string& topic) override {
    // A file that cannot be read, or lacks the topic, leaves the window as it was.
    if (!chm_ || chm_->Path() != helpFile) {
      auto chm = std::make_unique<TChmFile>();
      if (!chm->Open(helpFile) || !chm->HasObject(topic)) return;
      chm_ = std::move(chm);
    } else if (!chm_->HasObject(topic)) {
      return;
    }
    if (!window_) Build();
    QUrl url;
    url.setScheme(QStringLiteral("chm"));
    url.setPath(QString::fromStdString(ChmObjectPath(topic)));
    browser_->clearHistory();
    browser_->setSource(url, QTextDocument::HtmlResource);
    KeepAbove(QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow());
    window_->show();
    window_->raise();
    window_->activateWindow();
  }

 private:
  // Sees the owner hide: the help then passes to the window under it (the game, once the
  // browser is closed), or goes with the game's own window.
  class TOwnerWatch : public QObject {
   public:
    explicit TOwnerWatch(TChmHelpViewer& viewer) : viewer_(viewer) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
      // A window manager minimising the owner takes its transients along by itself.
      if (event->type() == QEvent::Hide && !event->spontaneous() && watched == viewer_.owner_) viewer_.OwnerHidden();
      return false;
    }

   private:
    TChmHelpViewer& viewer_;
  };

  // The window belongs to the window that asked for help: a dialog-type window transient for
  // it, which the window manager keeps in front of it and which does not outlive the game's
  // windows. Asked from a modal window (the browser, a dialog) it is modal to that window: a
  // window manager keeps a modal transient above its modal parent, but may stack a plain one
  // under it, and the modal window would then keep the player out of the help.
  void KeepAbove(QWidget* asker) {
    if (asker) asker = asker->window();
    if (!asker || asker == window_ || window_->parentWidget() == asker) return;
    const QRect place = window_->geometry();
    const bool placed = window_->testAttribute(Qt::WA_Moved);
    if (owner_) owner_->removeEventFilter(&watch_);
    owner_ = asker;
    owner_->installEventFilter(&watch_);
    window_->setParent(asker, kHelpWindowFlags);
    window_->setWindowModality(asker->isModal() ? Qt::WindowModal : Qt::NonModal);
    if (placed) window_->setGeometry(place);
  }

  void OwnerHidden() {
    if (!window_ || !window_->isVisible()) return;
    QWidget* under = owner_ && owner_->parentWidget() ? owner_->parentWidget()->window() : nullptr;
    if (!under || !under->isVisible()) {
      window_->hide();
      return;
    }
    KeepAbove(under);
    window_->show();
  }

  static constexpr Qt::WindowFlags kHelpWindowFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                      Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

  void Build() {
    window_ = new QWidget(nullptr, kHelpWindowFlags);
    window_->setObjectName(QStringLiteral("F_HelpViewer"));
    // Esc closes it, as it closes the game's dialogs.
    auto* close = new QAction(window_);
    close->setShortcut(Qt::Key_Escape);
    close->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(close, &QAction::triggered, window_, &QWidget::close);
    window_->addAction(close);
    window_->setWindowTitle(QApplication::applicationName());
    browser_ = new THelpBrowser(chm_, window_);
    auto* back = new QPushButton(QStringLiteral("◀"), window_);
    back->setObjectName(QStringLiteral("B_Back"));
    auto* forward = new QPushButton(QStringLiteral("▶"), window_);
    forward->setObjectName(QStringLiteral("B_Forward"));
    for (QPushButton* b : {back, forward}) b->setFixedWidth(40);
    back->setEnabled(false);
    forward->setEnabled(false);
    QObject::connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    QObject::connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    QObject::connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    QObject::connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    QObject::connect(browser_, &QTextBrowser::sourceChanged, window_, [this] {
      const QString title = browser_->documentTitle();
      window_->setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
    });
    auto* bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addWidget(forward);
    bar->addStretch(1);
    auto* all = new QVBoxLayout(window_);
    all->setContentsMargins(6, 6, 6, 6);
    all->addLayout(bar);
    all->addWidget(browser_, 1);
    window_->resize(640, 560);
  }

  std::unique_ptr<TChmFile> chm_;
  TOwnerWatch watch_{*this};
  QPointer<QWidget> owner_;
  QPointer<QWidget> window_;
  THelpBrowser* browser_ = nullptr;
};

}  // namespace

std::unique_ptr<THelpViewer> CreateChmHelpViewer() { return std::make_unique<TChmHelpViewer>(); }
