#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian and its control data, unpacks it into a
# scratch root and starts the unpacked program offscreen until its main window shows.
# Usage: package_test.sh CPACK CPACK_CONFIG WORK_DIR PROBE_PLUGIN_PATH
set -euo pipefail
cpack=$1 config=$2 work=$3 plugins=$4

fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
"$cpack" -G DEB --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/out/quintaral_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one quintaral .deb in $work/out"
deb=${debs[0]}
echo "package: $(basename "$deb")"

# Warnings count as failures too; justified ones go into the package's lintian overrides.
lintian --fail-on error,warning "$deb" ||
  fail "lintian"

fields=$(dpkg-deb --field "$deb" Package Section Maintainer Depends)
echo "$fields"
for want in "Package: quintaral" "Section: science" \
            "Maintainer: Quintaral <quintaral@example.org>" \
            fonts-comic-neue fonts-liberation2 fonts-dejavu-core libqt6svg6 qt6-translations-l10n \
            libqt6widgets6 libc6; do
  grep -qF -- "$want" <<<"$fields" || fail "control data lacks '$want'"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
# Exactly these files: nothing missing, and nothing else (headers, test programs) slipped in.
expected="usr/bin/quintaral
usr/bin/quintaral-cli
usr/share/applications/org.example.Quintaral.desktop
usr/share/doc/quintaral/changelog.gz
usr/share/doc/quintaral/copyright
usr/share/icons/hicolor/48x48/apps/org.example.Quintaral.png
usr/share/icons/hicolor/scalable/apps/org.example.Quintaral.svg
usr/share/man/man1/quintaral-cli.1.gz
usr/share/man/man1/quintaral.1.gz
usr/share/metainfo/org.example.Quintaral.metainfo.xml
usr/share/mime/packages/org.example.Quintaral.xml"
actual=$(cd "$root" && find . -type f -printf '%P\n' | LC_ALL=C sort)
[ "$actual" = "$expected" ] ||
  fail "package files differ from the expected ones:$(diff <(echo "$expected") <(echo "$actual"))"
# The command-line program runs without any display.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/quintaral-cli" design \
  --b 30 --h 50 --cover 5 --fc 210 --fy 4200 --mu 23 --cover2 5 >"$work/cli.log" ||
  fail "quintaral-cli design exited with status $?"
grep -qx ' Area de Refuerzo : 15.66 cm2' "$work/cli.log" || fail "quintaral-cli design: $(cat "$work/cli.log")"
# The metainfo, launcher and icon must find each other as installed.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"

# The program has no options: a Qt generic plugin watches it from the inside instead, reports
# the windows it shows and closes it once the main window has been up for a moment.
shot=$work/main-window.png
set +e
QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$plugins" QT_QPA_GENERIC_PLUGINS="quintaralprobe:$shot" \
  timeout 30 "$root/usr/bin/quintaral" >"$work/run.log" 2>"$work/run.err"
status=$?
set -e
cat "$work/run.log"
[ $status -eq 0 ] || { cat "$work/run.err"; fail "quintaral exited with status $status"; }
grep -q '^shown SplashWindow ' "$work/run.log" || fail "the splash window never showed"
grep -q '^shown MainWindow ' "$work/run.log" || fail "the main window never showed"
[ "$(grep -m1 '^shown ' "$work/run.log" | cut -d' ' -f2)" = SplashWindow ] ||
  fail "the splash window was not the first window"
[ -s "$shot" ] || fail "no picture of the main window"
echo "main window picture: $shot"
