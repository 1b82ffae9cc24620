// zvq-pack: makes a jigsaw file (".zvq") from a picture and a description text.
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pack.h"

namespace {
int Usage() {
  std::fprintf(stderr,
               "usage: zvq-pack --picture FILE --description FILE [--preview FILE]\n"
               "                [--size WIDTHxHEIGHT] [--quality 1-100] --out FILE.zvq\n");
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  TPackOptions options;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    const char* value = argv[++i];
    if (arg == "--picture") {
      options.Picture = value;
    } else if (arg == "--preview") {
      options.Preview = value;
    } else if (arg == "--description") {
      options.Description = value;
    } else if (arg == "--out") {
      out = value;
    } else if (arg == "--quality") {
      options.Quality = std::atoi(value);
    } else if (arg == "--size") {
      if (std::sscanf(value, "%dx%d", &options.Width, &options.Height) != 2) return Usage();
    } else {
      return Usage();
    }
  }
  if (options.Picture.empty() || options.Description.empty() || out.empty() || options.Quality < 1 ||
      options.Quality > 100)
    return Usage();
  std::string error;
  if (!PackJigsaw(options, out, &error)) {
    std::fprintf(stderr, "zvq-pack: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
