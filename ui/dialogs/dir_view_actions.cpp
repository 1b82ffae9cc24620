// The browser's file actions: open, save, cancel, help, downloads and deleting.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <algorithm>
#include <filesystem>

#include "foundation/file_helpers.h"
#include "foundation/text_format.h"
#include "game/game_paths.h"
#include "game/jigsaw_file.h"
#include "platform/message_box.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/dialogs/dir_view_internal.h"

void TF_DirView::B_OkClick() {
  const bool load = model_.BrowseMode == kBrowseLoad;
  std::string text(TrimBlanks(E_FileName->text().toStdString()));
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
  if (IsRegularFile(path)) {
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
  if (IsRegularFile(path)) {
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
  if (!IsRegularFile(path)) {
    T_AddItem.start();
    return;
  }
  FillFileLists();
  const std::string caption = FileStemOf(path);
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
  if (!IsRegularFile(path)) return;
  if (ShowMessageBox(WideFormat(Text(kLangLoadSave, "Q_DeleteFile"), {caption}), kProgramTitle,
                     kMbOkCancel | kMbIconQuestion) != kIdOk)
    return;
  const int oldRow = list->row(list->selectedItems().first());
  if (!DeleteListedFile(model_, page, path)) {
    Warn(WideFormat(Text(kLangLoadSave, "MS_CantDeleteFile"),
                    {caption + (page == kPageGames ? kSavedGameExtension : JigsawExtension)}));
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
