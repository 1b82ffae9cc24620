#include "foundation/html_help.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TRecordingViewer : THelpViewer {
  std::vector<std::string> Shown;
  void ShowTopic(const std::string& helpFile, const std::string& topic) override {
    Shown.push_back(helpFile + "|" + topic);
  }
};

// Only a topic request with a topic reaches the viewer; the answer says whether one did.
TEST(HtmlHelp, PassesTopicRequestsToTheViewerAndRefusesTheRest) {
  TRecordingViewer viewer;
  const THtmlHelp help{&viewer};
  EXPECT_TRUE(HtmlHelpA(help, "/x/english.chm", HH_DISPLAY_TOPIC, "save.htm"));
  EXPECT_FALSE(HtmlHelpA(help, "/x/english.chm", HH_DISPLAY_TOPIC + 1, "save.htm"));
  EXPECT_FALSE(HtmlHelpA(help, "/x/english.chm", HH_DISPLAY_TOPIC, nullptr));
  EXPECT_EQ(viewer.Shown, std::vector<std::string>{"/x/english.chm|save.htm"});
  EXPECT_FALSE(HtmlHelpA(THtmlHelp{}, "/x/english.chm", HH_DISPLAY_TOPIC, "open.htm"));
}

}  // namespace
