#pragma once
#include <functional>
#include <string>

// Message-box flags and answers keep the numeric values the game's logic is written in.
enum TMsgBoxFlags : int {
  kMbOk = 0,
  kMbOkCancel = 1,
  kMbYesNoCancel = 3,
  kMbYesNo = 4,
  kMbIconQuestion = 32,
  kMbIconExclamation = 48,
};
enum TMsgBoxAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// Shows a modal message box (UTF-8 texts, shown as plain text) and returns 1, 2, 6 or 7.
int ShowMessageBox(const std::string& text, const std::string& caption, int flags);

// Tests answer message boxes without a window; an empty function restores real boxes.
using TMessageBoxHandler = std::function<int(const std::string& text, const std::string& caption, int flags)>;
void SetMessageBoxHandler(TMessageBoxHandler handler);
