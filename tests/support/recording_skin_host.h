#pragma once
// A frame host for the foundation's tests: each call is written to Calls as "Name arg...", and
// the answers it gives are plain fields a test sets. The game floor's recording host builds on it.
#include <algorithm>
#include <string>
#include <vector>

#include "foundation/skin_window.h"

class TRecordingSkinHost : public TSkinWindowHost {
 public:
  std::vector<std::string> Calls;
  TSkinWindow* Active = nullptr;
  bool Lens = false;

  int Count(const std::string& name) const {
    return int(std::count_if(Calls.begin(), Calls.end(),
                             [&](const std::string& c) { return c == name || c.rfind(name + " ", 0) == 0; }));
  }
  // The calls of that name with their arguments, in order.
  std::vector<std::string> Of(const std::string& name) const {
    std::vector<std::string> out;
    for (const std::string& c : Calls)
      if (c == name || c.rfind(name + " ", 0) == 0) out.push_back(c);
    return out;
  }

  TSkinWindow* ActiveWindow() override { return Active; }
  bool PointInLens(int32_t, int32_t) override { return Lens; }
  void UpdateWindowMenuCaptions() override { Log("UpdateWindowMenuCaptions"); }
  void SetFieldCursor(TSkinCursor c) override { Log("SetFieldCursor", int(c)); }

 protected:
  template <typename... T>
  void Log(const char* name, T... args) {
    std::string s = name;
    ((s += " " + std::to_string(int64_t(args))), ...);
    Calls.push_back(s);
  }
};
