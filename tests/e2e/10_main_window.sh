# The main window as the user first sees it with Kelvo installed: found by its
# Persian caption, topmost, centred, 798 x 571 client, the start button, the
# background's yellow, the warning picture hidden, the found path in its label;
# closing it ends the program with exit code 0.
put_kelvo
put_updater
start_updater
wait_main || { fail "the main window did not appear"; return; }

info=$(drv info --caption "$CAPTION_MAIN")
expect_eq "topmost" "$(field topmost <<<"$info")" 1
expect_eq "client size" "$(field client <<<"$info" | cut -d' ' -f3,4)" "798 571"
check_centred "main window" "$info"

button=$(drv info --caption "$CAPTION_MAIN" --child-text "$START_CAPTION")
expect_ne "start button found by its caption" "$(field hwnd <<<"$button")" ""
expect_eq "start button enabled (Kelvo found)" "$(field enabled <<<"$button")" 1
font=$(drv font --caption "$CAPTION_MAIN" --child-text "$START_CAPTION")
expect_eq "start button font: face, height, weight" \
  "$(field face <<<"$font") $(field height <<<"$font") $(field weight <<<"$font")" "Tahoma -12 700"

# Pure ground of the background picture, composed onto the window: (254, 248, 95).
for p in "5 300" "400 430" "520 318" "20 560" "760 300" "790 440"; do
  expect_eq "background yellow at client $p" "$(client_pixel $p)" "254 248 95"
done
# The warning picture is hidden: where its red text would lie, the bar shows.
bar=$(client_pixel 507 325)
for p in "390 321" "446 321"; do
  expect_eq "no warning text at client $p" "$(client_pixel $p)" "$bar"
done

# Label2 shows the found path: its ink ends where the path's text ends.
path='C:\Program Files (x86)\Kelvo\Kelvo.exe'
width=$(drv text-width --face Tahoma --height -13 "$path" | field width)
right=$(ink_right 63 309 444 17)
expect_true "found path shown in the first bar (ink ends at $right, text at $((63 + width)))" \
  test -n "$right" -a "${right:-0}" -ge $((63 + width - 4)) -a "${right:-0}" -le $((63 + width + 1))

expect_eq "exit code seen by the driver" "$(drv close --caption "$CAPTION_MAIN" --wait-exit | field exit)" 0
expect_exit_code 0
