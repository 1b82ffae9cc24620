#pragma once
#include <QDialog>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "foundation/dib_image.h"
#include "foundation/lang.h"
#include "foundation/lang_forms.h"
#include "game/browser_model.h"

class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;
class QScrollBar;
class QTabWidget;
class QWidget;
class TDirViewImage;
class QFontMetricsF;

// A browser caption as shown in a cell of that text width: whole when it fits, else cut
// with an ellipsis.
QString FitCaption(const QFontMetricsF& fm, const QString& caption, int width);

// What the browser borrows from the main window. The owner keeps these alive.
struct TDirViewEnv {
  // Paths, CurrentLevel, DefaultLevel, the open game's names, its stored thumbnail and level.
  TGameSession* Session = nullptr;
  TLanguageState* Lang = nullptr;
  std::function<void(const std::string& topic)> ShowHelpTopic;
  // Shows the download window modally; returns the first jigsaw downloaded (may be empty).
  std::function<std::string()> ShowDownload;
};

// The puzzle browser: opens a jigsaw (through the level page) or a saved game, or names a
// saved game. The owner sets the mode and a path to preselect, runs exec(), and after result
// 1 reads ResultPath(); in Load mode the session's CurrentLevel then describes the chosen
// file and OpenChoices() holds the seed panel and fit-to-screen.
class TF_DirView : public QDialog, public TLangForm {
 public:
  explicit TF_DirView(TDirViewEnv env, QWidget* parent = nullptr);
  ~TF_DirView() override;

  void SetBrowseMode(int32_t mode) { model_.BrowseMode = mode; }
  int32_t BrowseMode() const { return model_.BrowseMode; }
  void SetResultPath(const std::string& path) { model_.ResultPath = path; }
  const std::string& ResultPath() const { return model_.ResultPath; }
  TOpenChoices OpenChoices() const { return OpenChoicesOf(model_); }
  const TDibImage& PreviewCopy() const { return *model_.PreviewCopy; }
  bool FitToScreenFlag() const { return model_.Page.FitToScreenFlag; }
  const std::string& ShapeName(TShapeStyle s) const { return shapeNames_[size_t(std::min(s, kLastShapeStyle))]; }
  const std::string& BorderName(TBorderStyle s) const { return borderNames_[size_t(std::min(s, kLastBorderStyle))]; }
  // After a save: the cached thumbnail of that file (when cached) from the stored thumbnail.
  void RefreshCachedThumb(const std::string& fileName, const TDibImage& picture);
  TBrowserModel& Model() { return model_; }
  // Runs the thumbnail loader to the end (tests, and a save that refreshes the cache).
  void LoadAllThumbs();

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

  // Component access for the owner's tests and the list's painter.
  QPixmap ThumbPixmap(int32_t index);
  bool FormReady() const { return formReady_; }

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildPages(QHBoxLayout* row);
  void BuildButtonBar(QHBoxLayout* row);
  void BuildContextMenus();
  void BuildLevelPage();
  void LoadArtwork();
  void FormActivate();
  void FillFileLists();
  void RefreshListImages();
  void SelectItem(QListWidget* list, int32_t row);
  bool SelectFile(bool updateOk);
  void UpdateOkCaption();
  std::string SelectedPath();
  void PC_PagesChange();
  void ListClick(QListWidget* list);
  void B_OkClick();
  void B_CancelClick();
  void B_HelpClick();
  void B_ExtraClick();
  void OpenSelectedFile();
  void SaveToSelected();
  void DeleteSelected(TBrowserPage page);
  void DeleteAll(TBrowserPage page);
  void AfterDeletion(QListWidget* list, int32_t oldRow);
  void T_AddItemTimer();
  void StopLoader();

  // Level page.
  void ApplyLevelRecordToControls(const TLevelRecord& record);
  bool UpdatePieceCountShown();
  void DrawPieceSizePreview();
  void SetLevelPageEnabled(bool enabled);
  void SetThumbVisible(bool visible);
  void ShowThumbComment(const std::string& text, bool show);
  void ShowRotationState();
  void ShowFitToScreenState();
  void MoveSelections();
  void OptionClicked(QObject* source);
  void SetOkEnabled(std::optional<bool> enabled);
  void ShowThumbPicture(bool savedGame);
  void FitToForm();
  void CenterLevelPage();

  std::string Text(int32_t section, const char* key) const;
  void Warn(const std::string& text) const;

  TDirViewEnv env_;
  TGameSession& session_;
  TBrowserModel model_;
  bool formReady_ = false;
  bool levelPageEnabled_ = true;
  bool layoutPending_ = true;
  uint32_t buttonFaceColor_ = 0xF0F0F0;
  std::map<int32_t, QPixmap> pixmaps_;  // list thumbnails by cache index

  std::string shapeNames_[kShapeCount];
  std::string borderNames_[kBorderCount];
  std::string mixRandomText_, mixSpreadOutText_;
  std::string fitOnText_ = "FitOn", fitOffText_ = "FitOff";
  std::string rotateOnText_ = "RotateOn", rotateOffText_ = "RotateOff";

  // Artwork: hidden pictures of the form and the option strips (upper half normal faces,
  // lower half greyed).
  TDibHolder shapeMasks_, shapeBkg_, bordersPic_, mixPic_, rotationPic_, fitPic_;
  TDibHolder shapeStrip_, borderStrip_, mixStrip_, rotationStrip_, fitStrip_;
  TDibHolder previewDib_;

  // Controls, by their component names.
  QWidget* P_Form = nullptr;
  QTabWidget* PC_Pages = nullptr;
  QWidget* TS_Jigs = nullptr;
  QWidget* TS_Games = nullptr;
  QWidget* TS_Level = nullptr;
  QListWidget* LV_Jigs = nullptr;
  QListWidget* LV_Games = nullptr;
  QWidget* P_FileName = nullptr;
  QLabel* L_FileNameCap = nullptr;
  QLineEdit* E_FileName = nullptr;
  QWidget* P_ButBar = nullptr;
  QPushButton* B_Ok = nullptr;
  QPushButton* B_Cancel = nullptr;
  QPushButton* B_Extra = nullptr;
  QPushButton* B_Help = nullptr;
  QWidget* P_Seed = nullptr;
  QLabel* L_Seed = nullptr;
  QLineEdit* E_Seed = nullptr;
  QMenu* PM_Jigs = nullptr;
  QMenu* PM_Games = nullptr;
  QAction* PMI_JigsOpen = nullptr;
  QAction* PMI_JigsDel = nullptr;
  QAction* PMI_JigsDelAll = nullptr;
  QAction* PMI_GamesOpen = nullptr;
  QAction* PMI_GamesDel = nullptr;
  QAction* PMI_GamesDelAll = nullptr;
  QTimer T_AddItem;

  QWidget* P_LevelCenter = nullptr;
  QWidget* P_Thumb = nullptr;
  QLabel* L_Thumb = nullptr;
  TDirViewImage* I_Thumb = nullptr;
  QLabel* L_Comment = nullptr;
  QWidget* P_PieceSize = nullptr;
  QLabel* L_PieceSize = nullptr;
  QWidget* P_PieceSizeImage = nullptr;
  TDirViewImage* I_PieceSize = nullptr;
  QScrollBar* SB_PieceSize = nullptr;
  QWidget* P_Shapes = nullptr;
  QLabel* L_Shapes = nullptr;
  QWidget* P_ShapesInner = nullptr;
  QWidget* P_Borders = nullptr;
  QLabel* L_Borders = nullptr;
  QWidget* P_BordersInner = nullptr;
  QWidget* P_Mix = nullptr;
  QLabel* L_Mix = nullptr;
  QWidget* P_MixInner = nullptr;
  QWidget* P_Rotation = nullptr;
  QLabel* L_Rotation = nullptr;
  QWidget* P_RotationInner = nullptr;
  TDirViewImage* I_Rotation = nullptr;
  QWidget* P_FitToScreen = nullptr;
  QLabel* L_FitToScreen = nullptr;
  QWidget* P_FitToScreenInner = nullptr;
  TDirViewImage* I_FitToScreen = nullptr;
  QFrame* B_SelShape = nullptr;
  QFrame* B_SelBorder = nullptr;
  QFrame* B_SelMix = nullptr;
  QFrame* B_SelRotation = nullptr;
  QFrame* B_SelFitToScreen = nullptr;
  std::vector<TDirViewImage*> ShapeImages, BorderImages, MixImages;
};
