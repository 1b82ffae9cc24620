#include "ui/dialogs/options_form.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include <algorithm>
#include <filesystem>

#include "foundation/dib_ops.h"
#include "foundation/file_helpers.h"
#include "foundation/picture_loading.h"
#include "foundation/text_format.h"
#include "game/game_paths.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "ui/dialogs/color_picker_form.h"
#include "ui/dialogs/form_images.h"
#include "ui/dialogs/form_texts.h"
#include "ui/dialogs/options_art.h"
#include "ui/dialogs/options_widgets.h"

namespace {

constexpr int kLangIndexRole = Qt::UserRole;
constexpr int kOwnFlagRole = Qt::UserRole + 1;  // the language has its own flag
constexpr int kLangFileRole = Qt::UserRole + 2;

// A flag of the language list: 60 x 40, magenta transparent.
QPixmap FlagPixmap(const QImage& picture) {
  QImage img = picture.scaled(kFlagWidth, kFlagHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                   .convertToFormat(QImage::Format_ARGB32);
  const QRgb key = ColorOf(kFlagTransparent).rgb();
  for (int y = 0; y < img.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((row[x] & 0xFFFFFF) == (key & 0xFFFFFF)) row[x] = 0;
  }
  return QPixmap::fromImage(img);
}

QImage ResourcePicture(const char* file) {
  std::vector<uint8_t> bytes;
  TDibHolder dib;
  if (!ReadResourceFile(std::string(":/images/") + file, bytes) || !DecodeTo24(*dib, bytes)) return {};
  return ToQImage(*dib);
}

}  // namespace

TF_Options::TF_Options(TOptionsFormEnv env, QWidget* parent) : QDialog(parent), env_(std::move(env)) {
  setObjectName("F_Options");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  if (!env_.PickColor && env_.Lang) {
    const TLanguageState* lang = env_.Lang;
    env_.PickColor = [this, lang](const TColorPickRequest& request, int32_t& picked) {
      picked = request.PickedColor;
      return TF_ColorPicker::PickWoodColor(this, *lang, picked, *request.Target) ? int(kIdOk) : int(kIdCancel);
    };
  }
  BuildControls();
  LoadSamples();
  // The download sources and the security methods.
  SetServerHosts(env_.ServerHosts);
  for (const char* name : SecureMethodNames) CB_SecureMethod->addItem(name);
  CB_SecureMethod->setCurrentIndex(kDefaultSecureMethod);
  PC_Pages->setCurrentIndex(0);
  PC_PagesChange();
  DrawPreview();
  FitToForm();
  ShowLabelsAsText(this);
}

TF_Options::~TF_Options() = default;

// The sample piece and picture of the preview, made 24-bit; the preview takes their size.
void TF_Options::LoadSamples() {
  std::vector<uint8_t> bytes;
  if (ReadResourceFile(std::string(":/images/") + kOptionsSampleMaskFile, bytes)) DecodeTo24(*sampleMask_, bytes);
  if (ReadResourceFile(std::string(":/images/") + kOptionsSamplePictureFile, bytes)) DecodeTo24(*samplePicture_, bytes);
  const int32_t w = sampleMask_->Width > 0 ? sampleMask_->Width : kOptionsSampleWidth;
  const int32_t h = sampleMask_->Width > 0 ? sampleMask_->Height : kOptionsSampleHeight;
  CreateDib24(*preview_, w, h);
}

std::string TF_Options::Text(int32_t section, const char* key) const {
  return env_.Lang ? GetLangString(*env_.Lang, section, key) : std::string(key);
}

void TF_Options::FitToForm() {
  // Inner panel first: the dialog's fixed size follows the panel's size hint.
  for (QLayout* l : {P_Form->layout(), layout()}) {
    l->invalidate();
    l->activate();
  }
}

// --- Values ------------------------------------------------------------------------------------

void TF_Options::LoadValues(const TOptionsValues& v) {
  loaded_ = v;
  // The scroll bars hold their rows' ranges.
  SB_AutoChange->setValue(v.AutoSave.Interval);
  SB_AutoChangeChange();
  CB_AutoSave->setChecked(v.AutoSave.Enabled);
  CB_SoundPlay->setChecked(v.Settings.Flags.SoundPlay);
  CB_VisualShowJoin->setChecked(v.Settings.Flags.ShowJoin);
  // A binding that is none of the seven leaves its list empty.
  SetMouseScheme(v.PlaySettings, true);
  const TGameOptions& o = v.GameOptions;
  SB_StuckKoef->setValue(o.StuckKoef);
  SB_StuckKoefChange();
  SetEmbossStyle(o.EmbossStyle);
  SetWoodStyle(o.WoodStyle);
  SetWoodColor(o.WoodColor);
  CB_DnSrc->setCurrentIndex(ServerIndex(env_.ServerHosts, o.DnSrc));
  CB_UseSecure->setChecked(o.UseSecure);
  // A method index outside the list shows the default rather than an empty choice.
  const bool known = o.SecureMethodInd >= 0 && o.SecureMethodInd < kSecureMethodCount;
  CB_SecureMethod->setCurrentIndex(known ? o.SecureMethodInd : kDefaultSecureMethod);
  CB_UseSecureClick();
  E_TestThumbPath->setText(QString::fromStdString(o.ThumbPath));
  E_TestSiteJigsawsDir->setText(QString::fromStdString(o.SiteJigsawsDir));
}

TBindingChoice TF_Options::BindingChoice() const {
  TBindingChoice c;
  c.RotCW = CB_PlayRotCW->currentIndex();
  c.RotCCW = CB_PlayRotCCW->currentIndex();
  c.MoveOW = CB_PlayMoveOW->currentIndex();
  c.SingleMainWindow = CB_PlaySingleWin->isChecked();
  c.ClickToDrag = CB_PlayClickToDrag->isChecked();
  return c;
}

// The loaded values with what every page's controls hold now. A list left empty keeps its
// binding; an empty source entry keeps the source; the test panel counts only while shown.
TOptionsValues TF_Options::Values() const {
  TOptionsValues v = loaded_;
  v.AutoSave.Enabled = CB_AutoSave->isChecked();
  v.AutoSave.Interval = SB_AutoChange->value();
  v.Settings.Flags.SoundPlay = CB_SoundPlay->isChecked();
  v.Settings.Flags.ShowJoin = CB_VisualShowJoin->isChecked();

  TPlaySettings& play = v.PlaySettings;
  const TBindingChoice c = BindingChoice();
  const std::pair<int32_t, TMouseBinding*> bindings[] = {
      {c.RotCW, &play.RotCW}, {c.RotCCW, &play.RotCCW}, {c.MoveOW, &play.MoveOW}};
  for (const auto& [item, binding] : bindings)
    if (item >= 0 && item < kMouseCombinationCount) *binding = MouseCombinations[item];
  play.SingleMainWindow = c.SingleMainWindow ? 1 : 0;
  play.ClickToDrag = c.ClickToDrag ? 1 : 0;

  TGameOptions& o = v.GameOptions;
  o.StuckKoef = SB_StuckKoef->value();
  o.EmbossStyle = GetEmbossStyle();
  o.WoodStyle = GetWoodStyle();
  o.WoodColor = WoodColor();
  const int32_t source = CB_DnSrc->currentIndex();
  if (source >= 0 && source < int32_t(env_.ServerHosts.size()) && !env_.ServerHosts[size_t(source)].empty())
    o.DnSrc = env_.ServerHosts[size_t(source)];
  o.UseSecure = CB_UseSecure->isChecked();
  if (CB_SecureMethod->currentIndex() >= 0) o.SecureMethodInd = CB_SecureMethod->currentIndex();
  if (TestPanelShown()) {
    o.ThumbPath = E_TestThumbPath->text().trimmed().toStdString();
    o.SiteJigsawsDir = E_TestSiteJigsawsDir->text().trimmed().toStdString();
  }
  return v;
}

void TF_Options::SetMouseScheme(const TPlaySettings& settings, bool clear) {
  if (clear)
    for (QComboBox* c : {CB_PlayRotCW, CB_PlayRotCCW, CB_PlayMoveOW}) c->setCurrentIndex(-1);
  const TBindingChoice choice = BindingChoiceOf(settings);
  if (choice.RotCW >= 0) CB_PlayRotCW->setCurrentIndex(choice.RotCW);
  if (choice.RotCCW >= 0) CB_PlayRotCCW->setCurrentIndex(choice.RotCCW);
  if (choice.MoveOW >= 0) CB_PlayMoveOW->setCurrentIndex(choice.MoveOW);
  CB_PlaySingleWin->setChecked(settings.SingleMainWindow != 0);
  CB_PlayClickToDrag->setChecked(settings.ClickToDrag != 0);
  // The check boxes' state decides whether the move binding applies.
  const bool moveOn = !CB_PlaySingleWin->isChecked();
  L_PlayMoveOW->setEnabled(moveOn);
  CB_PlayMoveOW->setEnabled(moveOn);
}

void TF_Options::SetEmbossStyle(TEmbossStyle style) {
  RB_VisualEmboss[EmbossButtonOfStyle(style)]->setChecked(true);
  DrawPreview();
}

TEmbossStyle TF_Options::GetEmbossStyle() const {
  for (int32_t i = 0; i < 3; ++i)
    if (RB_VisualEmboss[i]->isChecked()) return TEmbossStyle(i);
  return TEmbossStyle::FatCard;
}

void TF_Options::SetWoodStyle(TWoodStyle style) {
  RB_VisualWood[WoodButtonOfStyle(style)]->setChecked(true);
  DrawPreview();
}

TWoodStyle TF_Options::GetWoodStyle() const {
  for (int32_t i = 0; i < 2; ++i)
    if (RB_VisualWood[i]->isChecked()) return TWoodStyle(i);
  return TWoodStyle::Shadows;
}

int32_t TF_Options::WoodColor() const { return S_ViewWoodColor->Color(); }

void TF_Options::SetWoodColor(int32_t color) {
  S_ViewWoodColor->SetColor(color);
  DrawPreview();
}

bool TF_Options::TestPanelShown() const { return !P_Test->isHidden(); }

std::string TF_Options::HelpTopic() const {
  const int32_t i = PC_Pages->currentIndex();
  return i >= 0 && i < kOptionsPageCount ? OptionsPages[i].Topic : std::string();
}

// --- Event handlers ------------------------------------------------------------------------------

void TF_Options::SetServerHosts(const TServerHosts& hosts) {
  env_.ServerHosts = hosts;
  CB_DnSrc->clear();
  for (const std::string& host : hosts) CB_DnSrc->addItem(QString::fromStdString(host));
  CB_DnSrc->setCurrentIndex(0);
}

void TF_Options::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TF_Options::FormActivate() {
  DrawPreview();
  ModeFromControls();
  FillLanguageList();
  const std::string current = env_.Lang ? env_.Lang->CurrentLanguage : std::string(kDefaultLanguage);
  for (int32_t i = 0; i < LV_LangList->count(); ++i) {
    const std::string name = LV_LangList->item(i)->data(kLangFileRole).toString().toStdString();
    if (SameAsciiText(name, current)) {
      LV_LangList->setCurrentRow(i);
      break;
    }
  }
  LangName_ = current;
  CB_UseSecureClick();
  PC_PagesChange();
  FitToForm();
}

void TF_Options::FillLanguageList() {
  LV_LangList->clear();
  const QPixmap custom = FlagPixmap(ResourcePicture(kCustomFlagFile));
  if (!env_.Lang) return;
  TLanguageState& lang = *env_.Lang;
  ScanLanguages(lang);
  if (!lang.LangInfoList) return;
  for (size_t i = 0; i < lang.LangInfoList->size(); ++i) {
    const TLangInfo& info = (*lang.LangInfoList)[i];
    const std::string caption = !info.localname.empty() ? info.localname
                                : !info.engname.empty() ? info.engname
                                                        : info.Name;
    auto* item = new QListWidgetItem(QString::fromStdString(caption));
    item->setData(kLangIndexRole, int(i));
    item->setData(kLangFileRole, QString::fromStdString(info.Name));
    TDibHolder flag;
    const std::string flagPath = FlagFilePath(lang, AsciiLowerCase(info.Name));
    const bool own = IsRegularFile(flagPath) && LoadPictureFile(*flag, flagPath);
    item->setIcon(own ? QIcon(FlagPixmap(ToQImage(*flag))) : QIcon(custom));
    item->setData(kOwnFlagRole, own);
    LV_LangList->addItem(item);
  }
  if (LV_LangList->count() > 0) LV_LangList->setCurrentRow(0);
}

void TF_Options::LV_LangListSelectItem() {
  QListWidgetItem* item = LV_LangList->currentItem();
  if (!item || !env_.Lang || !env_.Lang->LangInfoList) return;
  const int index = item->data(kLangIndexRole).toInt();
  if (index < 0 || size_t(index) >= env_.Lang->LangInfoList->size()) return;
  const TLangInfo& info = (*env_.Lang->LangInfoList)[size_t(index)];
  L_LangName->setText(item->text());
  L_LangAuthor->setText(QString::fromStdString(info.author));
  LangName_ = info.Name;
  L_LangNoHelp->setText(QString::fromStdString(info.l_onlyinterface));
  L_LangNoHelp->setVisible(!IsRegularFile(HelpFilePath(*env_.Lang, info.Name)));
}

void TF_Options::CB_PlayModesChange() {
  const int32_t mode = CB_PlayModes->currentIndex();
  if (mode == kPlayModeStandard) SetMouseScheme(StandardMouseScheme, false);
  if (mode == kPlayModeSimple) SetMouseScheme(SimpleMouseScheme, false);
}

void TF_Options::CB_PlayRotCWChange() {
  const bool moveOn = !CB_PlaySingleWin->isChecked();
  L_PlayMoveOW->setEnabled(moveOn);
  CB_PlayMoveOW->setEnabled(moveOn);
  ModeFromControls();
}

void TF_Options::ModeFromControls() { CB_PlayModes->setCurrentIndex(PlayModeOf(BindingChoice())); }

void TF_Options::SB_AutoChangeChange() {
  L_AutoInterval->setText(QString::fromStdString(WideFormat(AutoIntervalFormat_, {int64_t(SB_AutoChange->value())})));
}

void TF_Options::SB_StuckKoefChange() {
  L_StuckKoef->setText(QString::fromStdString(WideFormat(StuckKoefFormat_, {int64_t(SB_StuckKoef->value())})));
}

void TF_Options::DrawPreview() {
  const TEmbossStyle emboss = GetEmbossStyle();
  const TWoodStyle wood = GetWoodStyle();
  S_ViewWoodColor->setVisible(wood == TWoodStyle::Wood);
  TDibImage& target = *preview_;
  if (target.Width <= 0) return;
  FillDibRect(target, 0, 0, target.Width, target.Height, kPreviewBackground);
  DrawEmbossPreview(target, *sampleMask_, *samplePicture_, WoodColor(), wood, emboss);
  I_ViewEmboss->SetImage(ToQImage(target));
}

void TF_Options::S_ViewWoodColorMouseDown() {
  if (!env_.PickColor) return;
  const int32_t old = WoodColor();
  TColorPickRequest request;
  request.Caption = Text(kLangOptions, "GB_VisualWoodColor");
  request.PickedColor = old;
  request.GammaMode = 1;
  request.DefaultColors.assign(std::begin(kWoodDefaultColors), std::end(kWoodDefaultColors));
  request.PickTarget = -2;
  request.Target = this;
  int32_t picked = old;
  const int result = env_.PickColor(request, picked);
  SetWoodColor(result == kIdOk ? picked : old);
}

void TF_Options::CB_UseSecureClick() { CB_SecureMethod->setEnabled(CB_UseSecure->isChecked()); }

void TF_Options::PC_PagesChange() {
  const int32_t i = PC_Pages->currentIndex();
  helpContext_ = i >= 0 && i < kOptionsPageCount ? OptionsPages[i].HelpContext : 0;
}

void TF_Options::B_HelpClick() {
  const std::string topic = HelpTopic();
  if (!topic.empty() && env_.ShowHelpTopic) env_.ShowHelpTopic(topic);
}

void TF_Options::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    B_HelpClick();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TF_Options::eventFilter(QObject* watched, QEvent* event) {
  if (watched == P_Form && event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const Qt::KeyboardModifiers both = Qt::ControlModifier | Qt::ShiftModifier;
    if ((mouse->modifiers() & both) == both) {
      ToggleTestPanel();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TF_Options::ToggleTestPanel() {
  P_Test->setVisible(P_Test->isHidden());
  FitToForm();
}

void TF_Options::B_OkClick() {
  if (BindingsCollide(BindingChoice())) {
    ShowMessageBox(env_.Lang ? GetLangText(*env_.Lang, kLangOptions, "MS_KeysMustBeDiff") : "MS_KeysMustBeDiff",
                   kProgramTitle, kMbOk | kMbIconExclamation);
    PC_Pages->setCurrentWidget(TS_Play);
    return;
  }
  if (env_.Lang) {
    const std::string path = LangFilePath(*env_.Lang, LangName_);
    if (!IsRegularFile(path)) {
      ShowMessageBox(WideFormat(GetLangText(*env_.Lang, kLangOptions, "MS_CantFindLangFile"), {path}), kProgramTitle,
                     kMbOk | kMbIconExclamation);
      return;
    }
  }
  done(kIdOk);
}

void TF_Options::B_CancelClick() { done(kIdCancel); }

void TF_Options::reject() { B_CancelClick(); }

// --- Texts ---------------------------------------------------------------------------------------

void TF_Options::SetFormCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void TF_Options::SetCaption(const std::string& component, const std::string& text) {
  const QString value = QString::fromStdString(text);
  if (SetPageCaption(PC_Pages, component, value)) return;
  if (findChild<QWidget*>(QString::fromStdString(component)) == B_Help) return;  // keeps its "?"
  SetControlCaption(this, component, value);
}

void TF_Options::SetHint(const std::string& component, const std::string& hint) {
  SetControlHint(this, component, QString::fromStdString(hint));
}

void TF_Options::SetItem(const std::string& list, int32_t index, const std::string& text) {
  auto* c = findChild<QComboBox*>(QString::fromStdString(list));
  if (c && index >= 0 && index < c->count()) c->setItemText(index, QString::fromStdString(text));
}

void TF_Options::SetText(const std::string& field, const std::string& text) {
  if (field == kAutoIntervalFormat) AutoIntervalFormat_ = text;
  if (field == kStuckKoefFormat) StuckKoefFormat_ = text;
}

std::vector<TLangMenuItem> TF_Options::MenuItems(const std::string&) const { return {}; }

std::vector<std::string> TF_Options::Pages(const std::string& pageControl) const {
  std::vector<std::string> names;
  if (pageControl != "PC_Pages") return names;
  for (int i = 0; i < PC_Pages->count(); ++i) names.push_back(PC_Pages->widget(i)->objectName().toStdString());
  return names;
}

int32_t TF_Options::ItemCount(const std::string& list) const {
  auto* c = findChild<QComboBox*>(QString::fromStdString(list));
  return c ? c->count() : 0;
}

int32_t TF_Options::Position(const std::string& scrollBar) const {
  auto* s = findChild<QScrollBar*>(QString::fromStdString(scrollBar));
  return s ? s->value() : 0;
}

void TF_Options::TextsChanged() { FitToForm(); }

int RunOptionsCommand(TF_Options& dialog, TGameSession& s, TSettings& st, TLanguageState& lang, TOptionsApplyHost& host,
                      TOptionsApplied* applied) {
  const TAutoSaveHold hold(s);
  dialog.LoadValues(OptionsValuesOf(s, st));
  const int result = dialog.exec();
  if (result == kIdOk) {
    const TOptionsApplied a = ApplyOptionsValues(s, st, lang, dialog.Values(), dialog.LangName(), host);
    if (applied) *applied = a;
  }
  return result;
}
