#include "foundation/lang_forms.h"

#include "foundation/piece_styles.h"
#include "foundation/text_format.h"

namespace {

bool IsSeparator(const TLangMenuItem& item) { return item.Caption == "-"; }

// Captions of controls keyed by their own names.
void CaptionsByName(const TLanguageState& st, TLangForm& form, int32_t section,
                    std::initializer_list<const char*> names) {
  for (const char* name : names) form.SetCaption(name, GetLangString(st, section, name));
}

std::string Indexed(const char* prefix, int32_t i) { return WideFormat("%s%d", {std::string(prefix), i}); }

void ApplyMain(const TLanguageState& st, TLangMainForm& f) {
  for (const TLangMenuItem& item : f.MenuItems("PM_Menu")) {
    if (IsSeparator(item)) continue;
    f.SetCaption(item.Name, GetLangString(st, kLangMainForm, item.Name));
    // Recent-file items (Tags from 100) keep the file names they show.
    for (const TLangMenuItem& sub : item.Items)
      if (!IsSeparator(sub) && sub.Tag < 100) f.SetCaption(sub.Name, GetLangString(st, kLangMainForm, sub.Name));
  }
  f.SetCaption("MI_HelpProductHomePage", GetLangString(st, kLangMainForm, "MI_HelpZorvaHomePage"));
  for (int32_t i = 0; i < kLangToolbarButtons; ++i) SetToolbarHint(f, i);
  f.SetCaption("SD_SaveImage", GetLangString(st, kLangMainForm, "SD_SaveImage"));
  f.TextsChanged();
}

void ApplyDirView(const TLanguageState& st, TLangForm& f) {
  CaptionsByName(st, f, kLangAll, {"B_Ok", "B_Cancel"});
  CaptionsByName(st, f, kLangLoadSave, {"L_Comment"});
  f.SetText(kRotateOnText, GetLangString(st, kLangLoadSave, "RotateOn"));
  f.SetText(kRotateOffText, GetLangString(st, kLangLoadSave, "RotateOff"));
  f.SetText(kFitOnText, GetLangString(st, kLangLoadSave, "FitOn"));
  f.SetText(kFitOffText, GetLangString(st, kLangLoadSave, "FitOff"));
  f.SetCaption("L_Mix", GetLangString(st, kLangLoadSave, "Mix"));
  const std::string mixRandom = GetLangString(st, kLangLoadSave, "Mix_Random");
  const std::string mixSpread = GetLangString(st, kLangLoadSave, "Mix_Spreadout");
  f.SetText(kMixRandomText, mixRandom);
  f.SetText(kMixSpreadOutText, mixSpread);
  f.SetHint(Indexed(kMixImages, 0), mixRandom);
  f.SetHint(Indexed(kMixImages, 1), mixSpread);
  for (const TShapeStyleRow& row : ShapeStyleRows()) {
    const std::string name = GetLangString(st, kLangLoadSave, row.NameKey);
    const int32_t i = int32_t(row.Style);
    f.SetText(Indexed(kShapeNames, i), name);
    f.SetHint(Indexed(kShapeImages, i), name);
  }
  for (int32_t i = 0; i <= 1; ++i) {
    const std::string name = GetLangString(st, kLangLoadSave, WideFormat("%sBorders%d", {std::string(), i}));
    f.SetText(Indexed(kBorderNames, i), name);
    f.SetHint(Indexed(kBorderImages, i), name);
  }
  CaptionsByName(st, f, kLangLoadSave, {"TS_Jigs", "TS_Games", "TS_Level", "L_FileNameCap"});
  for (const char* menu : {"PM_Jigs", "PM_Games"})
    for (const TLangMenuItem& item : f.MenuItems(menu))
      if (!IsSeparator(item)) f.SetCaption(item.Name, GetLangString(st, kLangLoadSave, item.Name));
  f.SetCaption("B_Extra", GetLangText(st, kLangLoadSave, "B_Extra"));  // may span two lines
  f.TextsChanged();
}

void ApplyInfo(const TLanguageState& st, TLangForm& f) {
  CaptionsByName(st, f, kLangAll, {"B_Ok"});
  f.SetFormCaption(GetLangString(st, kLangInfo, "FormCaption"));
  CaptionsByName(st, f, kLangInfo, {"L_Rotation", "L_JigCap"});
  f.TextsChanged();
}

void ApplyDownload(const TLanguageState& st, TLangForm& f) {
  f.SetFormCaption(st.DownloadCaption);
  CaptionsByName(st, f, kLangDownload, {"L_DownMode"});
  for (int32_t i = 0; i <= 2; ++i)
    f.SetItem("CB_DownMode", i, GetLangString(st, kLangDownload, WideFormat("%sDownMode%d", {std::string(), i})));
  CaptionsByName(st, f, kLangDownload, {"B_Download", "B_Stop"});
  f.SetCaption("B_Ok", GetLangString(st, kLangAll, "B_Close"));
  f.TextsChanged();
}

void ApplyOptions(const TLanguageState& st, TLangForm& f) {
  constexpr int32_t s = kLangOptions;
  CaptionsByName(st, f, kLangAll, {"B_Ok", "B_Cancel"});
  f.SetFormCaption(GetLangString(st, s, "FormCaption"));
  for (const std::string& page : f.Pages("PC_Pages")) f.SetCaption(page, GetLangString(st, s, page));
  CaptionsByName(st, f, s, {"CB_AutoSave"});
  const std::string autoInterval = GetLangString(st, s, "L_AutoInterval");
  f.SetText(kAutoIntervalFormat, autoInterval);
  f.SetCaption("L_AutoInterval", WideFormat(autoInterval, {int64_t(f.Position("SB_AutoChange"))}));
  CaptionsByName(st, f, s, {"CB_SoundPlay", "L_PlayModes"});
  const int32_t modes = f.ItemCount("CB_PlayModes");
  for (int32_t i = 0; i < modes; ++i)
    f.SetItem("CB_PlayModes", i, GetLangString(st, s, WideFormat("CB_PlayModes%d", {i})));
  CaptionsByName(st, f, s, {"L_PlayRotCW", "L_PlayRotCCW", "L_PlayMoveOW"});
  for (const char* combo : {"CB_PlayRotCW", "CB_PlayRotCCW", "CB_PlayMoveOW"})
    for (int32_t i = 0; i <= 6; ++i) f.SetItem(combo, i, GetLangString(st, s, WideFormat("Key%d", {i})));
  CaptionsByName(st, f, s, {"CB_PlaySingleWin", "CB_PlayClickToDrag"});
  const std::string stuckKoef = GetLangString(st, s, "L_StuckKoef");
  f.SetText(kStuckKoefFormat, stuckKoef);
  f.SetCaption("L_StuckKoef", WideFormat(stuckKoef, {int64_t(f.Position("SB_StuckKoef"))}));
  CaptionsByName(st, f, s,
                 {"GB_VisualEmboss", "RB_VisualEmboss0", "RB_VisualEmboss1", "RB_VisualEmboss2", "RB_VisualEmboss3",
                  "GB_VisualWood", "RB_VisualWood0", "RB_VisualWood1", "RB_VisualWood2", "CB_VisualShowJoin",
                  "L_LangListCap", "L_DnSrcCap", "CB_UseSecure", "L_SecureMethodCap"});
  f.TextsChanged();
}

void ApplyHelp(const TLanguageState& st, TLangForm& f) {
  constexpr int32_t s = kLangQuickHelp;
  f.SetFormCaption(GetLangString(st, s, "FormCaption"));
  CaptionsByName(st, f, kLangAll, {"B_Close"});
  CaptionsByName(st, f, s,
                 {"L_Click", "L_Contents", "L_Open", "L_Download", "L_Menu", "L_RotateCW", "L_RotateCCW", "L_Ctrl",
                  "L_MoveOW", "L_Switch", "L_Spacebar", "CB_Show"});
  f.SetCaption("L_Ctrl1", GetLangString(st, s, "L_Ctrl"));
  f.TextsChanged();  // lays the window out again for the new text widths
}

}  // namespace

void SetToolbarHint(TLangMainForm& main, int32_t button) {
  std::string caption, shortcut;
  if (!main.ToolbarButtonMenu(button, caption, shortcut)) return;
  main.SetToolbarButtonHint(button, ToolbarHintText(caption, shortcut));
}

bool LoadLanguage(TLanguageState& state, const std::string& path, const TLangForms& forms) {
  std::vector<std::string> lines;
  // Read before anything is freed: a file that is missing or cannot be read keeps the language.
  if (!ReadLangLines(path, lines)) {
    // Before any language is loaded (the English file itself is missing) the key has no text
    // to say which file is missing: the distributed English one says it.
    std::string format = GetLangString(state, kLangOptions, "MS_CantFindLangFile");
    if (format == "MS_CantFindLangFile") format = "Cannot find the language file$D%s";
    if (forms.ShowWarning) forms.ShowWarning(WideFormat(format, {path}));
    return false;
  }
  FreeLangList(state);
  state.LangList = ParseLangLines(lines);

  if (forms.Main) ApplyMain(state, *forms.Main);
  if (forms.DirView) ApplyDirView(state, *forms.DirView);
  if (forms.Info) ApplyInfo(state, *forms.Info);
  if (forms.Main) {
    forms.Main->SetThumbnailCaption(GetLangString(state, kLangThumbnail, "FormCaption"));
    forms.Main->RefreshPocketCaptions();
  }
  state.DownloadCaption = GetLangString(state, kLangDownload, "FormCaption");
  if (forms.Download) ApplyDownload(state, *forms.Download);
  if (forms.Options) ApplyOptions(state, *forms.Options);
  if (forms.Help) ApplyHelp(state, *forms.Help);
  return true;
}
