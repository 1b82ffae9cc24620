// The site tool on folders a site's owner may have: every jigsaw either reaches the list, its
// archive and its preview under its own name, or is named on the error output and the tool fails.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/jigsaw_site.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

struct TToolRun {
  int Status = -1;
  std::string Errors;
};

// Runs the tool on in/ into out/.
TToolRun RunTool(const TTempFolder& root) {
  const std::string tool = std::string(ZORVA_BINARY_DIR) + "/make-jigsaw-site";
  const std::string command =
      tool + " '" + root.File("in") + "' '" + root.File("out") + "' >/dev/null 2>'" + root.File("errors") + "'";
  const int r = std::system(command.c_str());
  std::ifstream in(root.File("errors"));
  return {WIFEXITED(r) ? WEXITSTATUS(r) : -1, std::string(std::istreambuf_iterator<char>(in), {})};
}

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

// Two jigsaws that the game would take for one, and names the game would refuse or that would
// break the list's lines, are left out by name and fail the run; the others are all there.
TEST(SiteTool, JigsawsItWouldLoseAreNamedAndFailTheRun) {
  TTempFolder root;
  fs::create_directory(root.File("in"));
  const std::vector<std::string> lost = {"Sunset.zvq",       "sunset.ZVQ", "two\nlines.zvq",
                                         "rtl\u202Eabc.zvq", " blank.zvq", "back\\slash.zvq"};
  for (const std::string& name : lost) fs::copy_file(DistributedJigsaw("ladybird"), root.File("in/" + name));
  fs::copy_file(DistributedJigsaw("raindrops"), root.File("in/Raindrops.zvq"));

  const TToolRun run = RunTool(root);
  EXPECT_EQ(run.Status, 1);
  for (const std::string shown : {"\"Sunset.zvq\"", "\"sunset.ZVQ\"", "\"two lines.zvq\"", "\"rtl abc.zvq\"",
                                  "\" blank.zvq\"", "\"back\\slash.zvq\""})
    EXPECT_NE(run.Errors.find(shown), std::string::npos) << shown << " in " << run.Errors;
  EXPECT_EQ(std::count(run.Errors.begin(), run.Errors.end(), '\n'), std::ptrdiff_t(lost.size())) << run.Errors;
  EXPECT_EQ(Slurp(root.File("out/thumb/jiglist.txt")), Bytes("raindrops\r\n"));
  EXPECT_EQ(Names(root.File("out/thumb")), (std::vector<std::string>{"jiglist.txt", "raindrops.jpg"}));
  EXPECT_EQ(Names(root.File("out/site/zorva/jigsaws_quix")), (std::vector<std::string>{"info.dat", "raindrops.zip"}));

  // Without them the same folder makes its site and the tool succeeds.
  for (const std::string& name : lost) fs::remove(root.File("in/" + name));
  fs::remove_all(root.File("out"));
  EXPECT_EQ(RunTool(root).Status, 0);
  EXPECT_EQ(Slurp(root.File("out/thumb/jiglist.txt")), Bytes("raindrops\r\n"));
}
