# An entry with damaged compressed data: the error box shows the inflate error
# with its full stop, and the installation is as it was: no entry before or
# after it is written, no staged file is left.
KELVO=$DRIVE_C/Program\ Files\ \(x86\)/Kelvo
put_kelvo
put_updater
make_archive "$UPDATER_DIR/Data.dat" --corrupt Kelvo.exe 'first.txt=new first' 'Kelvo.exe@50000' 'last.txt=new last'
old=$(sha "$KELVO/Kelvo.exe")
start_updater
wait_main || { fail "the main window did not appear"; return; }
press_start
expect_eq "error box text" "$(error_box_text)" "data error."
drv dismiss-box --title "$APP_TITLE"
expect_eq "damaged entry's target intact" "$(sha "$KELVO/Kelvo.exe")" "$old"
expect_true "entry before it not written" test ! -e "$KELVO/first.txt"
expect_true "entry after it not written" test ! -e "$KELVO/last.txt"
expect_eq "no staged files left" "$(ls -A "$KELVO" | tr '\n' ' ')" "Kelvo.exe dbrtsl100.bpl "
expect_eq "no completion window" "$(completion_window)" ""
drv close --caption "$CAPTION_MAIN" >/dev/null
expect_exit_code 0
