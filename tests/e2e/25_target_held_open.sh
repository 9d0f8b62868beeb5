# A target file held open without sharing by another program (as a running
# Kelvo holds its files): the error box names that file, and the installation
# is as it was: every entry is staged and checked before any file is replaced.
KELVO=$DRIVE_C/Program\ Files\ \(x86\)/Kelvo
put_kelvo
printf 'old first' >"$KELVO/first.txt"
printf 'old last' >"$KELVO/last.txt"
put_updater
make_archive "$UPDATER_DIR/Data.dat" 'first.txt=new first' 'Kelvo.exe=new exe' 'last.txt=new last'
held_before=$(sha "$KELVO/Kelvo.exe")
hold_open "$KELVO_DIR_WIN\\Kelvo.exe"
start_updater
wait_main || { fail "the main window did not appear"; return; }
press_start
text=$(error_box_text)
expect_eq "error box names the held file" "${text%%\". *}\"." 'Cannot create file "c:\program files (x86)\kelvo\Kelvo.exe".'
expect_true "error text ends with a full stop" test "${text: -1}" = .
drv dismiss-box --title "$APP_TITLE"
release_held
expect_eq "entry before it not replaced" "$(cat "$KELVO/first.txt")" "old first"
expect_eq "held file intact" "$(sha "$KELVO/Kelvo.exe")" "$held_before"
expect_eq "entry after it not written" "$(cat "$KELVO/last.txt")" "old last"
expect_eq "no completion window" "$(completion_window)" ""
expect_eq "no temporary files left" "$(ls -A "$KELVO" | tr '\n' ' ')" "Kelvo.exe dbrtsl100.bpl first.txt last.txt "
expect_eq "start button still enabled" "$(drv info --caption "$CAPTION_MAIN" --child-text "$START_CAPTION" | field enabled)" 1
drv close --caption "$CAPTION_MAIN" >/dev/null
expect_exit_code 0
