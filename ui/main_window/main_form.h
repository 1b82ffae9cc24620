#pragma once
#include <QFrame>
#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "foundation/image_control.h"
#include "foundation/lang.h"
#include "foundation/lang_forms.h"
#include "game/background_pictures.h"
#include "game/color_picker.h"
#include "game/download_sources.h"
#include "game/field.h"
#include "game/game_session.h"
#include "game/options_choices.h"
#include "game/settings_file.h"
#include "ui/dialogs/save_solved_image.h"
#include "ui/main_window/art_cursors.h"
#include "ui/main_window/held_input.h"

class QAction;
class QDialog;
class THelpViewer;
class TF_Help;
class TF_Info;
class TF_Options;
struct TColorPicker;
class QLabel;
class QMenu;
class TF_DirView;
class TF_Download;
class TF_Main;
class TProgressPanel;
class TToolbarPanel;
struct TMenuKeyItem;

// The play field `I_Field`: shows the field's screen buffer at the screen's own pixels and
// hands mouse and wheel input to the field, in field (device pixel) coordinates.
class TFieldView : public QWidget {
 public:
  explicit TFieldView(TF_Main& main);
  // Device pixels per logical pixel of this widget.
  double Ratio() const;
  // A widget point in field coordinates.
  QPoint FieldPoint(const QPointF& p) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TF_Main& main_;
};

// The main window: the toolbar, the play field, the progress panel, the popup menu and the
// autosave timer. It is the host of everything below it that the player must see.
class TF_Main : public QMainWindow,
                public TLangMainForm,
                public TFieldHost,
                public TSessionHost,
                public TBackgroundPickHost,
                public TOptionsApplyHost {
 public:
  // programDir: the program folder (ends with '/').
  explicit TF_Main(const std::string& programDir);
  ~TF_Main() override;

  // TFieldHost (main_hosts.cpp)
  void InvalidateFieldRect(int32_t x, int32_t y, int32_t w, int32_t h) override;
  void Wait(int32_t ms) override;
  void SetModified() override;
  void SaveImageEnabled(bool enabled) override;
  // Input that comes while a long operation runs waits here for its end.
  THeldInput& HeldInput() { return heldInput_; }
  int32_t ShowFinish() override;
  void SaveSolvedImage() override;
  // The pocket command: shows or hides it with its toolbar face and menu check.
  void ShowPocket(int32_t pocket, bool show) override;
  void WindowHidden(int32_t index) override;
  void PocketChanged(int32_t pocket) override;
  void MainWindowSize(int32_t& width, int32_t& height) override;
  void SetMainWindowSize(int32_t width, int32_t height) override;
  void GrabCursor(bool on) override;
  void ThumbnailResized() override;
  void ToolbarUnhot() override;
  void WeightModeChanged(bool on) override;
  void ActiveSideChanged(int32_t side) override;
  bool LoadBackgroundPicture(int32_t code) override;  // also TBackgroundPickHost
  void SelectionChanged(bool any) override;
  void UpdateWindowMenuCaptions() override;
  void SetFieldCursor(TSkinCursor cursor) override;
  // TSessionHost
  void ShowProgress(const std::string& key, int32_t steps) override;
  void HideProgress() override;
  void ShowMessage(const std::string& text) override;
  void PlayArea(int32_t& width, int32_t& height) override;
  // PocketChanged above serves the session too.
  // TBackgroundPickHost
  void SetWindowBackground(int32_t window, int32_t value) override;
  void SetFieldBackground(int32_t value) override;
  void RedrawBackgrounds() override;
  // TOptionsApplyHost
  void ClearSelection() override;  // of the active window
  void ShowFirstSide() override;
  void LoadLanguage(const std::string& path) override;

  TGameSession& Session() { return session_; }
  TField& Field() { return *field_; }
  TFieldView* P_Field() { return fieldView_; }

  TLanguageState& Lang() { return lang_; }
  TSettings& Settings() { return settings_; }
  TF_DirView& DirView() { return *dirView_; }
  // The persistent forms a language is loaded into.
  TLangForms LangForms();
  // The menu item of that component name, null for none. Its triggered signal runs the command.
  QAction* MenuAction(const std::string& name) const;
  QMenu* Menu() { return PM_Menu; }
  TToolbarPanel* Toolbar() { return toolbar_; }
  // A released key (with the shift state of that moment) run as a menu shortcut; false when
  // no enabled item has it.
  bool RunShortcut(int key, Qt::KeyboardModifiers modifiers);
  // True for the keys the game acts on (shortcut keys and Space).
  static bool IsShortcutKey(int key);
  // The recent-file items show the list.
  void RefreshRecentMenu();

  // TLangMainForm
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
  bool ToolbarButtonMenu(int32_t button, std::string& caption, std::string& shortcut) const override;
  void SetToolbarButtonHint(int32_t button, const std::string& hint) override;
  void SetThumbnailCaption(const std::string& text) override;
  void RefreshPocketCaptions() override;

  // Runs the browser modally and returns its result (1 OK); tests drive it instead.
  std::function<int(TF_DirView&)> RunBrowser;

  // The program's start-up once the window is made: the window shown in the work area, the
  // settings read (they may switch to full screen), `whileStarting` run (the title card's
  // time), the window placed with its frame inside the work area, the start-up choice.
  void StartUp(const std::function<void()>& whileStarting);
  // Start-up, once the window is shown: the settings (and with them the language), then the
  // browser preset at the most recent file.
  void ReadStartupSettings();
  void StartupChoice();
  // Exit: the settings file, with the values that live in controls; a file that cannot be
  // written is told once, with the reason.
  void WriteExitSettings();
  // Opens a jigsaw or continues a saved game. Without choices a jigsaw opens at the default
  // level; with them CurrentLevel already describes it (the browser's level page).
  bool StartGame(const std::string& path, const TOpenChoices* choices = nullptr);
  // The open command: asks to save changes, then opens a saved game directly (direct and the
  // file is one) or through the browser preset at path. True when a game was opened.
  bool OpenFile(const std::string& path, bool direct);
  // The download command, and the offer to open the first jigsaw it downloaded.
  void DownloadCommand();
  void OpenFirstDownloaded();
  TF_Download& Download() { return *download_; }
  // Asks for a name in the browser's Save mode and saves there; false when cancelled or failed.
  bool SaveCurrent();
  // The save and save-as commands.
  bool SaveCommand();
  bool SaveAsCommand();
  void AutoSaveTimer();

  void RedrawField();
  // The field's size from the widget's size in device pixels.
  void FieldResized();

  // --- Services and commands of the popup menu (main_commands.cpp, main_report.cpp) ---
  // A message box over the window; "$D" in the text breaks the line. Returns the answer.
  int MsgBox(const std::string& text, int flags);
  void ShowHelpTopic(const std::string& topic);
  // The view state's backgrounds onto the windows, one picture at most.
  void ApplyWindowBackgrounds();
  // The persistent small windows, made on first use.
  TF_Info& Info();
  TF_Options& Options();
  TF_Help& QuickHelp();
  bool FullScreenOn() const { return fullScreenOn_; }
  // Out of full screen: the window with its frame and caption fills the screen's work area.
  void PlaceInWorkArea();
  // The screen's work area changed (a panel came or went).
  void WorkAreaChanged();
  std::string ReportFilePath() const;
  void MI_GameArrangeClick();
  void MI_GameGatherClick();
  void MI_PocketsTileClick();
  void MI_PocketsCascadeClick();
  void MI_GameThumbClick();
  void MI_GameGlassClick();
  void MI_GameBkgAllClick();
  void MI_GameBkgCurClick();
  void MI_GameInfoClick();
  void MI_GameWeightClick();
  void MI_OptionsClick();
  void MI_HelpReportClick();
  void MI_FullScreenClick();
  void MI_HelpContClick();
  void MI_HelpQuickClick();
  void MI_HelpHomePageClick();
  void MI_HelpProductHomePageClick();
  void MI_HelpCreditsClick();
  void MI_HelpAboutClick();
  // Runs a modal window (1 OK, 2 Cancel); tests answer instead.
  std::function<int(QDialog&)> RunModal;
  // Where the solved picture goes; empty: the desktop's save dialog asks.
  TSolvedImagePathChooser ChooseSolvedImagePath;
  // The menus follow: the single-window option changed, full screen switched.
  std::function<void()> OptionsChanged;
  std::function<void(bool)> FullScreenChanged;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ProgressStep(int32_t pos, int32_t max);
  // The commands that must not run during a long operation, and those that need a game.
  void SetCommandsEnabled(bool on);
  void EnableGameCommands(bool on);
  // Each toolbar button shows whether its menu item can be reached.
  void RefreshToolbarEnabled();
  void ApplyViewState();
  // After a full-screen switch: the sides are laid out for the size the field really got (a
  // window manager resizes later than the switch) and the pieces scaled from the size before.
  void FollowFullScreenSwitch();
  // The frame and caption the window manager puts around the window when it is not full screen.
  QMargins WindowFrame();
  // Outside full screen, until the window manager has framed the window (at most a moment):
  // whether the frame is known.
  bool AwaitWindowFrame();
  // The desktop's work area and window frame, in device pixels, into the field.
  void ReadWorkArea();
  int32_t ToolbarHeight() const;
  bool AskSaveChanges();
  void CreatePersistentForms();
  // Reads the sources file again: the player may have edited it since the last read.
  const TDownloadSources& LoadSources();
  void CreateMenu();
  void BuildMenuItems();
  void ConnectRecentFiles();
  void ConnectMenuCommands();
  void CreateToolbar();
  void SetMenuCaption(QAction* action, const std::string& caption);
  std::vector<TMenuKeyItem> MenuKeyTree() const;
  bool SaveTo(const std::string& path);
  // The browser's cached thumbnail of a saved file shows the game as saved.
  void RefreshSavedThumb(const std::string& path);
  int Modal(QDialog& dialog);
  // The menu's checks and captions and the toolbar's faces follow the windows.
  void BindWindowServices();
  void UpdateWindowToggle(int32_t pocket);
  int RunBackgroundPicker(const std::string& caption, const std::function<void(TColorPicker&)>& setup, int32_t& picked);

  TGameSession session_{*this};
  TLanguageState lang_;
  TSettings settings_;
  TSettingsEnv settingsEnv_;
  TDownloadSources sources_;  // the download sources of the sources file
  std::unique_ptr<TF_DirView> dirView_;
  std::unique_ptr<TF_Download> download_;
  QMenu* PM_Menu = nullptr;
  std::map<std::string, QAction*> actions_;
  TToolbarPanel* toolbar_ = nullptr;
  std::string saveImageCaption_;
  std::unique_ptr<TField> field_;
  TFieldView* fieldView_ = nullptr;
  TArtCursors cursors_;
  TProgressPanel* progress_ = nullptr;
  QTimer T_AutoSave;
  int lastKeyDown_ = 0;
  double lastAutoSave_ = 0;  // seconds since the epoch
  std::unique_ptr<TF_Info> info_;
  std::unique_ptr<TF_Options> options_;
  std::unique_ptr<TF_Help> quickHelp_;
  std::unique_ptr<THelpViewer> helpViewer_;
  TBackgroundButtons bkgButtons_;
  TImageControl I_BkgPic;  // the one background picture in use, Tag its code
  bool fullScreenOn_ = false;
  // The field size the pieces are laid out for while a full-screen switch settles.
  bool switchPending_ = false;
  int32_t switchFromW_ = 0, switchFromH_ = 0;
  QTimer T_SwitchSettle;
  QMargins normalFrame_;  // the frame last seen outside full screen
  THeldInput heldInput_{this, [this] { return field_ && field_->Busy; }};
};

// Mouse buttons and keyboard state as the field's handlers take them.
uint8_t FieldShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick);
