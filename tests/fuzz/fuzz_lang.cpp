// Language files: read, split into entries, and every text formatted as the game formats its
// captions, with numbers and texts for whatever fields it holds.
#include "foundation/lang.h"
#include "foundation/text_format.h"
#include "fuzz/fuzz_target.h"

ZORVA_FUZZ_TARGET(lang) {
  std::vector<std::string> lines;
  if (!ReadLangLines(FuzzInputFile("fuzz.lng", data, size), lines)) return;
  for (const TLangEntry& entry : ParseLangLines(lines)) {
    const std::string text = WideFormat(entry.Value, {int64_t(-7), std::string("name"), int64_t(1) << 40});
    FUZZ_CHECK(text.size() <= kMaxFormattedText);
  }
}
