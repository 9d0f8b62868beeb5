# The default error display: a damaged Data.dat raises "Error reading zip file",
# shown with the title as caption, the error icon, one OK button and a full stop
# appended; a text that already ends in "." gets none ("data error." shows the
# rule from the other side in 26_corrupt_entry).
KELVO=$DRIVE_C/Program\ Files\ \(x86\)/Kelvo
put_kelvo
put_updater
printf 'this is not a zip archive at all' >"$UPDATER_DIR/Data.dat"
start_updater
wait_main || { fail "the main window did not appear"; return; }
press_start
box=$(drv read-box --title "$APP_TITLE" --timeout 20000)
expect_eq "error text with its full stop" "$(field text <<<"$box")" "Error reading zip file."
expect_eq "error icon" "$(field icon <<<"$box")" 1
expect_eq "one OK button" "$(grep -c '^button=' <<<"$box") $(field button <<<"$box")" "1 OK"
expect_eq "main window disabled while the box shows" "$(drv info --caption "$CAPTION_MAIN" | field enabled)" 0
drv dismiss-box --title "$APP_TITLE"
expect_eq "the program goes on" "$(drv info --caption "$CAPTION_MAIN" | field enabled)" 1
drv close --caption "$CAPTION_MAIN" >/dev/null
expect_exit_code 0
