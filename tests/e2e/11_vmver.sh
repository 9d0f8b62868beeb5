# "/vmver" (in any ASCII capitalisation) shows the version box before the main
# window, captioned with the title derived from the executable's name.
put_kelvo
put_updater
for switch in /vmver /VmVeR; do
  start_updater other "$switch" more
  box=$(drv read-box --title "$APP_TITLE" --timeout 15000)
  expect_eq "$switch: box text" "$(field text <<<"$box")" "Velmora v9.11"
  expect_eq "$switch: no icon" "$(field icon <<<"$box")" 0
  expect_eq "$switch: one OK button" "$(grep -c '^button=' <<<"$box") $(field button <<<"$box")" "1 OK"
  expect_eq "$switch: no main window before the box is closed" "$(drv count --caption "$CAPTION_MAIN" | field count)" 0
  drv dismiss-box --title "$APP_TITLE"
  wait_main || fail "$switch: no main window after the box"
  drv close --caption "$CAPTION_MAIN" >/dev/null
  expect_exit_code 0
done

# Renamed, the executable gives the box another caption: the name up to its
# first full stop (the last one would give "New.setup").
cp "$UPDATER_EXE" "$UPDATER_DIR/NEW.SETUP.EXE"
(cd "$UPDATER_DIR" && exec "$ROOT/scripts/wine-env" shell "$WINE_DIR" "$WINE" "$UPDATER_DIR/NEW.SETUP.EXE" /vmver) \
  </dev/null >/dev/null 2>&1 &
UPDATER_PID=$!
expect_eq "caption of a renamed executable" "$(drv read-box --title New --timeout 15000 | field text)" "Velmora v9.11"
drv dismiss-box --title New
wait_main && drv close --caption "$CAPTION_MAIN" >/dev/null
expect_exit_code 0
