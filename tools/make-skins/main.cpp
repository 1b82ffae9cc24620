// make-skins: draws every picture the game windows are painted from, deterministically.
//   make-skins [RESOURCES_DIR [DESKTOP_ICON_PATH [HELP_IMAGES_DIR]]]
// Writes PNGIMAGE/2 (weight pin), PNGIMAGE/3 (magnifier skin), PNGIMAGE/4 (frame skin),
// BITMAP/1 (toolbar faces), images/star.png, CURSOR/<name>, icons/app-<size>.png below
// RESOURCES_DIR and the 256-pixel icon for the desktop entry; images/about.png and the
// quick-help wheels below RESOURCES_DIR and the help pages' pictures into HELP_IMAGES_DIR.
// Run from the source tree, the defaults are resources/, data/icons/zorva-jigsaw-quix.png and
// help/english/images.
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QGuiApplication>
#include <cstdio>

#include "tools/make-skins/art.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
  const QString desktop =
      argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("data/icons/zorva-jigsaw-quix.png");
  const QString helpImages = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("help/english/images");
  const bool ok = art::MakeFrameSkin(dir) && art::MakeGlassSkin(dir) && art::MakeToolbarFaces(dir) &&
                  art::MakeWeightPin(dir) && art::MakeStar(dir) && art::MakeCursors(dir) &&
                  art::MakeAppIcon(dir, desktop) && art::MakeTitleCard(dir, helpImages);
  if (!ok) {
    std::fprintf(stderr, "make-skins: could not write the artwork below %s\n", dir.toLocal8Bit().constData());
    return 1;
  }
  return 0;
}
