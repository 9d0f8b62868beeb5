#!/usr/bin/env bash
# The UI driver against driver_test_window.exe, whose contents are known:
# usage: driver_test.sh win32|win64 WINE_DIR UIDRIVER_EXE TEST_WINDOW_EXE
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
WINE_DIR=$2 UIDRIVER=$3 TEST_WINDOW=$4
source "$ROOT/tests/e2e/lib.sh"

CAPTION="پنجره آزمایشی $$"
"$ROOT/scripts/wine-env" start "--$1" "$WINE_DIR"
wenv "$WINE" "$TEST_WINDOW" "$CAPTION" </dev/null >/dev/null 2>&1 &
pid=$!
W=(--caption "$CAPTION")

main=$(drv wait-window "${W[@]}" | field hwnd)
expect_ne "window found by its Persian caption" "$main" ""
if [ -z "$main" ]; then kill "$pid"; exit 1; fi

info=$(drv info "${W[@]}")
expect_eq "client rectangle on the screen" "$(field client <<<"$info")" "100 100 300 200"
expect_eq "topmost" "$(field topmost <<<"$info")" 1
expect_eq "class" "$(field class <<<"$info")" DriverTestWindow
expect_eq "caption read back" "$(field text <<<"$info")" "$CAPTION"

kids=$(drv children "${W[@]}")
expect_eq "control ids in creation order" "$(field id <<<"$kids"; grep -c '^id=' <<<"$kids")" $'1\n4'
expect_eq "disabled edit" "$(drv info "${W[@]}" --child-id 13 | field enabled)" 0
expect_eq "static text" "$(drv info "${W[@]}" --child-class Static | field text)" none
expect_eq "button by text" "$(drv info "${W[@]}" --child-text OK | field id)" 1
expect_eq "second Button by index" "$(drv info "${W[@]}" --child-class Button --child-index 1 | field id)" 11

font=$(drv font "${W[@]}" --child-id 1)
expect_eq "button font read inside its process" "$(field face <<<"$font") $(field height <<<"$font") $(field weight <<<"$font")" \
  "Tahoma -12 700"
font=$(drv font "${W[@]}" --child-id 1)
expect_eq "a second font read (the probe unloads itself)" "$(field face <<<"$font")" Tahoma
drv font "${W[@]}" --child-id 12 >/dev/null 2>&1
expect_eq "a control without a font of its own answers 1" "$?" 1

for b in right middle; do
  drv click "${W[@]}" --child-id 11 --button "$b"
  sleep 0.3
  expect_eq "$b release reaches the control" "$(drv info "${W[@]}" --child-id 12 | field text)" "up $b"
  expect_eq "$b release leaves the radio unchecked" "$(drv info "${W[@]}" --child-id 11 | field checked)" 0
done
drv click "${W[@]}" --child-id 11 --mouse
sleep 0.3
expect_eq "left click release" "$(drv info "${W[@]}" --child-id 12 | field text)" "up left"
expect_eq "left click checks the radio" "$(drv info "${W[@]}" --child-id 11 | field checked)" 1

expect_eq "screen pixel inside the filled rectangle" "$(drv pixel 110 110)" "12 34 56"
expect_eq "screen pixel just outside it" "$(drv pixel 160 110)" "240 240 240"
shot=$(mktemp -d "$WINE_DIR/driver-test.XXXXXX")   # where the environment's Wine sees it
drv capture 108 110 4 2 'Z:'"${shot//\//\\}"'\cap.ppm' >/dev/null
expect_eq "captured PPM" "$("$PY" -c "
d=open('$shot/cap.ppm','rb').read(); px=d[-24:]
print(d[:11], [tuple(px[i:i+3]) for i in range(0,24,3)])")" \
  "b'P6\n4 2\n255\n' [(240, 240, 240), (240, 240, 240), (12, 34, 56), (12, 34, 56), (240, 240, 240), (240, 240, 240), (12, 34, 56), (12, 34, 56)]"
drv capture 108 110 4 2 'Z:'"${shot//\//\\}"'\cap.bmp' >/dev/null
expect_eq "captured BMP" "$("$PY" -c "
from PIL import Image; im=Image.open('$shot/cap.bmp').convert('RGB'); print(im.size, im.getpixel((1,0)), im.getpixel((2,1)))")" \
  "(4, 2) (240, 240, 240) (12, 34, 56)"

clicked=$(drv click "${W[@]}" --child-id 1 --wait-new-window --timeout 5000)
expect_eq "the click's new window is the box" "$(field new_class <<<"$clicked") $(field new_caption <<<"$clicked")" "#32770 testwin"
expect_true "the time to the new window is measured" test "$(field elapsed_ms <<<"$clicked")" -ge 0
box=$(drv read-box --title testwin)
expect_eq "box text" "$(field text <<<"$box")" "Box text."
expect_eq "box icon" "$(field icon <<<"$box")" 1
expect_eq "box button" "$(field button <<<"$box")" OK
expect_eq "box owner" "$(field owner <<<"$box")" "$main"
expect_eq "owner disabled while the box shows" "$(drv info "${W[@]}" | field enabled)" 0
drv dismiss-box --title testwin
expect_eq "box gone" "$(drv count --class '#32770' --caption testwin | field count)" 0
expect_eq "owner enabled again" "$(drv info "${W[@]}" | field enabled)" 1
drv read-box --title testwin --timeout 300 >/dev/null 2>&1
expect_eq "read-box without a box answers 1" "$?" 1

w1=$(drv text-width --face Tahoma --height -13 "Kelvo" | field width)
w2=$(drv text-width --face Tahoma --height -13 "KelvoKelvo" | field width)
expect_eq "text widths add up" "$((w1 * 2))" "$w2"
expect_true "a text has a width" test "$w1" -gt 0
expect_eq "the window's process by --pid" "$(drv count --pid "$(drv info "${W[@]}" | field pid)" | field count)" 1

touch "$shot/held.txt"
wenv "$WINE" "$UIDRIVER" hold 'Z:'"${shot//\//\\}"'\held.txt' --until 'Z:'"${shot//\//\\}"'\release' --timeout 20000 >"$shot/hold.out" &
holder=$!
# Straight into the file, not through a pipe: the line must arrive at once.
for _ in $(seq 100); do grep -q holding "$shot/hold.out" && break; sleep 0.05; done
second=$(drv hold 'Z:'"${shot//\//\\}"'\held.txt' --timeout 0 2>&1)
expect_eq "a held file cannot be opened again" "$second" "uidriver: cannot open Z:${shot//\//\\}\\held.txt (error 32)"
touch "$shot/release"
wait "$holder"
expect_eq "holder released" "$(tr -d '\r' <"$shot/hold.out" | tail -n 1)" "released=1"

expect_eq "exit code seen by the driver" "$(drv close "${W[@]}" --wait-exit | field exit)" 7
wait "$pid"
expect_eq "exit code seen by the loader" "$?" 7
expect_eq "window gone" "$(drv count "${W[@]}" | field count)" 0
rm -rf "$shot"

echo "driver test: $CHECK_FAILURES failed checks"
[ "$CHECK_FAILURES" = 0 ]
