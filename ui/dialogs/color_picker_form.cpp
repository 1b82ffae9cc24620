#include "ui/dialogs/color_picker_form.h"
#include "ui/dialogs/form_texts.h"

#include <QConicalGradient>
#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

#include <utility>

// An image control: shows a picker buffer 1:1 and hands its mouse input on in image pixels.
class TPickerImage : public QWidget {
 public:
  using TMouse = std::function<void(QMouseEvent*)>;
  TPickerImage(QWidget* parent, const char* name, const TDibImage& image) : QWidget(parent), image_(image) {
    setObjectName(name);
    setMouseTracking(true);
  }
  TMouse Down, Move, DblClick;

 protected:
  void paintEvent(QPaintEvent*) override {
    if (image_.Width <= 0 || image_.Height <= 0) return;
    // The buffer is bottom-up: wrap its rows as they lie and turn them upright.
    const QImage rows(DibScanLine(image_, image_.Height - 1), image_.Width, image_.Height, image_.RowStride,
                      QImage::Format_BGR888);
    QPainter(this).drawImage(0, 0, rows.mirrored(false, true));
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (Down) Down(e);
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (Move) Move(e);
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    // The second press of a double click is a press too.
    if (Down) Down(e);
    if (DblClick) DblClick(e);
  }

 private:
  const TDibImage& image_;
};

// The layout panel: the dialog's client area. A move over its free space hides the point swatch.
class TPickerPanel : public QWidget {
 public:
  explicit TPickerPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("P_Form");
    setMouseTracking(true);
  }
  std::function<void()> Move;

 protected:
  void mouseMoveEvent(QMouseEvent*) override {
    if (Move) Move();
  }
};

namespace {

uint32_t ToColorValue(const QColor& c) {
  return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

void Place(QWidget* w, const TPickerBox& b) { w->setGeometry(b.Left, b.Top, b.Width, b.Height); }

// The glyphs of the two mode buttons: a hue circle and a hue square.
QIcon GammaIcon(bool circle) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, circle);
  if (circle) {
    QConicalGradient g(7.5, 7.5, 90);
    for (int i = 0; i <= 6; ++i) g.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
    p.setBrush(g);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.drawEllipse(QRectF(1, 1, 13, 13));
  } else {
    QLinearGradient g(1, 0, 15, 0);
    for (int i = 0; i <= 6; ++i) g.setColorAt(i / 6.0, QColor::fromHsv((360 - i * 60) % 360, 255, 255));
    p.fillRect(1, 1, 14, 14, g);
    QLinearGradient shade(0, 1, 0, 15);
    shade.setColorAt(0, QColor(255, 255, 255, 200));
    shade.setColorAt(0.5, QColor(255, 255, 255, 0));
    shade.setColorAt(0.51, QColor(0, 0, 0, 0));
    shade.setColorAt(1, QColor(0, 0, 0, 200));
    p.fillRect(1, 1, 14, 14, shade);
    p.setPen(QColor(60, 60, 60));
    p.drawRect(1, 1, 13, 13);
  }
  return QIcon(pm);
}

}  // namespace

TF_ColorPicker::TF_ColorPicker(QWidget* parent, const TLanguageState& lang, const TBackgroundButtons* buttons)
    : QDialog(parent), lang_(lang) {
  setObjectName("F_ColorPicker");
  setModal(true);
  // FormCreate: the ground of every image is the colour of button faces.
  picker_.BackColor = ToColorValue(palette().color(QPalette::Button));
  picker_.GammaMode = kGammaSquare;
  picker_.Buttons = buttons;

  P_Form = new TPickerPanel(this);
  auto label = [&](const char* name) {
    auto* l = new QLabel(P_Form);
    l->setObjectName(name);
    return l;
  };
  L_PalCap = label("L_PalCap");
  L_GammaCap = label("L_GammaCap");
  L_DefColCap = label("L_DefColCap");
  L_SelColCap = label("L_SelColCap");
  L_BkgPicsCap = label("L_BkgPicsCap");
  I_Pal = new TPickerImage(P_Form, "I_Pal", *picker_.Pal);
  I_Gamma = new TPickerImage(P_Form, "I_Gamma", *picker_.Gamma);
  I_DefCol = new TPickerImage(P_Form, "I_DefCol", *picker_.DefCol);
  I_SelCol = new TPickerImage(P_Form, "I_SelCol", *picker_.SelCol);
  I_PointColor = new TPickerImage(P_Form, "I_PointColor", *picker_.PointColor);
  I_BkgPics = new TPickerImage(P_Form, "I_BkgPics", *picker_.BkgPics);
  I_Gamma->setCursor(Qt::CrossCursor);

  auto speed = [&](const char* name, bool circle) {
    auto* b = new QToolButton(P_Form);
    b->setObjectName(name);
    b->setCheckable(true);
    b->setAutoExclusive(true);
    b->setAutoRaise(true);
    b->setIcon(GammaIcon(circle));
    b->setFocusPolicy(Qt::NoFocus);
    return b;
  };
  B_GammaCircle = speed("B_GammaCircle", true);
  B_GammaSquare = speed("B_GammaSquare", false);
  B_OK = new QPushButton(P_Form);
  B_OK->setObjectName("B_OK");
  B_OK->setDefault(true);
  B_Cancel = new QPushButton(P_Form);
  B_Cancel->setObjectName("B_Cancel");

  // Any move outside the gamma field hides the colour under the pointer.
  auto hidePoint = [this] {
    if (!picker_.PointColorVisible) return;
    picker_.PointColorVisible = false;
    I_PointColor->setVisible(false);
  };
  P_Form->Move = hidePoint;
  for (TPickerImage* w : {I_Pal, I_SelCol, I_PointColor, I_BkgPics, I_DefCol})
    w->Move = [hidePoint](QMouseEvent*) { hidePoint(); };

  // A press picks what lies under it; the picker is shown again when that changed something.
  using TPick = bool (*)(TColorPicker&, int32_t, int32_t);
  auto picks = [this](TPick pick) {
    return [this, pick](QMouseEvent* e) {
      const QPoint p = e->position().toPoint();
      if (pick(picker_, p.x(), p.y())) ShowPicker();
    };
  };
  I_Pal->Down = picks(PaletteMouseDown);
  I_DefCol->Down = picks(DefColMouseDown);
  I_BkgPics->Down = picks(BkgPicsMouseDown);
  I_Gamma->Down = picks(GammaMouseDown);
  // A double click accepts a cell that shows the pick.
  I_Pal->DblClick = [this](QMouseEvent*) {
    if (picker_.PaletteIndex != -1) done(1);
  };
  I_BkgPics->DblClick = [this](QMouseEvent*) {
    if (picker_.BkgPictureIndex != -1) done(1);
  };
  I_Gamma->Move = [this](QMouseEvent* e) {
    if (e->buttons() != Qt::NoButton || e->modifiers() != Qt::NoModifier) return;
    const QPoint p = e->position().toPoint();
    GammaMouseMove(picker_, p.x(), p.y());
    I_PointColor->setVisible(true);
    I_PointColor->update();
  };
  auto mode = [this](int32_t gammaMode) {
    return [this, gammaMode] {
      SetGammaMode(picker_, gammaMode);
      I_Gamma->update();
    };
  };
  connect(B_GammaCircle, &QToolButton::clicked, this, mode(kGammaCircle));
  connect(B_GammaSquare, &QToolButton::clicked, this, mode(kGammaSquare));
  connect(B_OK, &QPushButton::clicked, this, [this] { done(1); });
  connect(B_Cancel, &QPushButton::clicked, this, [this] { done(2); });
  ShowLabelsAsText(this);
}

TF_ColorPicker::~TF_ColorPicker() = default;

void TF_ColorPicker::showEvent(QShowEvent* event) {
  if (!activated_) {
    activated_ = true;
    FormActivate();
  }
  QDialog::showEvent(event);
}

void TF_ColorPicker::ApplyTexts() {
  B_OK->setText(QString::fromStdString(GetLangString(lang_, kLangAll, "B_Ok")));
  B_Cancel->setText(QString::fromStdString(GetLangString(lang_, kLangAll, "B_Cancel")));
  for (QLabel* l : {L_PalCap, L_GammaCap, L_DefColCap, L_SelColCap, L_BkgPicsCap})
    l->setText(QString::fromStdString(GetLangString(lang_, kLangColorPicker, l->objectName().toStdString())));
}

void TF_ColorPicker::FormActivate() {
  ApplyTexts();
  TPickerControlSizes sizes;
  const QLabel* labels[5] = {L_PalCap, L_GammaCap, L_DefColCap, L_SelColCap, L_BkgPicsCap};
  for (int i = 0; i < 5; ++i) {
    const QSize hint = labels[i]->sizeHint();
    sizes.LabelWidth[i] = hint.width();
    sizes.LabelHeight = std::max(sizes.LabelHeight, hint.height());
  }
  const QSize speedHint = B_GammaSquare->sizeHint();
  sizes.SpeedWidth = std::max(23, speedHint.width());
  sizes.SpeedHeight = std::max(22, speedHint.height());
  const QSize okHint = B_OK->sizeHint().expandedTo(B_Cancel->sizeHint());
  sizes.ButtonWidth = std::max(88, okHint.width());
  sizes.ButtonHeight = std::max(28, okHint.height());

  const TColorPickerLayout l = ActivateColorPicker(picker_, sizes);
  Place(L_PalCap, l.L_PalCap);
  Place(I_Pal, l.I_Pal);
  Place(L_GammaCap, l.L_GammaCap);
  Place(I_Gamma, l.I_Gamma);
  Place(B_GammaCircle, l.B_GammaCircle);
  Place(B_GammaSquare, l.B_GammaSquare);
  (picker_.GammaMode == kGammaCircle ? B_GammaCircle : B_GammaSquare)->setChecked(true);
  L_DefColCap->setVisible(l.DefColShown);
  I_DefCol->setVisible(l.DefColShown);
  if (l.DefColShown) {
    Place(L_DefColCap, l.L_DefColCap);
    Place(I_DefCol, l.I_DefCol);
  }
  Place(L_SelColCap, l.L_SelColCap);
  Place(I_SelCol, l.I_SelCol);
  Place(I_PointColor, l.I_PointColor);
  L_BkgPicsCap->setVisible(picker_.ShowBkgPics);
  I_BkgPics->setVisible(picker_.ShowBkgPics);
  if (picker_.ShowBkgPics) {
    Place(L_BkgPicsCap, l.L_BkgPicsCap);
    Place(I_BkgPics, l.I_BkgPics);
  }
  Place(B_OK, l.B_OK);
  Place(B_Cancel, l.B_Cancel);
  // The client area is the layout panel.
  P_Form->setGeometry(0, 0, l.ClientWidth, l.ClientHeight);
  setFixedSize(l.ClientWidth, l.ClientHeight);
  ShowPicker();
}

void TF_ColorPicker::ShowPicker() {
  I_SelCol->setVisible(picker_.SelColVisible);
  I_PointColor->setVisible(picker_.PointColorVisible);
  for (TPickerImage* w : {I_Pal, I_Gamma, I_SelCol, I_PointColor, I_DefCol, I_BkgPics}) w->update();
}

bool TF_ColorPicker::Pick(QWidget* parent, const TLanguageState& lang, const TBackgroundButtons* buttons,
                          const std::string& caption, const std::function<void(TColorPicker&)>& setup, int32_t& code) {
  TF_ColorPicker f(parent, lang, buttons);
  if (setup) setup(f.Picker());
  f.setWindowTitle(QString::fromStdString(caption));
  if (f.exec() != 1) return false;
  code = f.Picker().PickedColor;
  return true;
}

bool TF_ColorPicker::PickWoodColor(QWidget* parent, const TLanguageState& lang, int32_t& color,
                                   TWoodColorHost& preview) {
  const int32_t start = color;
  return Pick(
      parent, lang, nullptr, GetLangString(lang, kLangOptions, "GB_VisualWoodColor"),
      [&](TColorPicker& p) { SetupWoodColorPicker(p, start, preview); }, color);
}
