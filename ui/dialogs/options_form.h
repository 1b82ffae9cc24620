#pragma once
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "foundation/dib_image.h"
#include "foundation/lang.h"
#include "foundation/lang_forms.h"
#include "game/color_picker.h"
#include "game/download_sources.h"
#include "game/options_choices.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QWidget;

class TOptionsImage;
class TOptionsSwatch;

// How the options dialog asks for a colour (the wood colour swatch).
struct TColorPickRequest {
  std::string Caption;
  int32_t PickedColor = 0;
  int32_t GammaMode = 1;  // 0 circle, 1 square
  std::vector<int32_t> DefaultColors;
  int32_t PickTarget = -2;  // the options dialog's wood colour
  // Gets every colour picked while the picker is open, so the swatch follows live.
  TWoodColorHost* Target = nullptr;
};
// Shows a colour picker modally; returns its result (1 OK) and the colour picked.
using TPickColorFn = std::function<int(const TColorPickRequest& request, int32_t& picked)>;

// What the dialog works with besides its own controls. The owner keeps these alive.
struct TOptionsFormEnv {
  TLanguageState* Lang = nullptr;  // texts, the language folder and list, CurrentLanguage
  TServerHosts ServerHosts;        // the two download sources
  std::function<void(const std::string& topic)> ShowHelpTopic;
  TPickColorFn PickColor;  // left empty: the game's colour picker
};

// The modal options dialog: autosave, sound, play, effects, language and downloads. The owner
// loads the values (LoadValues), shows it, and after result 1 reads Values() and LangName();
// the dialog itself writes nothing.
class TF_Options : public QDialog, public TLangForm, public TWoodColorHost {
 public:
  explicit TF_Options(TOptionsFormEnv env, QWidget* parent = nullptr);
  ~TF_Options() override;

  // The main window's opening step: every control from the current values.
  void LoadValues(const TOptionsValues& values);
  // What the controls hold now.
  TOptionsValues Values() const;
  const std::string& LangName() const { return LangName_; }
  // The download sources offered, as the sources file names them now.
  void SetServerHosts(const TServerHosts& hosts);

  void SetMouseScheme(const TPlaySettings& settings, bool clear);
  void SetEmbossStyle(TEmbossStyle style);
  TEmbossStyle GetEmbossStyle() const;
  void SetWoodStyle(TWoodStyle style);
  TWoodStyle GetWoodStyle() const;
  int32_t WoodColor() const;
  void SetWoodColor(int32_t color) override;

  // The effects preview as last drawn (24-bit, the sample's size).
  const TDibImage& Preview() const { return *preview_; }
  bool TestPanelShown() const;
  int32_t HelpContext() const { return helpContext_; }
  std::string HelpTopic() const;

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

  void reject() override;  // Escape and the title bar's close button cancel

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void BuildAutoSavePage();
  void BuildSoundPage();
  void BuildPlayPage();
  void BuildEffectsPage();
  void BuildLanguagePage();
  void BuildDownloadsPage();
  void BuildTestPanel();
  QHBoxLayout* BuildButtons();
  void LoadSamples();
  void FormActivate();
  void FillLanguageList();
  void LV_LangListSelectItem();
  void CB_PlayModesChange();
  void CB_PlayRotCWChange();
  void ModeFromControls();
  void SB_AutoChangeChange();
  void SB_StuckKoefChange();
  void DrawPreview();
  void S_ViewWoodColorMouseDown();
  void CB_UseSecureClick();
  void PC_PagesChange();
  void B_HelpClick();
  void ToggleTestPanel();
  void B_OkClick();
  void B_CancelClick();
  void FitToForm();
  TBindingChoice BindingChoice() const;
  std::string Text(int32_t section, const char* key) const;

  TOptionsFormEnv env_;
  TOptionsValues loaded_;
  std::string LangName_;
  std::string AutoIntervalFormat_;
  std::string StuckKoefFormat_;
  int32_t helpContext_ = 0;
  bool updatingMode_ = false;

  TDibHolder preview_;
  TDibHolder sampleMask_;
  TDibHolder samplePicture_;

  // Controls, by their component names.
  QWidget* P_Form = nullptr;
  QTabWidget* PC_Pages = nullptr;
  QWidget* TS_AutoSave = nullptr;
  QWidget* TS_Sound = nullptr;
  QWidget* TS_Play = nullptr;
  QWidget* TS_Visual = nullptr;
  QWidget* TS_Lang = nullptr;
  QWidget* TS_Dn = nullptr;
  QCheckBox* CB_AutoSave = nullptr;
  QScrollBar* SB_AutoChange = nullptr;
  QLabel* L_AutoInterval = nullptr;
  QCheckBox* CB_SoundPlay = nullptr;
  QLabel* L_PlayModes = nullptr;
  QComboBox* CB_PlayModes = nullptr;
  QLabel* L_PlayRotCW = nullptr;
  QComboBox* CB_PlayRotCW = nullptr;
  QLabel* L_PlayRotCCW = nullptr;
  QComboBox* CB_PlayRotCCW = nullptr;
  QLabel* L_PlayMoveOW = nullptr;
  QComboBox* CB_PlayMoveOW = nullptr;
  QCheckBox* CB_PlaySingleWin = nullptr;
  QCheckBox* CB_PlayClickToDrag = nullptr;
  QScrollBar* SB_StuckKoef = nullptr;
  QLabel* L_StuckKoef = nullptr;
  QGroupBox* GB_VisualEmboss = nullptr;
  QRadioButton* RB_VisualEmboss[4] = {};
  QGroupBox* GB_VisualWood = nullptr;
  QRadioButton* RB_VisualWood[3] = {};
  TOptionsSwatch* S_ViewWoodColor = nullptr;
  QCheckBox* CB_VisualShowJoin = nullptr;
  QWidget* S_ViewEmbossBkg = nullptr;
  TOptionsImage* I_ViewEmboss = nullptr;
  QLabel* L_LangListCap = nullptr;
  QListWidget* LV_LangList = nullptr;
  QLabel* L_LangName = nullptr;
  QLabel* L_LangAuthor = nullptr;
  QLabel* L_LangNoHelp = nullptr;
  QLabel* L_DnSrcCap = nullptr;
  QComboBox* CB_DnSrc = nullptr;
  QCheckBox* CB_UseSecure = nullptr;
  QLabel* L_SecureMethodCap = nullptr;
  QComboBox* CB_SecureMethod = nullptr;
  QPushButton* B_Ok = nullptr;
  QPushButton* B_Cancel = nullptr;
  QPushButton* B_Help = nullptr;
  QWidget* P_Test = nullptr;
  QLineEdit* E_TestSiteJigsawsDir = nullptr;
  QLineEdit* E_TestThumbPath = nullptr;
};

// The main window's options command: the dialog filled from the session and the settings, shown
// modally, and after OK every value written back (ApplyOptionsValues). The autosave waits
// meanwhile. Returns the dialog's result; `applied` tells what changed after OK.
int RunOptionsCommand(TF_Options& dialog, TGameSession& s, TSettings& st, TLanguageState& lang, TOptionsApplyHost& host,
                      TOptionsApplied* applied = nullptr);
