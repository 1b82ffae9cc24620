#pragma once
#include <QDialog>
#include <QImage>
#include <QPixmap>

#include <functional>
#include <string>
#include <vector>

#include "download/download_list.h"
#include "foundation/html_help.h"
#include "foundation/lang.h"
#include "foundation/lang_forms.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

// The download files in the per-user data folder that closing the window removes.
constexpr char kDnListFileName[] = "_jigsaws.txt";
constexpr char kDnThumbFileName[] = "_thumb.jpg";
constexpr char kDnHeaderFileName[] = "_header.txt";

// What the download window works with; its owner fills it before the first show.
struct TDownloadEnv {
  TGameOptions* Options = nullptr;       // DnSrc, UseSecure, SecureMethodInd, ThumbPath; a source taken is written back
  const TLanguageState* Lang = nullptr;  // null: every text is its key
  std::string sThumbDir;                 // the program's list folder, used when ThumbPath is empty
  std::string sJigsawDir;                // the player's jigsaws
  std::string sTempDir;                  // archives are fetched here
  std::string sJigExt = ".zvq";
  std::string sDnListFile;    // sAppDataDir + kDnListFileName
  std::string sDnThumbFile;   // sAppDataDir + kDnThumbFileName
  std::string sDnHeaderFile;  // sAppDataDir + kDnHeaderFileName
  TDownloadSources Sources;   // the two sources; none set: the window says so and asks nobody
  // Reads the sources file again each time the window opens, so an edit made while the game
  // runs counts; unset: Sources stays as given.
  std::function<TDownloadSources()> ReadSources;
  // Makes the HTTP client; one that is null or not Ready() leaves downloads unavailable.
  std::function<std::unique_ptr<TMyHttp>()> MakeHttpClient = [] { return std::make_unique<TMyHttp>(); };
  THtmlHelp Help;
  std::function<std::string()> HelpFile;  // the current help file
};

// The download window: the jigsaws of the download list with their previews, fetched one, the
// new ones or all of them from the current download source. Shown modally with exec(); exec()
// returns 1 for the Exit button and 0 when the window is closed otherwise.
class TF_Download : public QDialog, public TDownloadWindowView, public TLangForm {
 public:
  explicit TF_Download(TDownloadEnv env, QWidget* parent = nullptr);
  ~TF_Download() override;

  // Set before exec(): the window starts downloading (mode "New Jigsaws" on the first show)
  // 100 ms after it appears. Cleared when used.
  bool StartAtOnce = false;
  // sJigsawDir + archive name of the first jigsaw unpacked since the window was last shown;
  // empty when none.
  const std::string& FirstDownloadedPath() const { return state_.FirstDownloadedPath; }

  // The download's state (the HTTP client's trusted certificates and time limits).
  TDownloadState& State() { return state_; }
  const TDownloadList& List() const { return list_; }
  // The pause after each jigsaw of a run.
  int32_t PauseMs = kDownloadPauseMs;

  // Handlers of the controls, callable as the controls call them.
  void B_DownloadClick();
  void B_StopClick();
  void B_OkClick();
  void B_HelpClick();
  void T_StartDownloadTimer();
  void T_CloseFormTimer();
  void StopDownloadAndClose(int result);

  // TDownloadWindowView
  std::string LangFormat(const std::string& key, const std::vector<std::string>& args) override;
  std::string LangFormatIn(int32_t section, const std::string& key, const std::vector<std::string>& args) override;
  int MsgBox(const std::string& text, int flags) override;
  std::string DownloadCaption() override;
  void SetCaption(const std::string& caption) override;
  void SetProgressMax(int32_t max) override;
  void SetProgressPosition(int32_t position) override;
  void ResetProgress() override;
  void SetSizeText(const std::string& text) override;
  void ProcessMessages() override;
  int32_t ItemCount() override;
  std::string ItemCaption(int32_t index) override;
  int32_t ItemState(int32_t index) override;
  void SetItemState(int32_t index, int32_t state) override;
  void ShowItem(int32_t index) override;
  void RefreshList() override;
  void SetErrorPage(const std::string& text) override;
  std::string ErrorPage() override;
  int32_t SelectedIndex() override;
  int32_t DownMode() override;
  void SetDownloadBusy(bool busy) override;
  void Pause(int32_t ms) override;

  // TLangForm
  void SetFormCaption(const std::string& text) override;
  void SetCaption(const std::string& component, const std::string& text) override;
  void SetHint(const std::string& component, const std::string& hint) override;
  void SetItem(const std::string& list, int32_t index, const std::string& text) override;
  void SetText(const std::string& field, const std::string& text) override;
  std::vector<TLangMenuItem> MenuItems(const std::string& menu) const override;
  std::vector<std::string> Pages(const std::string& pageControl) const override;
  int32_t ItemCount(const std::string& list) const override;
  int32_t Position(const std::string& scrollBar) const override;
  void TextsChanged() override;

  // For the list's drawing.
  bool ListReady() const { return listReady_; }
  const QImage& CellImage(int32_t imageIndex) const;
  const QPixmap& Tick() const { return tick_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;

 private:
  // The window's parts, made once by the constructor.
  void BuildList();
  void BuildControlBar();
  void LayOutForm();
  void ConnectTimersAndButtons();
  void ConnectHttpClient();
  void FormActivate();
  void LoadDownloadListIntoView();
  void RefreshDownloadedMarks();
  void ShowDownloadThumb(const std::string& name);
  void ShowSelectedDownload(bool fromChange);
  void LV_DownsChange();
  void DeleteDownloadFiles();

  TDownloadEnv env_;
  TDownloadState state_;
  TDownloadList list_;
  std::vector<QImage> cells_;  // the list's cells as images; null where the list has none
  QPixmap tick_;               // I_DownGull: the 24 x 24 tick over a transparent ground
  bool listReady_ = false;
  bool firstActivation_ = true;
  bool httpReady_ = false;
  bool closing_ = false;  // the window is being hidden by the close timer
  int closeResult_ = 0;
  std::string errorPage_;  // M_DownError

  QLabel* L_NoSource = nullptr;  // says that no source is set, and where to set one
  QLabel* L_DownSize = nullptr;  // the size line under the progress bar
  QWidget* P_ControlBar = nullptr;
  QProgressBar* PB_DownProgress = nullptr;
  QPlainTextEdit* M_DownError = nullptr;
  QListWidget* LV_Downs = nullptr;
  QPushButton* B_Help = nullptr;
  QGroupBox* GB_DownThumb = nullptr;
  QLabel* I_DownThumb = nullptr;
  QLabel* L_DownMode = nullptr;
  QComboBox* CB_DownMode = nullptr;
  QPushButton* B_Download = nullptr;
  QPushButton* B_Stop = nullptr;
  QPushButton* B_Ok = nullptr;
  QTimer* T_StartDownload = nullptr;
  QTimer* T_CloseForm = nullptr;
};
