#!/usr/bin/env bash
# Builds the compiled help of every language from its HTML sources:
#   help/<language>/<language>.hhp  ->  data/language/<language>.chm
# Needs chmcmd (Debian fp-utils). The .chm files are committed, so the game's build does not.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
for project in "$root"/help/*/*.hhp; do
  dir="$(dirname "$project")"
  name="$(basename "$project" .hhp)"
  (cd "$dir" && chmcmd --no-html-scan "$(basename "$project")" >/dev/null)
  # The compiler stamps the build time twice (the file header and the #SYSTEM entry 10, both
  # stored uncompressed); fixed stamps make the output the same on every run.
  python3 - "$dir/$name.chm" <<'PY'
import sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
assert data[:4] == b"ITSF"
data[0x10:0x14] = bytes(4)
mark = data.find(b"Compiled by CHMCmd")
entry = data.find(b"\x0a\x00\x04\x00", mark)
assert mark > 0 and entry > 0
data[entry + 4:entry + 8] = bytes(4)
open(path, "wb").write(data)
PY
  mv -f "$dir/$name.chm" "$root/data/language/$name.chm"
  echo "data/language/$name.chm"
done
