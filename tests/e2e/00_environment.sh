# The scenario's own prefix: the test colours, the screen, its own drives.
info=$(drv screen)
expect_eq "window colour of the test prefix" "$(field buttonface <<<"$info")" "240 240 240"
expect_eq "virtual desktop" "$(field virtual <<<"$info")" "0 0 1024 768"
expect_true "drive D: is the scenario's own folder" \
  test "$(readlink "$WINE_DIR/prefix/dosdevices/d:")" = "$WINE_DIR/drives/d"
expect_true "the C: drive is a folder of its own" test "$DRIVE_C" -ef "$WINE_DIR/prefix/drive_c"
