# A 0-byte Data.dat is an archive without entries: nothing is extracted, the
# write-back makes it the 22-byte empty archive, and the completion window shows.
KELVO=$DRIVE_C/Program\ Files\ \(x86\)/Kelvo
put_kelvo
put_updater
: >"$UPDATER_DIR/Data.dat"
before=$(tree_digest "$KELVO")
start_updater
wait_main || { fail "the main window did not appear"; return; }
pressed=$(press_start --wait-new-window --timeout 30000)
expect_eq "completion window shown" "$(field new_caption <<<"$pressed")|$(field new_window <<<"$pressed")" \
  "|$(completion_window)"
expect_eq "Data.dat is now the empty archive" "$(od -An -tx1 -v "$UPDATER_DIR/Data.dat" | tr -s ' \n' ' ')" \
  " 50 4b 05 06 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
expect_eq "install folder untouched" "$(tree_digest "$KELVO")" "$before"
drv close --caption "$CAPTION_MAIN" >/dev/null
expect_exit_code 0
