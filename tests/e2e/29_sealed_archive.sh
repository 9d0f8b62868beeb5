# A sealed updater (sealed by dattool as scripts/release does) installs the
# archive it was sealed to, press after press (the write-back keeps its
# bytes); any other Data.dat, swapped for another archive or changed in one
# byte, is refused in the error box, and Kelvo's folder and Data.dat stay byte
# for byte as they were. (An unsealed updater is every other scenario's.)
FOREIGN_TEXT='Data.dat is not the update archive this updater was released with. Nothing was installed.'
KELVO=$DRIVE_C/Program\ Files\ \(x86\)/Kelvo
put_kelvo
put_updater
make_archive "$UPDATER_DIR/Data.dat" 'Kelvo.exe=MZ new Kelvo executable' 'dbrtsl100.bpl=new marker' 'sub/q1.rep=quarter one'
cp "$UPDATER_DIR/Data.dat" "$WINE_DIR/released.dat"
seal() { wenv "$WINE" "$BUILD/archive/dattool.exe" seal 'C:\Updater\KelvoUpdater.exe' 'C:\Updater\Data.dat' >/dev/null 2>&1; }
expect_true "dattool seals the updater to its archive" seal
archive_sha=$(sha "$UPDATER_DIR/Data.dat")

start_updater
wait_main || { fail "the main window did not appear"; return; }
form2=$(press_start --wait-new-window --timeout 30000 | field new_window)
expect_ne "the first press shows the completion window" "$form2" ""
check_extracted "$UPDATER_DIR/Data.dat" "$KELVO"
printf 'changed meanwhile' >"$KELVO/Kelvo.exe"
drv activate --caption "$CAPTION_MAIN"
press_start
wait_until 10 gives "MZ new Kelvo executable" cat "$KELVO/Kelvo.exe"
expect_eq "the second press installs again" "$(cat "$KELVO/Kelvo.exe")" "MZ new Kelvo executable"
expect_eq "archive bytes unchanged by two write-backs" "$(sha "$UPDATER_DIR/Data.dat")" "$archive_sha"
[ -n "$form2" ] && expect_eq "closing the completion window ends the program" \
  "$(drv close --hwnd "$form2" --wait-exit | field exit)" 0
expect_exit_code 0

# refused WHAT: the updater, pressed with the Data.dat now in place, shows the
# error box and touches nothing.
refused() {
  put_kelvo
  local kelvo_before archive_before
  kelvo_before=$(tree_digest "$KELVO")
  archive_before=$(sha "$UPDATER_DIR/Data.dat")
  start_updater
  wait_main || { fail "$1: the main window did not appear"; return; }
  press_start
  expect_eq "$1: error box text" "$(error_box_text)" "$FOREIGN_TEXT"
  drv dismiss-box --title "$APP_TITLE"
  expect_eq "$1: Kelvo's folder byte for byte as it was" "$(tree_digest "$KELVO")" "$kelvo_before"
  expect_eq "$1: Data.dat byte for byte as it was" "$(sha "$UPDATER_DIR/Data.dat")" "$archive_before"
  expect_eq "$1: no completion window" "$(completion_window)" ""
  drv close --caption "$CAPTION_MAIN" >/dev/null
  expect_exit_code 0
}

make_archive "$UPDATER_DIR/Data.dat" 'Kelvo.exe=MZ a stranger executable' 'dbrtsl100.bpl=new marker'
refused "a swapped archive"
cp "$WINE_DIR/released.dat" "$UPDATER_DIR/Data.dat"
printf 'X' | dd of="$UPDATER_DIR/Data.dat" bs=1 seek=40 conv=notrunc status=none
refused "the released archive changed in one byte"
