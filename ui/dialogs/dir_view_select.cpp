// The browser's opening: which pages it shows, and reading the selected file.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "foundation/dib_ops.h"
#include "foundation/file_helpers.h"
#include "foundation/text_format.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/dialogs/dir_view_internal.h"

void TF_DirView::FormActivate() {
  TGameSession& s = session_;
  model_.Page.SelectedKind = kSelectedNone;
  formReady_ = false;
  if (!IsRegularFile(model_.ResultPath)) model_.ResultPath.clear();
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
    const std::string name = !s.sSolve.empty() ? FileStemOf(s.sSolve) : FileStemOf(s.sJig);
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
    L_Thumb->setText(QString::fromStdString(FileStemOf(path)));
  } else {
    ShowThumbComment(kInvalidJigsawText, true);
    SetLevelPageEnabled(false);
    SetThumbVisible(false);
    L_Thumb->clear();
  }
  if (updateOk) B_Ok->setEnabled(sel.CanOpen);
  return sel.CanOpen;
}
