# Started with another working folder (as from a shortcut), the updater still
# takes Data.dat from beside its executable.
KELVO=$DRIVE_C/Program\ Files\ \(x86\)/Kelvo
put_kelvo
put_updater
mkdir -p "$DRIVE_C/Elsewhere"
make_archive "$UPDATER_DIR/Data.dat" 'Kelvo.exe=from beside the updater' 'sub/a.txt=a'
make_archive "$DRIVE_C/Elsewhere/Data.dat" 'Kelvo.exe=from the working folder'
start_updater --cwd "$DRIVE_C/Elsewhere"
wait_main || { fail "the main window did not appear"; return; }
pressed=$(press_start --wait-new-window --timeout 30000)
expect_eq "completion window shown" "$(field new_caption <<<"$pressed")|$(field new_window <<<"$pressed")" \
  "|$(completion_window)"
check_extracted "$UPDATER_DIR/Data.dat" "$KELVO"
drv close --caption "$CAPTION_MAIN" >/dev/null
expect_exit_code 0
