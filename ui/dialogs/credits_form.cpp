#include "ui/dialogs/credits_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialogs/form_texts.h"

// What the player sees of data/CREDITS.md: the photographs of the jigsaws with their
// authors and licences, the sounds, the artwork and the fonts.
const char* const kCreditsNames =
    "Photographs of the jigsaws\n"
    "  Ladybird, Yellow flower: Charles Barbin (GPL-2+)\n"
    "  Dune grass by the sea: Marco Cogoni, Hylke Bons (GPL-2+)\n"
    "  Raindrops on leaves: blackcombwhistler07 (GPL-2+)\n"
    "  Fallen leaf: Martin Klapetek (GPL-2+ / LGPL-3)\n"
    "  Boats on a lake at sunset: Ian Hex (GPL-2+ / LGPL-3)\n"
    "  Path through a forest: Risto Saukonpää (GPL-2+ / LGPL-3)\n"
    "  Aitzgorri mountains, Stream among mossy rocks,\n"
    "  Picos de Europa: Aitzol Berasategi (CC BY 4.0)\n"
    "  Dandelion clocks: Clemens Engelhardt (CC0 1.0)\n"
    "  Nuthatch: Lukas Baubkus (CC BY-SA 3.0)\n"
    "  from the wallpapers of MATE, Plasma and Lomiri in Debian\n"
    "\n"
    "Sounds\n"
    "  The join and finish chimes: made for this game (GPL-3.0-or-later)\n"
    "\n"
    "Artwork\n"
    "  Skins, toolbar, cursors, icons, title card: drawn for this game\n"
    "  (GPL-3.0-or-later)\n"
    "\n"
    "Fonts\n"
    "  DejaVu Sans (Bitstream Vera licence)\n"
    "  Tahoma from Wine (LGPL-2.1-or-later)\n"
    "\n"
    "Built with\n"
    "  Qt, libjpeg-turbo, libpng, zlib, giflib, libcurl, libarchive, chmlib\n";

TF_Credits::TF_Credits(const TLanguageState& lang, QWidget* parent) : QDialog(parent), lang_(lang) {
  setObjectName(QStringLiteral("F_Credits"));
  P_Form = new QFrame(this);
  P_Form->setObjectName(QStringLiteral("P_Form"));
  L_Thanks = new QLabel(P_Form);
  L_Thanks->setObjectName(QStringLiteral("L_Thanks"));
  L_Thanks->setWordWrap(true);
  QFont bold = L_Thanks->font();
  bold.setBold(true);
  L_Thanks->setFont(bold);
  M_Names = new QPlainTextEdit(P_Form);
  M_Names->setObjectName(QStringLiteral("M_Names"));
  M_Names->setReadOnly(true);
  M_Names->setPlainText(QString::fromUtf8(kCreditsNames));
  M_Names->setFixedSize(480, 300);
  M_Names->setLineWrapMode(QPlainTextEdit::NoWrap);
  B_Ok = new QPushButton(P_Form);
  B_Ok->setObjectName(QStringLiteral("B_Ok"));
  B_Ok->setDefault(true);
  B_Ok->setMinimumWidth(88);
  connect(B_Ok, &QPushButton::clicked, this, [this] { done(1); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(B_Ok);
  auto* all = new QVBoxLayout(P_Form);
  all->setContentsMargins(12, 12, 12, 12);
  all->setSpacing(10);
  all->addWidget(L_Thanks);
  all->addWidget(M_Names);
  all->addLayout(buttons);
  ApplyTexts();
  ShowLabelsAsText(this);
}

void TF_Credits::ApplyTexts() {
  // B_Ok is also the cancel button: Escape closes the dialog with OK's result.
  B_Ok->setText(Q(GetLangString(lang_, kLangAll, "B_Ok")));
  setWindowTitle(Q(GetLangString(lang_, kLangCredits, "FormCaption")));
  L_Thanks->setText(Q(GetLangString(lang_, kLangCredits, "L_Thanks")));
  FitClientToPanel(this, P_Form);
}

void TF_Credits::showEvent(QShowEvent* event) {
  ApplyTexts();
  QDialog::showEvent(event);
  B_Ok->setFocus();
}
