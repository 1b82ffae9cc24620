#pragma once
#include <cstdint>
#include <string>

#include "platform/help_viewer.h"

inline constexpr int32_t HH_DISPLAY_TOPIC = 0;

// The help entry point: Viewer is null when no help viewer is available, and then every
// request is quietly ignored.
struct THtmlHelp {
  THelpViewer* Viewer = nullptr;
};

// Shows the topic of the help file for HH_DISPLAY_TOPIC; true when a viewer took it. Other
// commands, a null topic or a missing viewer do nothing.
bool HtmlHelpA(const THtmlHelp& help, const std::string& helpFile, int32_t command, const char* topic);
