#include "ui/main_window/main_form.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/artwork.h"
#include "foundation/picture_limits.h"
#include "foundation/picture_loading.h"
#include "foundation/skin_window.h"
#include "game/browser_model.h"
#include "game/embedded_file.h"
#include "game/jigsaw_file.h"
#include "game/pieces.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/sound.h"
#include "support/bmp_file.h"
#include "support/qt_picture_bytes.h"
#include "support/temp_folder.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/dialogs/finish_form.h"
#include "ui/main_window/art_cursors.h"
#include "ui/main_window/main_window_fixture.h"

namespace {

TEST_F(MainWindow, TitleAndAGameReadyToPlay) {
  EXPECT_EQ(main->windowTitle().toStdString(), "Zorva Jigsaw Quix");
  ASSERT_TRUE(Open("dune-grass.zvq"));
  const TGameSession& s = main->Session();
  EXPECT_TRUE(s.Game.GameLoaded);
  EXPECT_GT(s.Game.GameLevel.TotalTileNum, 4);
  EXPECT_FALSE(main->Field().Busy);  // the progress panel is gone
  EXPECT_EQ(main->Field().ScreenBuffer->Width >= s.Game.Field.FieldW, true);
  // The field is the widget, in device pixels.
  const double r = main->P_Field()->devicePixelRatioF();
  EXPECT_EQ(s.Game.Field.FieldW, int(std::lround(main->P_Field()->width() * r)));
  // What the widget shows is the field buffer.
  const QImage shown = main->P_Field()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QPoint at;
  int32_t i = 0;
  while (i < s.Game.GameLevel.TotalTileNum && !PointOn(i, at)) ++i;
  ASSERT_LT(i, s.Game.GameLevel.TotalTileNum);
  const int32_t c = GetDibPixel(*main->Field().ScreenBuffer, at.x(), at.y());
  const QRgb q = shown.pixel(at);
  EXPECT_EQ(qRed(q), c & 0xFF);
  EXPECT_EQ(qGreen(q), (c >> 8) & 0xFF);
  EXPECT_EQ(qBlue(q), (c >> 16) & 0xFF);
}

// Drags a piece onto the place beside its true neighbour with real mouse events: the two join.
TEST_F(MainWindow, DraggedPiecesJoinAndTheLastDropSolvesThePicture) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  TGameState& g = main->Session().Game;
  // A piece and a true neighbour that both lie in view, with room to drop beside it.
  int32_t a = -1, b = -1;
  QPoint from, to;
  TSnapOffset off{0, 0};
  for (int32_t i = 0; i < g.GameLevel.TotalTileNum && a < 0; ++i) {
    if (!PointOn(i, from)) continue;
    for (int16_t nb : g.Pieces[size_t(i)].Neighbours) {
      if (nb < 0 || nb == FramePieceIndex(g)) continue;
      const TPieceRecord& pa = g.Pieces[size_t(i)];
      const TPieceRecord& pb = g.Pieces[size_t(nb)];
      off = ExpectedOffset(pa, pb, 0);
      to = from + QPoint(pb.X + off.X - pa.X, pb.Y + off.Y - pa.Y);
      if (InField(to)) {
        a = i, b = nb;
        break;
      }
    }
  }
  ASSERT_GE(a, 0);
  ASSERT_NE(g.Pieces[size_t(a)].Group, g.Pieces[size_t(b)].Group);
  QWidget* field = main->P_Field();
  const double r = field->devicePixelRatioF();
  auto logical = [r](QPoint p) { return QPoint(int(p.x() / r), int(p.y() / r)); };
  // The back and forward buttons are no left button: they pick nothing up.
  for (Qt::MouseButton extra : {Qt::BackButton, Qt::ForwardButton}) {
    QTest::mousePress(field, extra, Qt::NoModifier, logical(from));
    EXPECT_EQ(g.Play.DragState, 0);
    QTest::mouseRelease(field, extra, Qt::NoModifier, logical(from));
  }
  QTest::mousePress(field, Qt::LeftButton, Qt::NoModifier, logical(from));
  EXPECT_EQ(g.Play.DragState, 1);
  const QPoint mid = (from + to) / 2;
  QTest::mouseMove(field, logical(mid));
  QTest::mouseMove(field, logical(to));
  QTest::mouseRelease(field, Qt::LeftButton, Qt::NoModifier, logical(to));
  EXPECT_EQ(g.Pieces[size_t(a)].Group, g.Pieces[size_t(b)].Group);
  EXPECT_EQ(g.Pieces[size_t(a)].X - g.Pieces[size_t(b)].X, off.X);
  EXPECT_EQ(g.Pieces[size_t(a)].Y - g.Pieces[size_t(b)].Y, off.Y);
  EXPECT_TRUE(main->Session().SaveModified);
  ASSERT_FALSE(sounds.empty());
  EXPECT_NE(sounds.back().find("set.wav"), std::string::npos);

  // The rest of the picture laid in place as that group, but for one piece a little off its
  // place: dropping it there solves the puzzle, the finish dialog asks, and its save writes
  // the solved picture framed with its caption bands.
  const int32_t joined = g.Pieces[size_t(a)].Group;
  const int32_t n = LivePieceCount(g);
  for (int32_t k = 0; k < n; ++k) {
    TPieceRecord& q = g.Pieces[size_t(k)];
    q.Window = 0;
    q.X = 10 + q.PieceX;
    q.Y = 10 + q.PieceY;
    if (k != a && k != b) q.Group = joined;
  }
  int32_t last = -1;
  QPoint at;
  for (int32_t k = 0; k < n && last < 0; ++k) {
    if (k == a || k == b) continue;
    TPieceRecord& q = g.Pieces[size_t(k)];
    q.Group = n + 1;
    q.X += 2;
    q.Y += 1;
    if (PointOn(k, at))
      last = k;
    else
      q.Group = joined, q.X -= 2, q.Y -= 1;
  }
  ASSERT_GE(last, 0);
  QAction* saveImage = main->MenuAction("MI_FileSaveImage");
  ASSERT_NE(saveImage, nullptr);
  EXPECT_FALSE(saveImage->isEnabled());
  int finishShown = 0;
  main->RunModal = [&finishShown](QDialog& d) {
    if (dynamic_cast<TF_Finish*>(&d)) ++finishShown;
    return 1;
  };
  const std::string bmp = dir.File("solved.bmp");
  main->ChooseSolvedImagePath = [&bmp](QWidget*, const std::string&, const std::string&) { return bmp; };
  QTest::mousePress(field, Qt::LeftButton, Qt::NoModifier, logical(at));
  QTest::mouseRelease(field, Qt::LeftButton, Qt::NoModifier, logical(at));
  EXPECT_EQ(g.Pieces[size_t(last)].Group, g.Pieces[size_t(a)].Group);
  EXPECT_EQ(finishShown, 1);
  EXPECT_TRUE(saveImage->isEnabled());
  EXPECT_NE(sounds.back().find("win.wav"), std::string::npos);
  TDibHolder solved;
  ASSERT_TRUE(LoadBmpFile(*solved, bmp));
  EXPECT_EQ(solved->Width, g.GameLevel.ImageW + 2);
  EXPECT_EQ(solved->Height, g.GameLevel.ImageH + 52);
}

// The second click of a quick pair arrives as a double click: with the left button it still
// picks the piece up, so a player who clicks fast drags as well as one who clicks slowly.
TEST_F(MainWindow, QuickSecondClickStillPicksThePieceUp) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  TGameState& g = main->Session().Game;
  QPoint at;
  ASSERT_TRUE(PointOn(3, at));
  QWidget* field = main->P_Field();
  const double r = field->devicePixelRatioF();
  const QPointF p(at.x() / r, at.y() / r);
  QTest::mousePress(field, Qt::LeftButton, Qt::NoModifier, p.toPoint());
  QTest::mouseRelease(field, Qt::LeftButton, Qt::NoModifier, p.toPoint());
  ASSERT_EQ(g.Play.DragState, 0);
  QMouseEvent twice(QEvent::MouseButtonDblClick, p, field->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(field, &twice);
  EXPECT_EQ(g.Play.DragState, 1);
  QTest::mouseRelease(field, Qt::LeftButton, Qt::NoModifier, p.toPoint());
  EXPECT_EQ(g.Play.DragState, 0);
}

// The program's own cursor of that artwork name, compared by picture and hot spot.
void ExpectArtCursor(const QCursor& c, const char* name) {
  ASSERT_EQ(c.shape(), Qt::BitmapCursor) << name;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadNamedProgramResource(kCursorResourceKind, name, bytes)) << name;
  // The artwork through the same conversion the cursor takes: Qt's premultiplied round trip
  // differs by processor, so pixmaps are compared with pixmaps.
  QPixmap art;
  ASSERT_TRUE(art.loadFromData(bytes.data(), uint(bytes.size()), "PNG")) << name;
  EXPECT_EQ(c.pixmap().toImage(), art.toImage()) << name;
  const TCursorArt* spot = FindCursorArt(name);
  ASSERT_NE(spot, nullptr);
  EXPECT_EQ(c.hotSpot(), QPoint(spot->HotX, spot->HotY)) << name;
}

// Every sizing and dragging cursor comes from its artwork, made once; a name without artwork
// falls back to the stock shape asked for.
TEST(ArtCursors, MadeFromTheArtworkOnceWithStockShapeForMissingArt) {
  TArtCursors cursors;
  for (const TCursorArt& art : kCursorArt) {
    const QCursor first = cursors.Get(art.Name, Qt::ForbiddenCursor);
    ExpectArtCursor(first, art.Name);
    EXPECT_EQ(cursors.Get(art.Name, Qt::ForbiddenCursor).pixmap().cacheKey(), first.pixmap().cacheKey()) << art.Name;
  }
  EXPECT_EQ(cursors.Get("NOSUCHART", Qt::SizeHorCursor).shape(), Qt::SizeHorCursor);
}

// Hovering a window's bottom-right corner shows our diagonal sizing cursor, moving on to open
// field brings back the arrow; pulling the view shows the gripping hand.
TEST_F(MainWindow, FieldShowsTheProgramsOwnCursors) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  TSkinWindows& ws = main->Session().Windows;
  TSkinWindow* top = nullptr;
  for (int i = kGameWindowCount - 1; i >= 0 && !top; --i)
    if (ws.SkinWindowOrder[size_t(i)] && ws.SkinWindowOrder[size_t(i)]->Visible) top = ws.SkinWindowOrder[size_t(i)];
  ASSERT_NE(top, nullptr);
  // The corner zone of the topmost window, found by the hit test itself.
  QPoint corner(-1, -1);
  const TSkinRect o = top->Outer;
  for (int32_t y = o.Bottom; y > o.Bottom - 12 && corner.x() < 0; --y)
    for (int32_t x = o.Right; x > o.Right - 12 && corner.x() < 0; --x)
      if (InField(QPoint(x, y)) && SkinWindowHitTest(ws, *top, x, y, false) == 17) corner = QPoint(x, y);
  ASSERT_GE(corner.x(), 0);
  QWidget* field = main->P_Field();
  const double r = field->devicePixelRatioF();
  auto logical = [r](QPoint p) { return QPoint(int(p.x() / r), int(p.y() / r)); };
  // Anywhere off the sizing zones (here the window's middle) the field shows the arrow.
  const QPoint middle((o.Left + o.Right) / 2, (o.Top + o.Bottom) / 2);
  QTest::mouseMove(field, logical(middle));
  EXPECT_EQ(field->cursor().shape(), Qt::ArrowCursor);
  QTest::mouseMove(field, logical(corner));
  ExpectArtCursor(field->cursor(), "SIZENWSE");
  QTest::mouseMove(field, logical(middle));
  EXPECT_EQ(field->cursor().shape(), Qt::ArrowCursor);
  main->GrabCursor(true);
  ExpectArtCursor(field->cursor(), "DRAGBBB");
  main->GrabCursor(false);
  EXPECT_EQ(field->cursor().shape(), Qt::ArrowCursor);
}

// The first save of a jigsaw's game asks for a name; at the next start the browser is
// preset at that saved game, which continues where it was left.
TEST_F(MainWindow, SavedGameIsContinuedAtTheNextStart) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  TGameState& g = main->Session().Game;
  g.Pieces[1].X += 3;
  main->Session().SaveModified = true;
  SaveAs("evening");
  ReleaseKey(Qt::Key_S);
  EXPECT_EQ(browserRuns, 1);
  const std::string saved = main->Session().Paths.sSavedDir + "evening.sv1";
  ASSERT_TRUE(std::filesystem::exists(saved));
  EXPECT_FALSE(main->Session().SaveModified);
  EXPECT_EQ(main->Session().sSolve, saved);
  // Saved under its own name now: S writes it again without asking.
  ReleaseKey(Qt::Key_S);
  EXPECT_EQ(browserRuns, 1);
  const std::vector<TPieceRecord> pieces = g.Pieces;
  EXPECT_TRUE(main->close());
  main.reset();
  main = std::make_unique<TF_Main>(std::string(getenv("ZORVA_DATA_DIR")) + "/");
  main->resize(1200, 900);
  main->show();
  main->ReadStartupSettings();
  std::string preset;
  AnswerBrowser([&preset](TF_DirView& dv) {
    EXPECT_EQ(dv.BrowseMode(), kBrowseLoad);
    preset = dv.findChild<QLineEdit*>("E_FileName")->text().toStdString();
    QTest::mouseClick(dv.findChild<QPushButton*>("B_Ok"), Qt::LeftButton);
  });
  main->StartupChoice();
  EXPECT_EQ(browserRuns, 2);
  EXPECT_EQ(preset, "evening.sv1");
  const TGameSession& s = main->Session();
  EXPECT_TRUE(s.Game.GameLoaded);
  EXPECT_EQ(s.sSolve, saved);
  ASSERT_EQ(s.Game.Pieces.size(), pieces.size());
  EXPECT_EQ(s.Game.Pieces[1].X, pieces[1].X);
  EXPECT_EQ(s.Game.Pieces[1].Group, pieces[1].Group);
}

}  // namespace

namespace {

// A jigsaw that fails half-way through opening: the running game stays, the progress panel is
// gone and the field takes input again.
TEST_F(MainWindow, FailedOpenKeepsTheGameAndTheFieldResponsive) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  AnswerMessages(kIdOk);
  const std::vector<TPieceRecord> before = main->Session().Game.Pieces;
  // The picture's first bytes spoilt: the header and the preview still read, the picture
  // is refused only once the open is under way.
  const std::string bad = dir.File("bad.zvq");
  std::filesystem::copy_file(main->Session().Paths.sJigsawDir + "dune-grass.zvq", bad);
  {
    TBinaryReader r;
    ASSERT_TRUE(r.Open(bad));
    int32_t size;
    ASSERT_TRUE(r.Seek(27) && SkipEmbeddedFile(r, size) && SkipEmbeddedFile(r, size));
    const int64_t pictureData = r.Position() + 4;
    r.Close();
    std::fstream f(bad, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(pictureData);
    f.write("\x11\x22\x33\x44", 4);
  }
  EXPECT_FALSE(main->StartGame(bad));
  SetMessageBoxHandler({});
  EXPECT_EQ(shownMessages.size(), 1u);
  EXPECT_FALSE(main->Field().Busy);
  EXPECT_FALSE(main->findChild<QWidget*>("P_Progress")->isVisible());
  EXPECT_FALSE(main->Session().AutoSaveHold);
  const TGameState& g = main->Session().Game;
  ASSERT_EQ(g.Pieces.size(), before.size());
  EXPECT_EQ(std::memcmp(g.Pieces.data(), before.data(), before.size() * sizeof(TPieceRecord)), 0);
  EXPECT_EQ(main->Session().sJigName, "dune-grass");
}

// A jigsaw that declares a picture beyond what the game opens: the player is told its size and
// the limit before anything of that size is made, and the running game stays.
TEST_F(MainWindow, PictureBeyondTheMemoryBudgetIsRefusedWithItsSize) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  AnswerMessages(kIdOk);
  QImage small(120, 90, QImage::Format_RGB888);
  small.fill(Qt::darkGreen);
  const std::vector<uint8_t> jpeg = QtEncoded(small, "JPG");
  const std::string text = "huge";
  TJigsawHeader header;
  header.ImageW = 12000;
  header.ImageH = 9000;
  const std::string huge = main->Session().Paths.sJigsawDir + "huge.zvq";
  ASSERT_TRUE(
      WriteJigsawFile(huge, header, jpeg, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), jpeg));
  EXPECT_FALSE(main->StartGame(huge));
  SetMessageBoxHandler({});
  ASSERT_EQ(shownMessages.size(), 1u);
  EXPECT_EQ(shownMessages[0], PictureTooLargeMessage(12000, 9000));
  EXPECT_NE(shownMessages[0].find("12000 x 9000"), std::string::npos);
  EXPECT_EQ(main->Session().sJigName, "dune-grass");
  EXPECT_EQ(main->Session().Game.Images.PictureImages[0].Width, 1600);
  EXPECT_FALSE(main->findChild<QWidget*>("P_Progress")->isVisible());
}

// Keys act on release, and only when they were pressed here.
TEST_F(MainWindow, SaveKeyActsOnItsOwnRelease) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  SaveAs("mine");
  const std::string saved = main->Session().Paths.sSavedDir + "mine.sv1";
  QTest::keyRelease(main.get(), Qt::Key_S);    // pressed in another window
  ReleaseKey(Qt::Key_S, Qt::ControlModifier);  // S with Ctrl is no command
  EXPECT_EQ(browserRuns, 0);
  ReleaseKey(Qt::Key_S);
  EXPECT_EQ(browserRuns, 1);
  EXPECT_TRUE(std::filesystem::exists(saved));
  EXPECT_EQ(main->Session().sSolve, saved);
}

}  // namespace

namespace {

// While a long operation runs the window cannot close under it; afterwards an unchanged game
// closes without a question.
TEST_F(MainWindow, ClosesOnlyWhenNothingRuns) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  int asked = 0;
  SetMessageBoxHandler([&asked](const std::string&, const std::string&, int) {
    ++asked;
    return kIdCancel;
  });
  main->Field().Busy = true;
  EXPECT_FALSE(main->close());
  main->Field().Busy = false;
  main->Session().SaveModified = true;
  EXPECT_FALSE(main->close());  // the player cancels the save question
  EXPECT_EQ(asked, 1);
  main->Session().SaveModified = false;
  EXPECT_TRUE(main->close());
  EXPECT_EQ(asked, 1);
  SetMessageBoxHandler({});
}

}  // namespace

namespace {

// A saved game opens on the side that holds all its pieces; spread over several windows, on
// the first side.
TEST_F(MainWindow, ASavedGameOpensOnTheSideThatHoldsItsPieces) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  TGameSession& s = main->Session();
  const std::string path = s.Paths.sSavedDir + "sides.sv1";
  SaveAs("sides");
  ASSERT_TRUE(main->SaveCurrent());
  ASSERT_EQ(s.sSolve, path);
  const struct { int32_t firstWindow, otherWindows, side; } cases[] = {{1, 1, 1}, {1, 0, 0}, {3, 3, 0}};
  for (const auto& c : cases) {
    for (TPieceRecord& p : s.Game.Pieces) p.Window = uint8_t(c.otherWindows);
    s.Game.Pieces[0].Window = uint8_t(c.firstWindow);
    s.SaveModified = true;
    ASSERT_TRUE(main->SaveCommand());
    SetActiveSide(main->Field(), 1 - c.side);
    ASSERT_TRUE(main->StartGame(path));
    EXPECT_EQ(main->Field().ActiveSide, c.side) << c.firstWindow << " " << c.otherWindows;
  }
}

}  // namespace
