#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "foundation/binary_file.h"
#include "game/jigsaw_file.h"
#include "ui/dialogs/dir_view_form.h"
#include "wm/wm_game.h"

// Rectangles in failure messages.
inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace {

// What the X server and the window manager say of a window: where its client area is, the frame
// around it, and whether it is full screen.
struct TXWindow {
  QRect Client;
  QMargins Frame;  // _NET_FRAME_EXTENTS
  bool FullScreen = false;
  QRect Outer() const { return Client.marginsAdded(Frame); }
};

QString Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  return p.waitForFinished(5000) ? QString::fromLatin1(p.readAllStandardOutput()) : QString();
}

int Field(const QString& text, const char* label) {
  const QRegularExpressionMatch m = QRegularExpression(QString::fromLatin1(label) + R"(:\s*(-?\d+))").match(text);
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

bool ReadXWindow(WId id, TXWindow& w) {
  const QString hex = "0x" + QString::number(qulonglong(id), 16);
  const QString info = Run("xwininfo", {"-id", hex});
  const QString props = Run("xprop", {"-id", hex, "_NET_FRAME_EXTENTS", "_NET_WM_STATE"});
  const QRegularExpressionMatch extents =
      QRegularExpression(R"(_NET_FRAME_EXTENTS\(CARDINAL\) = (\d+), (\d+), (\d+), (\d+))").match(props);
  if (info.isEmpty() || !extents.hasMatch()) return false;
  w.Client = QRect(Field(info, "Absolute upper-left X"), Field(info, "Absolute upper-left Y"), Field(info, "Width"),
                   Field(info, "Height"));
  // left, right, top, bottom
  w.Frame = QMargins(extents.captured(1).toInt(), extents.captured(3).toInt(), extents.captured(2).toInt(),
                     extents.captured(4).toInt());
  w.FullScreen = props.contains("_NET_WM_STATE_FULLSCREEN");
  return true;
}

// The game started as the program starts it, with full screen stored in the player's settings.
class FullScreenAtStart : public TGameUnderWM {
 protected:
  void SetUp() override {
    TGameUnderWM::SetUp();
    if (IsSkipped()) return;
    WriteSettings();
    MakeMain();
  }

  // The shipped settings (pictures fitted to the screen) with full screen on, Quick Help off and
  // big pieces.
  void WriteSettings() {
    std::ifstream in(std::string(getenv("ZORVA_DATA_DIR")) + "/zorva.ini");
    std::stringstream text;
    text << in.rdbuf();
    std::string ini = text.str();
    const auto set = [&ini](const std::string& from, const std::string& to) {
      const size_t at = ini.find(from);
      ASSERT_NE(at, std::string::npos) << from;
      ini.replace(at, from.size(), to);
    };
    set("<FullScreen> 0", "<FullScreen> 1");
    set("<QuickHelp> 1", "<QuickHelp> 0");
    set("Level=6", "Level=13");
    set("ShapeStyle=3", "ShapeStyle=4");
    const std::filesystem::path folder = dir.Path() / "data" / "zorva-jigsaw-quix";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "zorva.ini") << ini;
  }

  // The browser of the start-up: `inside` runs once it is up (managed and active).
  void OnBrowser(std::function<void(TF_DirView&)> inside) {
    main->RunBrowser = [inside = std::move(inside)](TF_DirView& dv) {
      QTimer::singleShot(0, &dv, [&dv, inside] {
        if (WaitFor([&] { return QApplication::activeWindow() == &dv; })) {
          Settle();
          inside(dv);
        }
        if (dv.isVisible()) dv.reject();
      });
      return dv.exec();
    };
  }

  // The player presses U in the game; the window manager has put the window back in its frame.
  void LeaveWithU() {
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == main.get(); }));
    ASSERT_TRUE(RealKey("u"));
    ASSERT_TRUE(WaitFor([&] {
      TXWindow x;
      return !main->isFullScreen() && ReadXWindow(main->winId(), x) && !x.FullScreen && x.Frame.top() > 0;
    }));
    Settle(800);
  }

  // The window with its frame fills the work area: caption and borders on the screen.
  void ExpectFramedInWorkArea() {
    TXWindow x;
    ASSERT_TRUE(ReadXWindow(main->winId(), x));
    const QRect work = main->screen()->availableGeometry();
    EXPECT_FALSE(x.FullScreen);
    EXPECT_GT(x.Frame.top(), x.Frame.bottom()) << "no caption";
    EXPECT_GE(x.Outer().top(), work.top()) << "the caption is above the top of the screen";
    EXPECT_EQ(x.Outer(), work) << "the window does not fill the work area in its frame";
  }

  TGameState& G() { return main->Session().Game; }
  const TSkinWindow& Side() { return main->Session().Windows.GameWindows[0]; }
};

// Started in full screen, the browser left with Esc, U: the window is back in its frame, with
// its caption on the screen and the work area filled.
TEST_F(FullScreenAtStart, LeavingPutsTheCaptionOnTheScreen) {
  bool browserLeft = false;
  OnBrowser([&](TF_DirView& dv) {
    RealKey("Escape");
    browserLeft = WaitFor([&] { return !dv.isVisible(); }, 3000);
  });
  main->StartUp({});
  EXPECT_TRUE(browserLeft);
  ASSERT_TRUE(main->FullScreenOn());
  TXWindow x;
  ASSERT_TRUE(WaitFor([&] { return ReadXWindow(main->winId(), x) && x.FullScreen; }));
  EXPECT_EQ(x.Outer(), main->screen()->geometry());
  Screenshot("started-full-screen");

  LeaveWithU();
  Screenshot("left-full-screen-after-start");
  EXPECT_FALSE(main->FullScreenOn());
  ExpectFramedInWorkArea();
}

// The same on a busy desktop: the window manager frames the window only after it was asked for
// full screen, so the frame is first seen on the way out of it.
TEST_F(FullScreenAtStart, LeavingAfterABusyStartPutsTheCaptionOnTheScreen) {
  OnBrowser([](TF_DirView&) { RealKey("Escape"); });
  auto late = std::make_unique<TLateWindowManager>();
  ASSERT_TRUE(late->Held());
  QTimer::singleShot(1500, [&late] { late.reset(); });
  main->StartUp([&late] { WaitFor([&late] { return !late; }); });
  ASSERT_FALSE(late);
  ASSERT_TRUE(main->FullScreenOn());
  ASSERT_TRUE(WaitFor([&] { return main->isFullScreen(); }));
  Settle();

  LeaveWithU();
  Screenshot("left-full-screen-after-busy-start");
  ExpectFramedInWorkArea();
}

// A picture fitted while the game started in full screen is fitted to the windowed field, so
// that leaving full screen shows it whole, without scroll bars.
TEST_F(FullScreenAtStart, PictureFittedAtStartFitsTheWindow) {
  bool chosen = false;
  OnBrowser([&](TF_DirView& dv) {
    auto* ok = dv.findChild<QPushButton*>("B_Ok");
    auto* pages = dv.findChild<QTabWidget*>("PC_Pages");
    if (!ok || !pages || !RealClick(*ok)) return;
    if (!WaitFor([&] { return pages->currentWidget()->objectName() == "TS_Level"; }, 3000)) return;
    Settle();
    chosen = RealClick(*ok) && WaitFor([&] { return !dv.isVisible(); }, 3000);
  });
  main->StartUp({});
  ASSERT_TRUE(chosen);
  ASSERT_TRUE(WaitFor([&] { return G().GameLoaded; }, 60000));
  ASSERT_EQ(G().GameLevel.FitToScreen, 1);
  TBinaryReader f;
  TJigsawHeader header;
  ASSERT_TRUE(f.Open(main->Session().sJig) && ReadJigsawHeader(f, header));
  ASSERT_GT(header.ImageW, 1600) << "the picture must need fitting";

  LeaveWithU();
  Screenshot("fitted-at-start-windowed");
  ExpectFramedInWorkArea();
  // Fitted to the windowed field: the work area less the frame the window manager gives the
  // window, its caption and the toolbar.
  TXWindow x;
  ASSERT_TRUE(ReadXWindow(main->winId(), x));
  const QRect work = main->screen()->availableGeometry();
  const QWidget* toolbar = main->findChild<QWidget*>("P_Toolbar");
  ASSERT_NE(toolbar, nullptr);
  TLevelRecord want;
  want.ImageW = header.ImageW;
  want.ImageH = header.ImageH;
  FitPictureToArea(want, work.width() - x.Frame.left() - x.Frame.right(),
                   work.height() - x.Frame.top() - x.Frame.bottom() - toolbar->height());
  EXPECT_EQ(G().GameLevel.ImageW, want.FitImageW);
  EXPECT_EQ(G().GameLevel.ImageH, want.FitImageH);
  EXPECT_FALSE(Side().HorzScrollVisible) << "horizontal scroll bar";
  EXPECT_FALSE(Side().VertScrollVisible) << "vertical scroll bar";
}

}  // namespace
