#pragma once
#include <string>

// Shows one topic (a page such as "download.htm") of a compiled help file. The game holds
// at most one viewer; without one, help requests do nothing.
class THelpViewer {
 public:
  virtual ~THelpViewer() = default;
  virtual void ShowTopic(const std::string& helpFile, const std::string& topic) = 0;
};
