# The typical road: Kelvo found at C:\Program Files (x86)\Kelvo, Data.dat beside
# the updater with nested folders and directory entries, the start button
# pressed, every entry extracted with its content, the completion window shown
# (topmost, centred, its exact colours), the archive unchanged by the write-back,
# the completion window closed, exit code 0.
KELVO=$DRIVE_C/Program\ Files\ \(x86\)/Kelvo
put_kelvo
printf 'user data kept\n' >"$KELVO/company.db"
put_updater
make_archive "$UPDATER_DIR/Data.dat" 'bin/' 'Kelvo.exe=MZ new Kelvo executable' 'dbrtsl100.bpl=new marker' \
  'reports/2024/q1.rep=quarter one' 'lib/sub/deep/x.bpl@200000' 'empty/folder/' 'readme.txt=تازه'
archive_sha=$(sha "$UPDATER_DIR/Data.dat")
start_updater
wait_main || { fail "the main window did not appear"; return; }
expect_eq "start button enabled" "$(drv info --caption "$CAPTION_MAIN" --child-text "$START_CAPTION" | field enabled)" 1

pressed=$(press_start --wait-new-window --timeout 30000)
form2=$(field new_window <<<"$pressed")
expect_eq "the press shows the completion window" "$(field new_caption <<<"$pressed")|$form2" "|$(completion_window)"
[ -n "$form2" ] && check_completion "$form2"
check_extracted "$UPDATER_DIR/Data.dat" "$KELVO"
expect_eq "other files of the folder kept" "$(cat "$KELVO/company.db")" "user data kept"
expect_eq "archive bytes unchanged by the write-back" "$(sha "$UPDATER_DIR/Data.dat")" "$archive_sha"
expect_eq "main window still shown" "$(drv count --caption "$CAPTION_MAIN" | field count)" 1
expect_eq "start button still enabled" "$(drv info --caption "$CAPTION_MAIN" --child-text "$START_CAPTION" | field enabled)" 1
screenshot "$WINE_DIR/typical-road.png"

[ -n "$form2" ] && expect_eq "closing the completion window ends the program" \
  "$(drv close --hwnd "$form2" --wait-exit | field exit)" 0
expect_exit_code 0
