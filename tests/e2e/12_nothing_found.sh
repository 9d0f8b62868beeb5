# Nothing installed at the standard places: the warning picture shows, the start
# button and the first option are disabled; the manual selection through the
# open dialog (a typed path, confirmed) enables the start button; a cancelled
# dialog disables it again.
mkdir -p "$WINE_DIR/drives/d/Apps" "$WINE_DIR/drives/i/Program Files (x86)/Kelvo"
put_kelvo "$WINE_DIR/drives/i/Program Files (x86)/Kelvo"   # drive I: is never searched
printf 'MZ' >"$WINE_DIR/drives/d/Apps/KELVO.EXE"
printf 'marker' >"$WINE_DIR/drives/d/Apps/dbrtsl100.bpl"
put_updater
start_updater
wait_main || { fail "the main window did not appear"; return; }

M=(--caption "$CAPTION_MAIN")
expect_eq "start button disabled" "$(drv info "${M[@]}" --child-text "$START_CAPTION" | field enabled)" 0
opt1=$(drv info "${M[@]}" --child-class TsRadioButton --child-index 0)
opt2=$(drv info "${M[@]}" --child-class TsRadioButton --child-index 1)
expect_eq "first option checked and disabled" "$(field checked <<<"$opt1") $(field enabled <<<"$opt1")" "1 0"
expect_eq "second option unchecked and enabled" "$(field checked <<<"$opt2") $(field enabled <<<"$opt2")" "0 1"
for p in "390 321" "446 321" "131 321" "216 321"; do
  expect_eq "warning text red at client $p" "$(client_pixel $p)" "254 0 0"
done

# Manual selection: a primary click on the second option opens the dialog.
pick_by_hand 'D:\Apps\KELVO.EXE'
expect_eq "warning still shown" "$(client_pixel 390 321)" "254 0 0"
expect_eq "second option checked" "$(drv info "${M[@]}" --child-class TsRadioButton --child-index 1 | field checked)" 1

# A secondary-button release opens the dialog again; cancelling disables the button.
drv click "${M[@]}" --child-class TsRadioButton --child-index 1 --button right
dialog=$(drv wait-window --class '#32770' --caption Open --timeout 10000 | field hwnd)
expect_ne "open dialog shown again" "$dialog" ""
drv click --hwnd "$dialog" --child-id 2
drv wait-gone --hwnd "$dialog" --timeout 5000 || fail "the dialog stayed open"
wait_until 5 gives 0 start_enabled
expect_eq "start button disabled after cancel" "$(start_enabled)" 0

drv close "${M[@]}" >/dev/null
expect_exit_code 0
