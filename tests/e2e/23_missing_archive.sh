# No Data.dat beside the updater: the plain box with its exact 24-character text,
# captioned with the title, no icon; nothing touched, no completion window, and
# the start button stays enabled.
KELVO=$DRIVE_C/Program\ Files\ \(x86\)/Kelvo
put_kelvo
put_updater
before=$(tree_digest "$DRIVE_C/Updater")$(tree_digest "$KELVO")
start_updater
wait_main || { fail "the main window did not appear"; return; }
press_start
box=$(drv read-box --title "$APP_TITLE" --timeout 20000)
expect_eq "box text" "$(field text <<<"$box")" "$MISSING_TEXT"
expect_eq "box text length" "$(field text <<<"$box" | tr -d '\n' | wc -m)" 24
expect_eq "no icon" "$(field icon <<<"$box")" 0
expect_eq "one OK button" "$(grep -c '^button=' <<<"$box") $(field button <<<"$box")" "1 OK"
drv dismiss-box --title "$APP_TITLE"
expect_eq "no completion window" "$(completion_window)" ""
expect_eq "nothing touched" "$(tree_digest "$DRIVE_C/Updater")$(tree_digest "$KELVO")" "$before"
expect_eq "start button still enabled" "$(drv info --caption "$CAPTION_MAIN" --child-text "$START_CAPTION" | field enabled)" 1

# Put Data.dat in place and press again: the update goes through.
make_archive "$UPDATER_DIR/Data.dat" 'Kelvo.exe=new'
pressed=$(press_start --wait-new-window --timeout 30000)
expect_eq "second press completes" "$(field new_caption <<<"$pressed")|$(field new_window <<<"$pressed")" "|$(completion_window)"
expect_eq "Kelvo.exe replaced" "$(cat "$KELVO/Kelvo.exe")" new
drv close --caption "$CAPTION_MAIN" >/dev/null
expect_exit_code 0
