#pragma once
#include <QDialog>

#include <functional>
#include <string>

#include "foundation/lang.h"
#include "game/background_pictures.h"
#include "game/color_picker.h"

class QLabel;
class QPushButton;
class QToolButton;
class TPickerImage;
class TPickerPanel;

// The colour picker: a palette, the caller's default colours, the eight background pictures
// (when offered) and a hue square or circle. Every choice is previewed on the target at once
// through the picker's host; the dialog ends with 1 (OK) or 2 (Cancel), and after OK
// Picker().PickedColor is the chosen code (a colour 0x00BBGGRR or a picture code 10..17).
// On Cancel the caller puts back what the previews changed.
//
// Use:
//   TF_ColorPicker f(parent, lang, &buttons);
//   SetupAllWindowsPicker(f.Picker(), viewState.lBkg, host);  // or SetupWoodColorPicker, ...
//   f.setWindowTitle(...);
//   if (f.exec() == 1) use(f.Picker().PickedColor);
// or one of the static calls below. Texts are fetched from `lang` when the dialog is shown.
class TF_ColorPicker : public QDialog {
 public:
  // buttons: the background pictures' buttons (may be null: the cells show plain grey).
  TF_ColorPicker(QWidget* parent, const TLanguageState& lang, const TBackgroundButtons* buttons);
  ~TF_ColorPicker() override;

  TColorPicker& Picker() { return picker_; }

  // Shows a picker that `setup` prepares (a Setup...Picker call with its host) with the given
  // caption. True on OK, with `code` set to the picked code; false on Cancel, `code` untouched.
  static bool Pick(QWidget* parent, const TLanguageState& lang, const TBackgroundButtons* buttons,
                   const std::string& caption, const std::function<void(TColorPicker&)>& setup, int32_t& code);
  // The options dialog's wood colour: `preview` gets every colour chosen while the picker is
  // open. True on OK with `color` set.
  static bool PickWoodColor(QWidget* parent, const TLanguageState& lang, int32_t& color, TWoodColorHost& preview);

  // Escape and the window's close button cancel: result 2.
  void reject() override { done(2); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormActivate();
  void ShowPicker();  // the images and the swatches' visibility from the picker's state
  void ApplyTexts();

  const TLanguageState& lang_;
  TColorPicker picker_;
  bool activated_ = false;

  TPickerPanel* P_Form = nullptr;
  QLabel* L_PalCap = nullptr;
  QLabel* L_DefColCap = nullptr;
  QLabel* L_SelColCap = nullptr;
  QLabel* L_BkgPicsCap = nullptr;
  QLabel* L_GammaCap = nullptr;
  TPickerImage* I_Pal = nullptr;
  TPickerImage* I_SelCol = nullptr;
  TPickerImage* I_Gamma = nullptr;
  TPickerImage* I_PointColor = nullptr;
  TPickerImage* I_BkgPics = nullptr;
  TPickerImage* I_DefCol = nullptr;
  QToolButton* B_GammaCircle = nullptr;
  QToolButton* B_GammaSquare = nullptr;
  QPushButton* B_OK = nullptr;
  QPushButton* B_Cancel = nullptr;
};
