# Pressing the start button again after success extracts everything again and
# leaves one completion window, brought to the front.
KELVO=$DRIVE_C/Program\ Files\ \(x86\)/Kelvo
put_kelvo
put_updater
make_archive "$UPDATER_DIR/Data.dat" 'Kelvo.exe=new exe' 'sub/a.txt=a'
start_updater
wait_main || { fail "the main window did not appear"; return; }
form2=$(press_start --wait-new-window --timeout 30000 | field new_window)
expect_ne "first press shows the completion window" "$form2" ""
printf 'changed meanwhile' >"$KELVO/Kelvo.exe"
in_front() { drv info --hwnd "$form2" | field foreground; }
drv activate --caption "$CAPTION_MAIN"
wait_until 5 gives 0 in_front
expect_eq "main window in front before the second press" "$(drv info --hwnd "$form2" | field foreground)" 0
press_start
wait_until 10 gives "new exe" cat "$KELVO/Kelvo.exe"
wait_until 5 gives 1 in_front
expect_eq "Kelvo.exe extracted again" "$(cat "$KELVO/Kelvo.exe")" "new exe"
expect_eq "one completion window" "$(completion_window)" "$form2"
expect_eq "completion windows counted" "$(completion_windows)" 1
expect_eq "completion window in front" "$(in_front)" 1
expect_eq "closing it ends the program" "$(drv close --hwnd "$form2" --wait-exit | field exit)" 0
expect_exit_code 0
