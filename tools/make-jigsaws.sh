#!/usr/bin/env bash
# Makes the jigsaws that come with the game: photographs from Debian's freely licensed wallpaper
# packages, scaled and cut to size by zvq-pack. Writes data/jigsaws/*.zvq, the list
# data/jigsaws/distjiglist.txt and the jigsaw section of data/CREDITS.md. Rerunnable.
#   tools/make-jigsaws.sh [ZVQ_PACK]   (default: builds zvq-pack into build/)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=data/jigsaws
credits=data/CREDITS.md

pack=${1:-}
if [ -z "$pack" ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
  cmake --build build --target zvq-pack >/dev/null
  pack=$root/build/zvq-pack
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name | package | file in the package | size | title | author | licence
jigsaws=(
  "ladybird|mate-backgrounds|usr/share/backgrounds/mate/nature/LadyBird.jpg|1280x800|Ladybird on a grass stalk|Charles Barbin|GPL-2+"
  "yellow-flower|mate-backgrounds|usr/share/backgrounds/mate/nature/YellowFlower.jpg|1440x900|Yellow flower|Charles Barbin|GPL-2+"
  "dune-grass|mate-backgrounds|usr/share/backgrounds/mate/nature/Dune.jpg|1600x1000|Dune grass by the sea|Marco Cogoni, Hylke Bons|GPL-2+"
  "raindrops|mate-backgrounds|usr/share/backgrounds/mate/nature/RainDrops.jpg|1024x768|Raindrops on leaves|blackcombwhistler07|GPL-2+"
  "fallen-leaf|plasma-workspace-wallpapers|usr/share/wallpapers/FallenLeaf/contents/images/2560x1600.jpg|1600x1200|Fallen leaf|Martin Klapetek|GPL-2+ / LGPL-3"
  "evening-glow|plasma-workspace-wallpapers|usr/share/wallpapers/EveningGlow/contents/images/2560x1600.jpg|1920x1440|Boats on a lake at sunset|Ian Hex|GPL-2+ / LGPL-3"
  "forest-path|plasma-workspace-wallpapers|usr/share/wallpapers/Path/contents/images/2560x1600.jpg|2560x1600|Path through a forest|Risto Saukonpää|GPL-2+ / LGPL-3"
  "mountain-meadow|lomiri-wallpapers-16.04|usr/share/backgrounds/aitzgorri_by_Aitzol_Berasategi.jpg|2400x1600|Aitzgorri mountains in autumn|Aitzol Berasategi|CC-BY-4.0"
  "forest-stream|lomiri-wallpapers-16.04|usr/share/backgrounds/life_by_Aitzol_Berasategi.jpg|3000x2000|Stream among mossy rocks|Aitzol Berasategi|CC-BY-4.0"
  "picos-de-europa|lomiri-wallpapers-16.04|usr/share/backgrounds/picosdeeuropa_by_Aitzol_Berasategi.jpg|3200x2400|Picos de Europa|Aitzol Berasategi|CC-BY-4.0"
  "dandelions|lomiri-wallpapers-16.04|usr/share/backgrounds/seeding_by_Clements_Engelhardt.jpg|3840x2160|Dandelion clocks in a meadow|Clemens Engelhardt|CC0-1.0"
  "nuthatch|lomiri-wallpapers-20.04|usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg|4000x3000|Nuthatch on a tree trunk|Lukas Baubkus|CC-BY-SA-3.0"
)

declare -A version
for entry in "${jigsaws[@]}"; do
  IFS='|' read -r _ package _ <<<"$entry"
  [ -d "$work/$package" ] && continue
  (cd "$work" && apt-get download -q "$package" >/dev/null 2>&1)
  deb=$(ls "$work"/"${package}"_*.deb)
  dpkg-deb -x "$deb" "$work/$package"
  version[$package]=$(dpkg-deb -f "$deb" Version)
done

mkdir -p "$out"
rm -f "$out"/*.zvq
: >"$out/distjiglist.txt"
section=$work/credits-section.md
{
  echo "<!-- jigsaws: made by tools/make-jigsaws.sh -->"
  echo "## Jigsaws (data/jigsaws/)"
  echo
  echo "Photographs from Debian 12 wallpaper packages, scaled and cut to the size shown (the"
  echo "originals are in the packages named). Each keeps the licence of its original; the"
  echo "licence texts are in the package's debian/copyright. Where two licences are named, the"
  echo "package's debian/copyright gives the first and the wallpaper's own metadata the second."
  echo
  echo "| jigsaw | size | photograph | author | licence | source (Debian package, file) |"
  echo "|---|---|---|---|---|---|"
} >"$section"
for entry in "${jigsaws[@]}"; do
  IFS='|' read -r name package file size title author licence <<<"$entry"
  text=$work/$name.txt
  printf '%s\nPhoto: %s (%s)\nFrom the Debian package %s\n' "$title" "$author" "$licence" "$package" >"$text"
  "$pack" --picture "$work/$package/$file" --description "$text" --size "$size" --quality 88 \
    --out "$out/$name.zvq"
  echo "$name.zvq" >>"$out/distjiglist.txt"
  echo "| $name.zvq | $size | $title | $author | $licence | $package ${version[$package]}, /$file |" >>"$section"
done
echo "<!-- jigsaws: end -->" >>"$section"

# Replace the jigsaw section of the credits, keeping everything else.
touch "$credits"
[ -s "$credits" ] || echo "# Credits" >"$credits"
awk -v section="$section" '
  /<!-- jigsaws: made by/ { skip = 1; while ((getline line < section) > 0) print line; next }
  /<!-- jigsaws: end -->/ { skip = 0; next }
  !skip { print }
' "$credits" >"$work/credits.md"
grep -q "<!-- jigsaws: made by" "$work/credits.md" || { echo; cat "$section"; } >>"$work/credits.md"
cp "$work/credits.md" "$credits"
du -ch "$out"/*.zvq | tail -1
