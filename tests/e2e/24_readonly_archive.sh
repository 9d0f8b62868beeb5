# Data.dat with the read-only attribute cannot be opened for reading and
# writing: "Cannot open file ..." with the archive's full path, and nothing is
# extracted. Runs as an unprivileged user, for whom the attribute counts.
become_unprivileged
KELVO=$DRIVE_C/Program\ Files\ \(x86\)/Kelvo
put_kelvo
put_updater
make_archive "$UPDATER_DIR/Data.dat" 'Kelvo.exe=new exe' 'sub/a.txt=a'
chown -R nobody:nogroup "$DRIVE_C"
chmod a-w "$UPDATER_DIR/Data.dat"      # Wine's read-only attribute
expect_eq "Data.dat has the read-only attribute" \
  "$(wenv "$WINE" cmd /c attrib 'C:\Updater\Data.dat' | tr -d '\r' | cut -c1-10 | tr -d ' ')" "AR"
before=$(tree_digest "$KELVO")$(sha "$UPDATER_DIR/Data.dat")
start_updater
wait_main || { fail "the main window did not appear"; return; }
press_start
text=$(error_box_text)
expect_eq "error names the archive" "${text%%\". *}\"." 'Cannot open file "C:\Updater\Data.dat".'
expect_true "error text ends with a full stop" test "${text: -1}" = .
echo "  (error text: $text)"
drv dismiss-box --title "$APP_TITLE"
expect_eq "nothing extracted, archive unchanged" "$(tree_digest "$KELVO")$(sha "$UPDATER_DIR/Data.dat")" "$before"
expect_eq "no completion window" "$(completion_window)" ""
drv close --caption "$CAPTION_MAIN" >/dev/null
expect_exit_code 0
"$ROOT/scripts/wine-env" stop "$WINE_DIR"
