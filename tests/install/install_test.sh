#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under a prefix of its own, checks the layout a
# desktop and a packager expect, then starts the installed program from a read-only install to
# see that it finds its program folder from its own place and writes nothing there.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; chmod -R u+w "$root"; rm -rf "$root"' EXIT
DESTDIR=$root/dest cmake --install "$build" --prefix /opt/zq >/dev/null
p=$root/dest/opt/zq
folder=$p/share/zorva-jigsaw-quix
for f in bin/zorva share/applications/org.zorva.JigsawQuix.desktop share/metainfo/org.zorva.JigsawQuix.metainfo.xml \
         share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/org.zorva.JigsawQuix.png \
         share/zorva-jigsaw-quix/{pic_zorva.dat,zorva.ini,set.wav,win.wav,jigsaws/distjiglist.txt} \
         share/zorva-jigsaw-quix/language/english.{lng,chm,bmp} share/zorva-jigsaw-quix/bkg-pics/wood1-1600.jpg; do
  [ -f "$p/$f" ] || { echo "not installed: $f"; exit 1; }
done
[ -x "$p/bin/zorva" ] || { echo "bin/zorva is not executable"; exit 1; }
appstreamcli validate --no-net "$p/share/metainfo/org.zorva.JigsawQuix.metainfo.xml" >/dev/null
desktop-file-validate "$p/share/applications/org.zorva.JigsawQuix.desktop"
if ! cmp -s "$folder/jigsaws/distjiglist.txt" "$(dirname "$0")/../../data/jigsaws/distjiglist.txt"; then
  echo "the program folder is not the source's data/"; exit 1
fi

# First start from elsewhere, as another user would: the settings come from the program
# folder and the distributed jigsaws are copied into the documents folder.
chmod -R a-w "$p"
home=$root/home
mkdir -p "$home" "$root/run" && chmod 700 "$root/run"
touch "$root/before"
(cd / && HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$root/run \
   QT_QPA_PLATFORM=offscreen exec "$p/bin/zorva" >"$root/out.txt" 2>&1) &
pid=$!
jigsaws="$home/Tamo Games/Zorva Jigsaw Quix/Jigsaws"
want=$(grep -c . "$folder/jigsaws/distjiglist.txt")
for _ in $(seq 600); do
  have=$(find "$jigsaws" -name '*.zvq' 2>/dev/null | wc -l || true)
  [ "$have" -ge "$want" ] && [ -f "$home/data/zorva-jigsaw-quix/zorva.ini" ] && break
  kill -0 "$pid" 2>/dev/null || { cat "$root/out.txt"; echo "the installed program ended early"; exit 1; }
  sleep 0.1
done
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=
[ "$have" -ge "$want" ] || { echo "the installed program copied $have of $want jigsaws"; exit 1; }
cmp "$folder/zorva.ini" "$home/data/zorva-jigsaw-quix/zorva.ini"
changed=$(find "$p" -newer "$root/before")
[ -z "$changed" ] || { echo "the program wrote into its install: $changed"; exit 1; }
