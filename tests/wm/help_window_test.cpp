#include <gtest/gtest.h>

#include <QApplication>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <string>

#include "ui/dialogs/dir_view_form.h"
#include "ui/dialogs/options_form.h"
#include "ui/main_window/main_toolbar.h"
#include "wm/wm_game.h"
#include "wm/wm_stacking.h"

namespace {

QWidget* HelpWindow() {
  for (QWidget* w : QApplication::allWidgets())
    if (w->objectName() == "F_HelpViewer") return w;
  return nullptr;
}

bool Shown(const QWidget* w) { return w && w->isVisible() && StackPosition(*w) >= 0; }

// Both are managed and `front` is stacked above `back`.
bool Above(const QWidget& front, const QWidget& back) {
  const int f = StackPosition(front), b = StackPosition(back);
  return f >= 0 && b >= 0 && f > b;
}

// Drags the help window by its caption to the right edge of the screen, as a player moves it
// off what it covers.
bool DragAside(QWidget& help) {
  const QRect frame = help.frameGeometry();
  const QRect screen = help.screen()->availableGeometry();
  const int caption = help.geometry().top() - frame.top();
  const QPoint from(frame.left() + frame.width() / 3, frame.top() + caption / 2);
  const QPoint to = from + QPoint(screen.right() - 10 - frame.right(), screen.top() + 40 - frame.top());
  const auto at = [](QPoint p) { return QStringList{QString::number(p.x()), QString::number(p.y())}; };
  const bool ok = Xdotool(QStringList{"mousemove", "--sync"} + at(from)) && Xdotool({"mousedown", "1"}) &&
                  Xdotool(QStringList{"mousemove", "--sync"} + at(from + QPoint(20, 20))) &&
                  Xdotool(QStringList{"mousemove", "--sync"} + at(to)) && Xdotool({"mouseup", "1"});
  return ok && WaitFor([&] { return help.frameGeometry().topLeft() != frame.topLeft(); }, 3000);
}

QRect HelpCover() {
  const QWidget* help = HelpWindow();
  return help && help->isVisible() ? help->frameGeometry().adjusted(-4, -4, 4, 4) : QRect();
}

// A point of `w` (its own coordinates) that no part of the help window covers, near `want`;
// `want` itself when every candidate is covered.
QPoint Uncovered(const QWidget& w, QPoint want) {
  for (const QPoint p : {want, QPoint(w.width() - want.x(), want.y()), QPoint(want.x(), w.height() - want.y()),
                         QPoint(w.width() - want.x(), w.height() - want.y())})
    if (!HelpCover().contains(w.mapToGlobal(p))) return p;
  return want;
}

// Clicks `w` where the help does not cover it, moving the help aside first when it must.
bool ClickBeside(QWidget& w, QPoint want) {
  QPoint at = Uncovered(w, want);
  if (HelpCover().contains(w.mapToGlobal(at))) {
    if (!DragAside(*HelpWindow())) return false;
    at = Uncovered(w, want);
  }
  return !HelpCover().contains(w.mapToGlobal(at)) && RealClick(w, at);
}

// The close button at the right end of the window manager's caption over the help window.
bool CloseByItsCaption(QWidget& help) {
  const QRect frame = help.frameGeometry();
  const int caption = help.geometry().top() - frame.top();
  return RealClick(help, help.mapFromGlobal(QPoint(frame.right() - caption / 2, frame.top() + caption / 2)));
}

// The real main window on a private home, framed in the work area as at start-up.
class HelpUnderWM : public TGameUnderWM {
 protected:
  void SetUp() override {
    TGameUnderWM::SetUp();
    if (IsSkipped()) return;
    MakeMain();
    main->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    ASSERT_TRUE(ShowFramed(*main));
    main->ReadStartupSettings();
    main->PlaceInWorkArea();
    Settle();
  }
  // An empty spot of the play field.
  QPoint FieldSpot() { return Uncovered(*main, QPoint(main->width() - 120, main->height() - 120)); }
};

// F1 in the browser: the help opens in front of it and stays there when the player clicks the
// browser; the modal browser does not keep the player out of it (a link is followed, Esc closes
// it), and the browser is the player's again once the help is closed.
TEST_F(HelpUnderWM, HelpFromTheBrowserStaysInFrontAndCanBeUsed) {
  bool opened = false, inFront = false, keptInFront = false, linkFollowed = false, closed = false;
  bool browserLeft = false;
  std::string pageBefore, pageAfter;
  main->RunBrowser = [&](TF_DirView& dv) {
    QTimer::singleShot(0, &dv, [&] {
      ASSERT_TRUE(WaitFor([&] { return StackPosition(dv) >= 0; }));
      Settle();
      RealKeyOn(dv, "F1");
      QWidget* help = nullptr;
      ASSERT_TRUE(opened = WaitFor([&] { return Shown(help = HelpWindow()); }));
      Settle();
      inFront = Above(*help, dv) && Above(*help, *main);
      ASSERT_TRUE(ClickBeside(dv, QPoint(dv.width() - 60, dv.height() - 40)));
      Screenshot("help-after-click-on-browser");
      keptInFront = Above(*help, dv) && Above(*help, *main);
      // The player follows the page's link while the browser is still up.
      auto* page = help->findChild<QTextBrowser*>();
      ASSERT_NE(page, nullptr);
      const QTextCursor link = page->document()->find("Contents");
      ASSERT_FALSE(link.isNull());
      QTextCursor at(link);
      at.setPosition((link.selectionStart() + link.selectionEnd()) / 2);
      pageBefore = page->source().path().toStdString();
      ASSERT_TRUE(RealClick(*page->viewport(), page->cursorRect(at).center()));
      WaitFor([&] { return page->source().path().toStdString() != pageBefore; }, 2000);
      pageAfter = page->source().path().toStdString();
      linkFollowed = pageAfter != pageBefore;
      RealKey("Escape");
      closed = WaitFor([&] { return !help->isVisible(); }, 3000);
      // Back in the browser, its own Esc leaves it.
      ClickBeside(dv, QPoint(dv.width() - 60, dv.height() - 40));
      RealKey("Escape");
      browserLeft = WaitFor([&] { return !dv.isVisible(); }, 3000);
      if (dv.isVisible()) dv.reject();
    });
    return dv.exec();
  };
  main->OpenFile("", false);
  EXPECT_TRUE(opened);
  EXPECT_TRUE(inFront);
  EXPECT_TRUE(keptInFront) << "a click on the browser put the help behind it";
  EXPECT_TRUE(linkFollowed) << pageBefore << " -> " << pageAfter;
  EXPECT_TRUE(closed) << "Esc did not close the help";
  EXPECT_TRUE(browserLeft) << "the browser did not answer once the help was closed";
}

// F1 in the game: the help stays in front of the main window when the player clicks the field.
TEST_F(HelpUnderWM, HelpFromTheGameStaysInFrontOfIt) {
  ASSERT_TRUE(RealClick(*main, FieldSpot()));
  RealKeyOn(*main, "F1");
  QWidget* help = nullptr;
  ASSERT_TRUE(WaitFor([&] { return Shown(help = HelpWindow()); }));
  Settle();
  EXPECT_TRUE(Above(*help, *main));
  ASSERT_TRUE(RealClick(*main, FieldSpot()));
  Screenshot("help-from-game-after-click");
  EXPECT_TRUE(Above(*help, *main)) << "a click on the game put the help behind it";
  EXPECT_EQ(QApplication::activeWindow(), main.get());

  // Leaving the game ends the help with it and lets the program end.
  QTimer::singleShot(0, main.get(), [&] { main->close(); });
  QTimer::singleShot(8000, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0) << "the help window kept the program running";
  help = HelpWindow();
  EXPECT_TRUE(!help || !help->isVisible());
}

// F1 in the options dialog (opened from the toolbar): the help opens in front of the dialog and
// stays there when the dialog is clicked; its caption's close button closes it, and the dialog
// answers again.
TEST_F(HelpUnderWM, HelpFromADialogStaysInFrontOfIt) {
  auto* toolbar = static_cast<TToolbarPanel*>(main->findChild<QWidget*>("P_Toolbar"));
  ASSERT_NE(toolbar, nullptr);
  const TToolbarButton& b = toolbar->Record().ToolbarButtons[17];
  ASSERT_STREQ(b.MenuItem, "MI_Options");
  bool dialogSeen = false, inFront = false, keptInFront = false, closed = false, dialogLeft = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* dialog = dynamic_cast<TF_Options*>(QApplication::activeModalWidget());
    if (!dialog || StackPosition(*dialog) < 0) return;
    watch.stop();
    dialogSeen = true;
    Settle();
    RealKeyOn(*dialog, "F1");
    QWidget* help = nullptr;
    if (WaitFor([&] { return Shown(help = HelpWindow()); })) {
      Settle();
      inFront = Above(*help, *dialog);
      if (ClickBeside(*dialog, QPoint(12, dialog->height() - 12))) {
        Screenshot("help-from-options-after-click");
        keptInFront = Above(*help, *dialog) && Above(*help, *main);
      }
      closed = CloseByItsCaption(*help) && WaitFor([&] { return !help->isVisible(); }, 3000);
    }
    RealClick(*dialog, QPoint(12, dialog->height() - 12));
    RealKey("Escape");
    dialogLeft = WaitFor([&] { return !dialog->isVisible(); }, 3000);
    if (dialog->isVisible()) dialog->reject();
  });
  watch.start(50);
  // The buttons are laid out in device pixels, one to one on the test display.
  ASSERT_TRUE(RealClick(*toolbar, QPoint(b.Left + b.Width / 2, b.Top + b.Height / 2)));
  WaitFor([&] { return dialogSeen && !QApplication::activeModalWidget(); }, 15000);
  watch.stop();
  EXPECT_TRUE(dialogSeen);
  EXPECT_TRUE(inFront);
  EXPECT_TRUE(keptInFront) << "a click on the dialog put the help behind it";
  EXPECT_TRUE(closed) << "the caption's close button did not close the help";
  EXPECT_TRUE(dialogLeft) << "the dialog did not answer once the help was closed";
}

}  // namespace
