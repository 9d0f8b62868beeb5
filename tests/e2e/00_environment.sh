# The scenario's own prefix: the test colours, the screen, its own drives.
info=$(drv screen)
expect_eq "window colour of the test prefix" "$(field buttonface <<<"$info")" "240 240 240"
expect_eq "virtual desktop" "$(field virtual <<<"$info")" "0 0 1024 768"
expect_true "drive D: is the scenario's own folder" \
  test "$(readlink "$WINE_DIR/prefix/dosdevices/d:")" = "$WINE_DIR/drives/d"
expect_true "the C: drive is a folder of its own" test "$DRIVE_C" -ef "$WINE_DIR/prefix/drive_c"
# Wine draws the title bar's close box as the letter "r" of Marlett: without
# that font the box shows a plain "r" (a narrow glyph of another face).
expect_eq "Marlett, the title bar's symbol font, is installed" \
  "$(drv text-width --face Marlett --height -13 r | field width)" 13
