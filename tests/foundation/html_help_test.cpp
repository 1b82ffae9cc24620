#include <gtest/gtest.h>

#include <vector>

#include "foundation/html_help.h"

namespace {

struct TRecordingViewer : THelpViewer {
  std::vector<std::pair<std::string, std::string>> shown;
  void ShowTopic(const std::string& helpFile, const std::string& topic) override {
    shown.emplace_back(helpFile, topic);
  }
};

TEST(HtmlHelp, TopicsReachTheViewerOnlyWhenThereIsOne) {
  THtmlHelp help;
  EXPECT_FALSE(HtmlHelpA(help, "english.chm", HH_DISPLAY_TOPIC, "download.htm"))
      << "no viewer: nothing happens";
  TRecordingViewer viewer;
  help.Viewer = &viewer;
  EXPECT_TRUE(HtmlHelpA(help, "english.chm", HH_DISPLAY_TOPIC, "download.htm"));
  EXPECT_FALSE(HtmlHelpA(help, "english.chm", HH_DISPLAY_TOPIC, nullptr));
  EXPECT_FALSE(HtmlHelpA(help, "english.chm", 1, "index.htm"));
  ASSERT_EQ(viewer.shown.size(), 1u);
  EXPECT_EQ(viewer.shown[0].first, "english.chm");
  EXPECT_EQ(viewer.shown[0].second, "download.htm");
}

}  // namespace
