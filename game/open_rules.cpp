#include "game/open_rules.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "game/jigsaw_file.h"
#include "platform/text_compare.h"

bool SamePath(const std::string& a, const std::string& b) { return SameTextIgnoringCase(a, b); }

bool OpensWithoutBrowser(const std::string& path) {
  return IsRegularFile(path) && LowerExtension(path) == kSavedGameExtension;
}

std::string BrowserStartPath(const TGameSession& s, const std::string& path) {
  if (!path.empty()) return path;
  if (IsRegularFile(s.sSolve)) return s.sSolve;
  if (IsRegularFile(s.sJig)) return s.sJig;
  return {};
}

std::string PlainSaveTarget(TGameSession& s) {
  if (SamePath(s.sSolve, s.Paths.sAutoSave)) s.sSolve.clear();
  return s.sSolve;
}

std::string StartupPresetPath(const TSettings& st) {
  return st.RecentCount > 0 ? st.RecentFiles[0].Path : std::string();
}

std::string FirstDownloadedJigsaw(const std::string& firstDownloaded) {
  if (firstDownloaded.empty()) return {};
  const std::string path = std::filesystem::path(firstDownloaded).replace_extension(JigsawExtension).string();
  return IsRegularFile(path) ? path : std::string();
}
