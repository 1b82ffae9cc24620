#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QTextBrowser>
#include <QUrl>

#include "platform/desktop.h"

// What reaches the desktop: an absolute path goes as a file address (spaces and all), anything
// else as the web address it is. A text browser stands in for the desktop's handler.
TEST(OpenWithDesktop, PathsGoAsFileAddressesAndWebAddressesAsTheyAre) {
  QTextBrowser seen;
  for (const char* scheme : {"file", "https"}) QDesktopServices::setUrlHandler(scheme, &seen, "setSource");
  struct {
    const char* Target;
    const char* Url;
  } cases[] = {
      {"/tmp/no such folder/help page.htm", "file:///tmp/no such folder/help page.htm"},
      {"https://example.org/jigsaws/a b.htm", "https://example.org/jigsaws/a%20b.htm"},
  };
  for (const auto& c : cases) {
    seen.setSource(QUrl());
    OpenWithDesktop(c.Target);
    EXPECT_EQ(seen.source(), QUrl(QString::fromUtf8(c.Url)))
        << c.Target << " gave " << seen.source().toString().toStdString();
  }
  for (const char* scheme : {"file", "https"}) QDesktopServices::unsetUrlHandler(scheme);
}
