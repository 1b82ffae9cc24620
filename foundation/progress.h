#pragma once
#include <functional>

// A long operation announces its steps, then advances one at a time. The game's progress
// panel listens (and pumps window messages); tests count the steps.
struct TProgress {
  int ProgressPos = 0;
  int ProgressMax = 0;
  std::function<void(int pos, int max)> OnStep;  // may be empty

  void Start(int steps) {
    ProgressMax = steps;
    ProgressPos = 0;
    if (OnStep) OnStep(ProgressPos, ProgressMax);
  }
  void ProgressStep(int pos) {
    ProgressPos = pos;
    if (OnStep) OnStep(ProgressPos, ProgressMax);
  }
  void Step() { ProgressStep(ProgressPos + 1); }
};
