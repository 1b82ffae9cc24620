#include "game/game_paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "foundation/binary_file.h"
#include "foundation/file_helpers.h"
#include "game/jigsaw_file.h"
#include "platform/temp_files.h"

// Where the install puts the program folder, seen from the program's own folder.
#ifndef ZORVA_FOLDER_FROM_BIN
#define ZORVA_FOLDER_FROM_BIN "../share/zorva-jigsaw-quix"
#endif

namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

// Copies when the target is missing; failures are left alone (the player's folder may be
// read-only, the game still runs).
void CopyIfMissing(const std::string& source, const std::string& target) {
  if (Exists(target) || !IsRegularFile(source)) return;
  std::error_code ec;
  const std::string temp = target.substr(0, target.find_last_of('/') + 1) + TempName("copy");
  if (std::filesystem::copy_file(source, temp, std::filesystem::copy_options::overwrite_existing, ec))
    std::filesystem::rename(temp, target, ec);
  if (ec) std::filesystem::remove(temp, ec);
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Why one of the player's folders cannot be used, for the player to read.
std::string FolderFailure(const std::string& folder, int error, bool made) {
  const std::string named = "\"" + folder + "\"";
  if (error == ENOTDIR || error == EEXIST) return "The folder " + named + " could not be made: a file is in the way.";
  return FailureText(
      made ? "Nothing can be written in the folder " + named : "The folder " + named + " could not be made", error);
}

// Makes folder and every missing folder above it, one level at a time, so that a failure names
// the level where it happened; then checks that a file can be made in it. Nothing that exists
// is touched: a file or a dangling link in the way stays and is reported. Empty when the
// folder is usable, else the reason.
std::string MakeFolderChain(const std::string& folder) {
  for (size_t end = folder.find('/', 1); end != std::string::npos; end = folder.find('/', end + 1)) {
    const std::string level = folder.substr(0, end);
    if (IsFolder(level)) continue;
    if (mkdir(level.c_str(), 0777) == 0) continue;
    const int error = errno;
    if (error == EEXIST && IsFolder(level)) continue;  // made by someone else meanwhile
    return FolderFailure(level + "/", error, false);
  }
  std::string probe = folder + TempName("probe-XXXXXX");
  const int fd = mkstemp(probe.data());
  if (fd < 0) return FolderFailure(folder, errno, true);
  close(fd);
  unlink(probe.c_str());
  return "";
}

}  // namespace

std::string ProgramFolder(const std::string& exeDir) {
  const std::string dir = WithSlash(exeDir);
  std::error_code ec;
  if (std::filesystem::is_directory(dir + "data/jigsaws", ec)) return dir + "data/";
  return dir + ZORVA_FOLDER_FROM_BIN "/";
}

namespace {

// The file names of a list file, one per line, blank lines skipped.
std::vector<std::string> ListedNames(const std::string& listFile) {
  std::vector<std::string> names;
  std::ifstream in(listFile);
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    // Plain file names only: a list line never reaches outside the jigsaw folders.
    if (line.empty() || line.find('/') != std::string::npos || line == "." || line == "..") continue;
    names.push_back(line);
  }
  return names;
}

}  // namespace

std::vector<std::string> DistributedJigsaws(const TGamePaths& paths) {
  return ListedNames(paths.sExeJigsawDir + "distjiglist.txt");
}

void InitPaths(TGamePaths& p, const std::string& programDir, TRegistry& registry) {
  p.sExeDir = WithSlash(programDir);
  std::string personal, pictures, appData;
  RegReadString(registry, TRegistryRoot::CurrentUser, kShellFoldersKey, "Personal", personal);
  RegReadString(registry, TRegistryRoot::CurrentUser, kShellFoldersKey, "My Pictures", pictures);
  RegReadString(registry, TRegistryRoot::CurrentUser, kShellFoldersKey, "Local AppData", appData);
  const std::string docs = WithSlash(personal.empty() ? registry.Environment.Home : personal);
  p.sMyDocs = docs;
  p.sPicturesDir = WithSlash(pictures.empty() ? p.sExeDir : pictures);
  p.sAppDataDir = WithSlash(appData) + "zorva-jigsaw-quix/";
  p.sDocsDir = docs + "Tamo Games/" + kProgramTitle + "/";
  // Each folder that cannot be used is named once, at the level where it failed.
  std::vector<std::string> failures;
  auto make = [&failures](const std::string& folder) {
    const std::string failure = MakeFolderChain(folder);
    if (failure.empty()) return true;
    if (std::find(failures.begin(), failures.end(), failure) == failures.end()) failures.push_back(failure);
    return false;
  };
  const bool settingsLost = !make(p.sAppDataDir);
  p.sIniFile = p.sAppDataDir + "zorva.ini";
  p.FirstRun = !Exists(p.sIniFile);
  CopyIfMissing(p.sExeDir + "zorva.ini", p.sIniFile);
  p.sShapeFile = p.sExeDir + "pic_zorva.dat";
  p.sExeJigsawDir = p.sExeDir + "jigsaws/";
  p.sJigsawDir = PlayerJigsawFolder(p);
  const bool jigsawsLost = !make(p.sJigsawDir);
  p.sSavedDir = p.sDocsDir + "Saved Games/";
  const bool savedLost = !make(p.sSavedDir);
  p.sAutoSave = p.sSavedDir + kAutoSaveName + kSavedGameExtension;
  // What an interrupted run left: only names with the program's mark, only in the folders the
  // program writes to (downloads unpack into marked folders of the jigsaw folder), and the
  // temporary save of older versions by its own name.
  for (const std::string& folder : {p.sAppDataDir, p.sMyDocs, p.sDocsDir, p.sSavedDir, p.sJigsawDir, p.sPicturesDir})
    RemoveTempLeftovers(folder);
  std::error_code ec;
  std::filesystem::remove(p.sSavedDir + "zorva.svt", ec);
  if (p.FirstRun) CopyIfMissing(p.sExeDir + kAutoSaveName + kSavedGameExtension, p.sAutoSave);
  p.TempPictureFile = p.sAppDataDir + "~zjtemp.bmp";
  for (const std::string& name : DistributedJigsaws(p)) CopyIfMissing(p.sExeJigsawDir + name, p.sJigsawDir + name);
  if (p.FirstRun) {
    // The thumbnail folder's list names jigsaws without their extension.
    for (const std::string& name : ListedNames(p.sExeDir + "thumb/jiglist.txt"))
      CopyIfMissing(p.sExeJigsawDir + name + JigsawExtension, p.sJigsawDir + name + JigsawExtension);
    if (auto saved = ListFiles(p.sExeJigsawDir, kSavedGameExtension, false))
      for (const std::string& name : *saved) CopyIfMissing(p.sExeJigsawDir + name, p.sSavedDir + name);
  }
  // Without a jigsaw folder of the player's the browser still offers the program's own
  // jigsaws; a folder that exists but cannot be written is still listed, with what is in it.
  if (!IsFolder(p.sJigsawDir)) p.sJigsawDir = p.sExeJigsawDir;
  p.FolderProblem.clear();
  if (failures.empty()) return;
  for (const std::string& failure : failures) p.FolderProblem += failure + "\n";
  std::vector<std::string> lost;
  if (savedLost) lost.push_back("games cannot be saved");
  if (jigsawsLost || settingsLost) lost.push_back("jigsaws cannot be downloaded");
  if (settingsLost) lost.push_back("the settings cannot be kept");
  std::string joined;
  for (size_t i = 0; i < lost.size(); ++i) joined += (i == 0 ? "" : i + 1 == lost.size() ? " and " : ", ") + lost[i];
  p.FolderProblem += "\nUntil that is put right, " + joined + ".";
  if (p.sJigsawDir == p.sExeJigsawDir)
    p.FolderProblem += " The jigsaws that came with the game are offered all the same.";
}

std::string PlayerJigsawFolder(const TGamePaths& paths) { return paths.sDocsDir + "Jigsaws/"; }

void FreeStartupLists(const TGamePaths& paths) {
  std::error_code ec;
  if (!paths.TempPictureFile.empty()) std::filesystem::remove(paths.TempPictureFile, ec);
}
