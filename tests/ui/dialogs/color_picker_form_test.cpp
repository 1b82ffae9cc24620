#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdlib>
#include <functional>
#include <vector>

#include "foundation/lang_forms.h"
#include "support/panel_bounds.h"
#include "support/recording_host.h"
#include "ui/dialogs/color_picker_form.h"

namespace {

std::string DataDir() { return std::string(std::getenv("ZORVA_DATA_DIR")) + "/"; }

TLanguageState English() {
  TLanguageState lang;
  lang.LangDir = DataDir() + "language/";
  EXPECT_TRUE(LoadLanguage(lang, lang.LangDir + "english.lng", TLangForms{}));
  return lang;
}

QWidget* Child(QWidget* form, const char* name) {
  QWidget* w = form->findChild<QWidget*>(name);
  EXPECT_NE(w, nullptr) << name;
  return w;
}

void Click(QWidget* w, QPoint at) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at); }

void Hover(QWidget* w, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(w, &move);
}

// Runs `act` on the dialog once its modal loop is running.
void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    act(modal);
  });
}

// The colour of a grabbed widget's pixel as 0x00BBGGRR.
int32_t Shown(QWidget* w, QPoint at) {
  const QRgb c = w->grab().toImage().pixel(at);
  return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
}

// A target nobody looks at.
TRecordingHost& Quiet() {
  static TRecordingHost host;
  return host;
}

}  // namespace

TEST(ColorPickerForm, ChoosingAPaletteColourReturnsExactlyItsValue) {
  const TLanguageState lang = English();
  for (int cell : {0, 13, 31, 41, 47}) {
    int32_t code = 0x989898;
    WhenModal([cell](QWidget* f) {
      QWidget* pal = Child(f, "I_Pal");
      Click(pal, QPoint((cell % 8) * 28 + 6 + 12, (cell / 8) * 28 + 6 + 12));
      Click(Child(f, "B_OK"), QPoint(5, 5));
    });
    ASSERT_TRUE(TF_ColorPicker::Pick(
        nullptr, lang, nullptr, "Background", [](TColorPicker& p) { SetupWindowPicker(p, 0x989898, 1, Quiet()); },
        code));
    EXPECT_EQ(code, PaletteColors[cell]) << cell;
  }
}

// A double click on a palette colour or a picture picks it and closes the picker at once.
TEST(ColorPickerForm, ADoubleClickPicksAndCloses) {
  const TLanguageState lang = English();
  TBackgroundButtons buttons;
  LoadBackgroundButtons(buttons, BackgroundFolder(DataDir()));
  struct TCase {
    const char* Image;
    QPoint At;
    int32_t Picked;
  };
  for (const TCase& c : {TCase{"I_Pal", QPoint(5 * 28 + 18, 1 * 28 + 18), PaletteColors[13]},
                         TCase{"I_BkgPics", QPoint(2 * 67 + 6 + 31, 6 + 25), 12}}) {
    TF_ColorPicker f(nullptr, lang, &buttons);
    SetupAllWindowsPicker(f.Picker(), 0x989898, Quiet());
    f.open();
    EXPECT_EQ(ControlsOutsideTheirPanels(&f), std::vector<std::string>());
    QTest::mouseDClick(Child(&f, c.Image), Qt::LeftButton, Qt::NoModifier, c.At);
    EXPECT_FALSE(f.isVisible()) << c.Image;
    EXPECT_EQ(f.result(), 1) << c.Image;
    EXPECT_EQ(f.Picker().PickedColor, c.Picked) << c.Image;
  }
}

TEST(ColorPickerForm, CancelReturnsNothingChangedAfterPreviewingTheChoice) {
  const TLanguageState lang = English();
  TRecordingHost target;
  int32_t code = 0x404040;
  WhenModal([](QWidget* f) {
    Click(Child(f, "I_Pal"), QPoint(6 + 12, 6 + 12));  // 0x800080
    Click(Child(f, "B_Cancel"), QPoint(5, 5));
  });
  EXPECT_FALSE(TF_ColorPicker::Pick(
      nullptr, lang, nullptr, "Background", [&](TColorPicker& p) { SetupAllWindowsPicker(p, code, target); }, code));
  EXPECT_EQ(code, 0x404040);
  EXPECT_EQ(target.Count("SetWindowBackground 0 " + std::to_string(0x800080)), 1);  // the preview did happen

  WhenModal([](QWidget* f) {
    Click(Child(f, "I_Pal"), QPoint(6 + 12, 6 + 12));
    QTest::keyClick(f, Qt::Key_Escape);
  });
  EXPECT_FALSE(TF_ColorPicker::Pick(
      nullptr, lang, nullptr, "Background", [](TColorPicker& p) { SetupAllWindowsPicker(p, 0x404040, Quiet()); },
      code));
  EXPECT_EQ(code, 0x404040);
}

TEST(ColorPickerForm, ChoosingPictureKReturnsTenPlusK) {
  const TLanguageState lang = English();
  TBackgroundButtons buttons;
  LoadBackgroundButtons(buttons, BackgroundFolder(DataDir()));
  for (int k = 0; k < kBackgroundPictureCount; ++k) {
    TF_ColorPicker f(nullptr, lang, &buttons);
    TRecordingHost target;
    SetupAllWindowsPicker(f.Picker(), 0x989898, target);
    f.show();
    QWidget* pics = Child(&f, "I_BkgPics");
    ASSERT_TRUE(pics->isVisible());
    EXPECT_EQ(pics->size(), QSize(544, 62));
    Click(pics, QPoint(k * 67 + 6 + 31, 6 + 25));
    EXPECT_FALSE(Child(&f, "I_SelCol")->isVisible());
    EXPECT_EQ(target.Of("SetWindowBackground 0"),
              std::vector<std::string>{"SetWindowBackground 0 " + std::to_string(10 + k)});
    EXPECT_EQ(target.Of("SetFieldBackground"),
              std::vector<std::string>{"SetFieldBackground " + std::to_string(10 + k)});
    Click(Child(&f, "B_OK"), QPoint(5, 5));
    EXPECT_EQ(f.result(), 1);
    EXPECT_EQ(f.Picker().PickedColor, 10 + k);
  }
}

TEST(ColorPickerForm, MissingBackgroundFilesDoNotStopThePicker) {
  const TLanguageState lang = English();
  TBackgroundButtons buttons;
  LoadBackgroundButtons(buttons, DataDir() + "no-such-folder/");
  TF_ColorPicker f(nullptr, lang, &buttons);
  TRecordingHost target;
  target.PicturesLoad = false;
  SetupAllWindowsPicker(f.Picker(), 0x0000C0, target);
  f.show();
  QWidget* pics = Child(&f, "I_BkgPics");
  EXPECT_EQ(Shown(pics, QPoint(3 * 67 + 6 + 31, 31)), 0x989898);  // an empty cell: plain grey
  QTest::mouseDClick(pics, Qt::LeftButton, Qt::NoModifier, QPoint(3 * 67 + 6 + 31, 31));
  // The picture cannot be had: the windows and the answer are grey, and the double click on a
  // cell that no longer shows the pick does not close the dialog.
  ASSERT_GT(target.Count("SetWindowBackground"), 0);
  EXPECT_EQ(target.Count("SetWindowBackground"), target.Count("SetWindowBackground 0 " + std::to_string(0x989898)) * 6);
  EXPECT_EQ(f.Picker().PickedColor, 0x989898);
  EXPECT_TRUE(Child(&f, "I_SelCol")->isVisible());
  EXPECT_TRUE(f.isVisible());
  Click(Child(&f, "B_OK"), QPoint(5, 5));
  EXPECT_EQ(f.result(), 1);
}

TEST(ColorPickerForm, GammaFieldHoverPickAndModes) {
  const TLanguageState lang = English();
  TF_ColorPicker f(nullptr, lang, nullptr);
  SetupWindowPicker(f.Picker(), 0x989898, 0, Quiet());
  f.show();
  QWidget* gamma = Child(&f, "I_Gamma");
  QWidget* point = Child(&f, "I_PointColor");
  EXPECT_EQ(gamma->size(), QSize(300, 300));
  EXPECT_TRUE(static_cast<QToolButton*>(Child(&f, "B_GammaSquare"))->isChecked());
  // The field is shown upright: white on top, pure red at the start of the middle row.
  EXPECT_EQ(Shown(gamma, QPoint(10, 0)), 0xFFFFFF);
  EXPECT_EQ(Shown(gamma, QPoint(0, 150)), 0x0000FF);

  Hover(Child(&f, "P_Form"), QPoint(2, 2));
  EXPECT_FALSE(point->isVisible());
  Hover(gamma, QPoint(100, 150));
  EXPECT_TRUE(point->isVisible());
  EXPECT_EQ(Shown(point, QPoint(5, 5)), 0xFF0000);  // pure blue
  Hover(Child(&f, "I_Pal"), QPoint(3, 3));
  EXPECT_FALSE(point->isVisible());

  Click(gamma, QPoint(200, 150));
  EXPECT_EQ(f.Picker().PickedColor, 0x00FF00);
  EXPECT_EQ(Shown(Child(&f, "I_SelCol"), QPoint(5, 5)), 0x00FF00);

  Click(Child(&f, "B_GammaCircle"), QPoint(5, 5));
  EXPECT_EQ(f.Picker().GammaMode, kGammaCircle);
  EXPECT_FALSE(static_cast<QToolButton*>(Child(&f, "B_GammaSquare"))->isChecked());
  EXPECT_EQ(Shown(gamma, QPoint(150, 150)), 0xFFFFFF);  // the white centre
  Click(gamma, QPoint(1, 1));                           // outside the circle: nothing
  EXPECT_EQ(f.Picker().PickedColor, 0x00FF00);
}
