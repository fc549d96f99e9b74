#!/usr/bin/env bash
# Drives the built program on a real X display the way a user does, with keystrokes and clicks
# only: the splash window and the key that closes it, the main window, a design typed field by
# field and calculated with Alt+C, the information window, the about window, the bar table by
# Ctrl+T, and Archivo > Salir, which must end the program with status 0. Every window is found by
# its WM_CLASS and its title (the splash, which has no caption, by its size), its size is checked
# against the layout, and a PNG of it is left in the output folder.
#
# Usage (inside an X session, e.g. under xvfb-run): drive_quintaral.sh PROGRAM OUTPUT_DIR
# Needs xdotool and ImageMagick (import, convert). Waits poll, so a slow machine only takes longer.
set -uo pipefail

program=${1:?program}
outdir=${2:?output folder}
mkdir -p "$outdir"

readonly mainTitle="Calculo del Acero de Refuerzo en Vigas de Concreto Reforzado"
readonly infoTitle="Informacion"
readonly barTableTitle="Dimensiones Nominales de las Barras de Acero"
# Client sizes in pixels (twips / 15); the main window adds its menu bar above its client area.
readonly splashSize=492x349 infoSize=349x288 barTableSize=571x357
readonly mainWidth=689 mainClientHeight=505
readonly splashMilliseconds=4000

pid=
fail() {
    echo "FAIL: $*" >&2
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    exit 1
}
step() { echo "== $*"; }
nowMs() { date +%s%3N; }

alive() { kill -0 "$pid" 2>/dev/null; }

# Visible windows of our process with WM_CLASS instance "quintaral": "id width height title" lines.
listWindows() {
    local w
    for w in $(xdotool search --onlyvisible --classname '^quintaral$' 2>/dev/null); do
        [ "$(xdotool getwindowpid "$w" 2>/dev/null)" = "$pid" ] || continue
        local WIDTH= HEIGHT=
        eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=')"
        echo "$w $WIDTH $HEIGHT $(xdotool getwindowname "$w" 2>/dev/null)"
    done
}

# findWindow TITLE [WxH]: the id of the visible window with that title (any title when empty)
# and, when given, that size.
findWindow() {
    local id width height title
    while read -r id width height title; do
        [ -n "$1" ] && [ "$title" != "$1" ] && continue
        [ -n "${2:-}" ] && [ "${width}x${height}" != "$2" ] && continue
        echo "$id"
        return 0
    done < <(listWindows)
    return 1
}

# waitWindow SECONDS TITLE [WxH]: polls until the window is there; prints its id.
waitWindow() {
    local limit=$(( $(nowMs) + $1 * 1000 )) id
    while [ "$(nowMs)" -lt "$limit" ]; do
        alive || fail "the program ended while waiting for window \"$2\""
        id=$(findWindow "$2" "${3:-}") && { echo "$id"; return 0; }
        sleep 0.1
    done
    echo "windows now: $(listWindows | tr '\n' ';')" >&2
    return 1
}

# waitGone SECONDS ID: polls until the window is no longer visible.
waitGone() {
    local limit=$(( $(nowMs) + $1 * 1000 ))
    while [ "$(nowMs)" -lt "$limit" ]; do
        listWindows | grep -q "^$2 " || return 0
        sleep 0.1
    done
    return 1
}

# waitFocus SECONDS ID [X Y]: polls until the window holds the keyboard focus. When it does not
# take it by itself within two seconds, clicks it at X Y (as a user would) and waits on.
waitFocus() {
    local start limit clicked=
    start=$(nowMs)
    limit=$(( start + $1 * 1000 ))
    while [ "$(nowMs)" -lt "$limit" ]; do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$2" ] && return 0
        if [ -z "$clicked" ] && [ -n "${3:-}" ] && [ "$(nowMs)" -gt $(( start + 2000 )) ]; then
            xdotool mousemove --window "$2" "$3" "$4" click 1
            clicked=1
        fi
        sleep 0.05
    done
    return 1
}

sizeOf() { xdotool getwindowgeometry --shell "$1" | awk -F= '/^WIDTH/{w=$2} /^HEIGHT/{h=$2} END{print w "x" h}'; }

# colours FILE WxH+X+Y: the number of distinct colours in that part of the picture.
colours() { convert "$1" -crop "$2" +repage -format %k info:; }

# shoot SECONDS ID FILE: a picture of the window once it has been painted (an unpainted window
# is a single colour).
shoot() {
    local limit=$(( $(nowMs) + $1 * 1000 )) size
    size=$(sizeOf "$2")
    while [ "$(nowMs)" -lt "$limit" ]; do
        if import -window "$2" "$3" 2>/dev/null && [ "$(colours "$3" "$size+0+0")" -gt 8 ]; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# ---------------------------------------------------------------------------------------------
step "start $program"
started=$(nowMs)
QT_QPA_PLATFORM=xcb "$program" &
pid=$!

step "splash window"
splash=$(waitWindow 30 "" "$splashSize") || fail "no ${splashSize} window of WM_CLASS quintaral appeared"
waitFocus 10 "$splash" || fail "the splash window did not take the keyboard focus"
shoot 10 "$splash" "$outdir/SplashWindow.png" || fail "no picture of the splash window"
# A key closes it. Its 4 s timer started after the process did, so a splash gone before
# started + 4 s was closed by the key; later than that the timer may have beaten the key.
if findWindow "" "$splashSize" >/dev/null; then
    xdotool key q
    waitGone 10 "$splash" || fail "a key did not close the splash window"
    gone=$(nowMs)
    [ $(( gone - started )) -lt "$splashMilliseconds" ] && keyClosedSplash=1
fi

step "main window"
main=$(waitWindow 20 "$mainTitle") || fail "the main window did not appear after the splash window"
read -r mainW mainH < <(sizeOf "$main" | tr x ' ')
menuBar=$(( mainH - mainClientHeight ))
[ "$mainW" -eq "$mainWidth" ] && [ "$menuBar" -ge 12 ] && [ "$menuBar" -le 40 ] ||
    fail "main window is ${mainW}x${mainH}, want ${mainWidth}x${mainClientHeight} plus a menu bar"
# A click on the title line (right of where the other windows open) gives the window the focus if it did not take it by itself.
waitFocus 10 "$main" 610 $(( menuBar + 20 )) || fail "the main window did not take the keyboard focus"

# The results box resultsBox (inside resultsFrame) and the compression steel group compressionSteelFrame (inside suppliedSteelFrame),
# a few pixels inside their borders.
resultsBox="257x217+364+$(( menuBar + 236 ))"
compressionGroup="209x65+252+$(( menuBar + 60 ))"
shoot 10 "$main" "$outdir/before.png" || fail "no picture of the main window"
[ "$(colours "$outdir/before.png" "$resultsBox")" -le 2 ] || fail "the results box is not empty at start"
[ "$(colours "$outdir/before.png" "$compressionGroup")" -le 2 ] ||
    fail "the compression steel group shows at start"

step "type b, h, d', f'c, Fy, Mu, d'' and calculate with Alt+C"
# A doubly reinforced section, so that the compression steel group appears.
first=1
for value in 100 15 5 210 4200 5 5; do
    [ -n "$first" ] || xdotool key Tab
    first=
    xdotool key ctrl+a BackSpace
    xdotool type --delay 25 "$value"
done
xdotool key alt+c
limit=$(( $(nowMs) + 10000 ))
until import -window "$main" "$outdir/MainWindow.png" 2>/dev/null &&
    [ "$(colours "$outdir/MainWindow.png" "$resultsBox")" -gt 8 ] &&
    [ "$(colours "$outdir/MainWindow.png" "$compressionGroup")" -gt 8 ]; do
    [ "$(nowMs)" -lt "$limit" ] || fail "Alt+C did not put a doubly reinforced report in the results box"
    alive || fail "the program ended after Alt+C"
    sleep 0.1
done
# The menu bar shows "Calcular" highlighted for a moment after Alt+C; the picture is taken once
# the bar looks as before again (or as it is after a few seconds).
menuStrip="${mainWidth}x${menuBar}+0+0"
limit=$(( $(nowMs) + 3000 ))
convert "$outdir/before.png" -crop "$menuStrip" +repage "$outdir/menu-before.png"
while [ "$(nowMs)" -lt "$limit" ]; do
    import -window "$main" "$outdir/after.png" 2>/dev/null || continue
    convert "$outdir/after.png" -crop "$menuStrip" +repage "$outdir/menu-after.png"
    if compare -metric AE "$outdir/menu-before.png" "$outdir/menu-after.png" null: 2>/dev/null; then
        mv "$outdir/after.png" "$outdir/MainWindow.png"
        break
    fi
    sleep 0.1
done
rm -f "$outdir/before.png" "$outdir/after.png" "$outdir"/menu-*.png

step "information window (Alt+Y, I)"
xdotool key alt+y i
info=$(waitWindow 20 "$infoTitle") || fail "Ayuda > Informacion did not open the information window"
[ "$(sizeOf "$info")" = "$infoSize" ] || fail "information window is $(sizeOf "$info"), want $infoSize"
waitFocus 10 "$info" || fail "the information window did not take the keyboard focus"
shoot 10 "$info" "$outdir/InfoWindow.png" || fail "no picture of the information window"
click "$info" 164 268  # its O.K. button
waitGone 10 "$info" || fail "O.K. did not close the information window"

step "about window (the flag button) and a key"
waitFocus 10 "$main" 610 $(( menuBar + 20 )) || fail "the main window did not take the focus back"
aboutClicked=$(nowMs)
click "$main" 176 $(( menuBar + 452 ))  # aboutButton, the flag
about=$(waitWindow 20 "" "$splashSize") || fail "the flag button did not open the splash window"
waitFocus 10 "$about" || fail "the about window did not take the keyboard focus"
[ -f "$outdir/SplashWindow.png" ] || shoot 10 "$about" "$outdir/SplashWindow.png" || fail "no picture of the splash window"
xdotool key q
waitGone 10 "$about" || fail "a key did not close the about window"
[ $(( $(nowMs) - aboutClicked )) -lt "$splashMilliseconds" ] && keyClosedSplash=1
[ -n "${keyClosedSplash:-}" ] ||
    fail "the machine was too slow to tell whether the key or the 4 s timer closed the splash window"
findWindow "$mainTitle" >/dev/null || fail "the main window is gone after the about window closed"

step "bar table window (Ctrl+T)"
waitFocus 10 "$main" 610 $(( menuBar + 20 )) || fail "the main window did not take the focus back"
xdotool key ctrl+t
barTable=$(waitWindow 20 "$barTableTitle") || fail "Ctrl+T did not open the bar table window"
[ "$(sizeOf "$barTable")" = "$barTableSize" ] ||
    fail "bar table window is $(sizeOf "$barTable"), want $barTableSize"
shoot 10 "$barTable" "$outdir/BarTableWindow.png" || fail "no picture of the bar table window"

step "Archivo > Salir with the bar table still open"
click "$main" 610 $(( menuBar + 20 ))
waitFocus 10 "$main" 610 $(( menuBar + 20 )) || fail "the main window did not take the focus back"
xdotool key alt+a s
limit=$(( $(nowMs) + 15000 ))
while alive; do
    [ "$(nowMs)" -lt "$limit" ] || fail "Archivo > Salir did not end the program"
    sleep 0.1
done
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"

echo "PASS: pictures in $outdir: $(cd "$outdir" && echo *.png)"
