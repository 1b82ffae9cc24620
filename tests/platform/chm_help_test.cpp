#include <gtest/gtest.h>

#include <QApplication>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <set>

#include "foundation/random.h"
#include "platform/chm_file.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace {

std::string EnglishChm() { return std::string(getenv("ZORVA_DATA_DIR")) + "/language/english.chm"; }

// Every topic the game's windows ask for.
const char* const kTopics[] = {"cont-quix.htm", "open.htm",     "save.htm",    "sound.htm",   "play-mode.htm",
                               "effects.htm",   "language.htm", "options.htm", "download.htm"};

QWidget* HelpWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String("F_HelpViewer")) return w;
  return nullptr;
}

TEST(ChmObjectPath, ResolvesLinksAgainstTheirPage) {
  EXPECT_EQ(ChmObjectPath("/save.htm#autosave"), "/save.htm");
  EXPECT_EQ(ChmObjectPath("images/wheel.png", "/mouse-keys.htm"), "/images/wheel.png");
  EXPECT_EQ(ChmObjectPath("../save.htm?x=1", "/images/page.htm"), "/save.htm");
  EXPECT_EQ(ChmObjectPath("./a/./b.htm", "/x/y.htm"), "/x/a/b.htm");
  EXPECT_EQ(ChmObjectPath("../../../etc/passwd", "/a.htm"), "/etc/passwd");  // stays inside
  EXPECT_EQ(ChmObjectPath(""), "/");
  EXPECT_EQ(ChmObjectPath("b.htm", "x/y.htm"), "/x/b.htm");  // a page named without its root
  EXPECT_EQ(ChmObjectPath("b.htm", ""), "/b.htm");
  EXPECT_EQ(ChmObjectPath("a//b.htm", "/"), "/a/b.htm");
  EXPECT_EQ(ChmObjectPath("sub/", "/p.htm"), "/sub");
}

// Links as help pages write them, against the page they are on.
TEST(ChmObjectPath, LinksOfEveryShape) {
  struct TCase {
    const char* Link;
    const char* Base;
    const char* Path;
  };
  for (const TCase& c :
       {TCase{"b.htm", "dir/page.htm", "/dir/b.htm"}, TCase{"b.htm", "", "/b.htm"}, TCase{"b.htm", "/", "/b.htm"},
        TCase{"a//b.htm", "/", "/a/b.htm"}, TCase{"/x/..", "/a.htm", "/"}, TCase{"sub/", "/p.htm", "/sub"},
        TCase{"#top", "/a/page.htm", "/a"}, TCase{"?q", "/a/b/page.htm", "/a/b"}, TCase{"..", "/a/b/page.htm", "/a"},
        TCase{"../c.htm#x?y", "/a/b/page.htm", "/a/c.htm"}, TCase{"/abs.htm", "/deep/er/p.htm", "/abs.htm"},
        TCase{"img.png", "/deep/er/", "/deep/er/img.png"}, TCase{".../x", "/", "/.../x"}}) {
    EXPECT_EQ(ChmObjectPath(c.Link, c.Base), c.Path) << c.Link << " on " << c.Base;
  }
}

TEST(ChmFile, EveryTopicTheCodeAsksForIsInTheShippedHelp) {
  // Topics are passed as literals ("download.htm"); a misspelt one would show nothing.
  TChmFile chm;
  ASSERT_TRUE(chm.Open(EnglishChm()));
  const QRegularExpression literal(QStringLiteral(R"re("([a-z0-9-]+\.htm)")re"));
  std::set<std::string> topics;
  for (const char* layer : {"game", "dialogs", "download", "foundation", "platform"}) {
    const std::filesystem::path dir = std::filesystem::path(ZORVA_SOURCE_DIR) / layer;
    if (!std::filesystem::exists(dir)) continue;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
      const auto ext = entry.path().extension();
      if (ext != ".cpp" && ext != ".h") continue;
      const std::vector<uint8_t> bytes = Slurp(entry.path().string());
      const QString text = QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
      for (auto it = literal.globalMatch(text); it.hasNext();) topics.insert(it.next().captured(1).toStdString());
    }
  }
  topics.erase("zorva-quix.htm");  // a page of the download source's web site, not of the help
  for (const std::string& topic : topics) EXPECT_TRUE(chm.HasObject(topic)) << topic;
  EXPECT_GE(topics.size(), 3u);
  EXPECT_FALSE(chm.HasObject("missing.htm"));
  std::vector<uint8_t> none{1, 2, 3};
  EXPECT_FALSE(chm.ReadObject("missing.htm", none));
  EXPECT_TRUE(none.empty());
}

TEST(ChmFile, MissingOrForeignFilesAreRefused) {
  TTempFolder dir;
  TChmFile chm;
  EXPECT_FALSE(chm.Open(dir.File("absent.chm")));
  EXPECT_FALSE(chm.Open(dir.Path().string()));  // a folder
  for (size_t size : {0, 500}) {
    Spit(dir.File("x.chm"), std::vector<uint8_t>(size, '<'));
    EXPECT_FALSE(chm.Open(dir.File("x.chm"))) << size;
  }
  EXPECT_FALSE(chm.HasObject("cont-quix.htm"));
  EXPECT_TRUE(chm.ObjectNames().empty());
}

// Whatever a damaged file lets the reader open, asking it for pages neither crashes nor
// returns more than the file could hold.
void ProbeDamaged(const std::string& path) {
  TChmFile chm;
  if (!chm.Open(path)) return;
  for (const std::string& name : chm.ObjectNames()) {
    std::vector<uint8_t> bytes;
    if (chm.ReadObject(name, bytes)) {
      EXPECT_LE(bytes.size(), kMaxChmObject);
    }
  }
  for (const char* topic : kTopics) {
    std::vector<uint8_t> bytes;
    chm.ReadObject(topic, bytes);
  }
}

TEST(ChmFile, TruncatedAndDamagedFilesDoNoHarm) {
  TTempFolder dir;
  const std::vector<uint8_t> good = Slurp(EnglishChm());
  ASSERT_GT(good.size(), 4096u);
  for (size_t len :
       {size_t(4), size_t(0x60), size_t(0x100), size_t(1000), size_t(4096), good.size() / 2, good.size() - 1}) {
    const std::string path = dir.File("cut.chm");
    Spit(path, std::vector<uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(len)));
    ProbeDamaged(path);
  }
  // Seeded noise after a valid magic, and the real file with stretches overwritten.
  TRandom rng;
  rng.RandSeed = 20261206;
  std::vector<uint8_t> noise(20000);
  for (uint8_t& b : noise) b = uint8_t(rng.Random(256));
  noise[0] = 'I', noise[1] = 'T', noise[2] = 'S', noise[3] = 'F';
  Spit(dir.File("noise.chm"), noise);
  ProbeDamaged(dir.File("noise.chm"));
  for (int round = 0; round < 8; ++round) {
    std::vector<uint8_t> bad = good;
    const size_t at = 0x60 + size_t(rng.Random(uint32_t(good.size() - 0x60 - 64)));
    for (size_t k = 0; k < 64; ++k) bad[at + k] = uint8_t(rng.Random(256));
    Spit(dir.File("bad.chm"), bad);
    ProbeDamaged(dir.File("bad.chm"));
  }
}

TEST(ChmHelpViewer, ShowsATopicWithItsPicturesAndFollowsLinks) {
  auto viewer = CreateChmHelpViewer();
  viewer->ShowTopic(EnglishChm(), "cont-quix.htm");
  QWidget* window = HelpWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("TB_Help"));
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("How to play")));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Zorva Jigsaw Quix Help"));
  const QImage title =
      browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("chm:/images/title.png")))
          .value<QImage>();
  EXPECT_EQ(title.size(), QSize(240, 150));
  // The pages' style sheet comes from the file too.
  const QVariant css = browser->loadResource(QTextDocument::StyleSheetResource, QUrl(QStringLiteral("help.css")));
  EXPECT_TRUE(css.toString().contains(QStringLiteral("font-family")));
  // A click on a link of the page opens the page it names from the same file.
  window->resize(640, 2000);
  QTextCursor at = browser->document()->find(QStringLiteral("Saving"));
  ASSERT_FALSE(at.isNull());
  at.setPosition(at.selectionStart() + 2);
  const QPoint link = browser->cursorRect(at).center();
  ASSERT_FALSE(browser->anchorAt(link).isEmpty());
  QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, link);
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Autosave")));
  EXPECT_EQ(browser->source().path(), QStringLiteral("/save.htm"));
  // From there its own relative links and pictures still resolve.
  browser->setSource(QUrl(QStringLiteral("mouse-keys.htm")));
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("wheel down")));
  EXPECT_FALSE(browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/wheel.png")))
                   .value<QImage>()
                   .isNull());
  EXPECT_FALSE(
      browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("http://example.com/x.png"))).isValid());
  // Another topic replaces the page.
  viewer->ShowTopic(EnglishChm(), "download.htm");
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Selected Jigsaw")));
  viewer.reset();
  EXPECT_EQ(HelpWindow(), nullptr);
}

TEST(ChmHelpViewer, MissingBrokenOrTopiclessHelpShowsNothing) {
  TTempFolder dir;
  auto viewer = CreateChmHelpViewer();
  viewer->ShowTopic(dir.File("english.chm"), "cont-quix.htm");
  EXPECT_EQ(HelpWindow(), nullptr);
  std::vector<uint8_t> cut = Slurp(EnglishChm());
  cut.resize(300);
  Spit(dir.File("cut.chm"), cut);
  viewer->ShowTopic(dir.File("cut.chm"), "cont-quix.htm");
  EXPECT_EQ(HelpWindow(), nullptr);
  viewer->ShowTopic(EnglishChm(), "no-such-topic.htm");
  EXPECT_EQ(HelpWindow(), nullptr);
  // The same viewer still works once a good file is asked for.
  viewer->ShowTopic(EnglishChm(), "sound.htm");
  ASSERT_NE(HelpWindow(), nullptr);
  // Then a broken file leaves the window as it was.
  QTextBrowser* browser = HelpWindow()->findChild<QTextBrowser*>(QStringLiteral("TB_Help"));
  const QString before = browser->toPlainText();
  viewer->ShowTopic(dir.File("cut.chm"), "open.htm");
  EXPECT_EQ(browser->toPlainText(), before);
}

}  // namespace
