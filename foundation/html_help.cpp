#include "foundation/html_help.h"

bool HtmlHelpA(const THtmlHelp& help, const std::string& helpFile, int32_t command, const char* topic) {
  if (!help.Viewer || command != HH_DISPLAY_TOPIC || !topic) return false;
  help.Viewer->ShowTopic(helpFile, topic);
  return true;
}
