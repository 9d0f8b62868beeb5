# Links an ordinary user plants for the elevated run: a folder link inside the
# install folder, and the install folder itself swapped for a link after the
# search accepted it. Each is refused with an error box naming the link; the
# folder they point to (standing for an administrators-only one) is untouched
# and no completion window appears.
KELVO=$DRIVE_C/Program\ Files\ \(x86\)/Kelvo
GUARDED=$DRIVE_C/windows/kelvo-guarded
LINK_TEXT='" is a link that only an administrator may make; nothing is written through it.'
mkdir -p "$GUARDED"
printf 'admin service\n' >"$GUARDED/service.ini"
guarded_before=$(tree_digest "$GUARDED")

# press_refused LINK_WIN: the press shows the error box naming LINK_WIN, writes
# nothing through it and shows no completion window; the updater then closes.
press_refused() {
  press_start
  expect_eq "error box names the link" "$(error_box_text)" "\"$1$LINK_TEXT"
  drv dismiss-box --title "$APP_TITLE"
  expect_eq "nothing written through the link" "$(tree_digest "$GUARDED")" "$guarded_before"
  expect_eq "no completion window" "$(completion_window)" ""
  drv close --caption "$CAPTION_MAIN" >/dev/null
  expect_exit_code 0
}

# 1. A folder link inside the install folder.
put_kelvo
ln -s "$GUARDED" "$KELVO/plugins"
put_updater
make_archive "$UPDATER_DIR/Data.dat" 'plugins/service.ini=evil' 'plugins/payload.dll=evil'
start_updater
wait_main || { fail "the main window did not appear"; return; }
press_refused 'c:\program files (x86)\kelvo\plugins'

# 2. The accepted install folder swapped for a link before the press.
rm "$KELVO/plugins"
make_archive "$UPDATER_DIR/Data.dat" 'service.ini=evil' 'Kelvo.exe=evil'
start_updater
wait_main || { fail "the main window did not appear"; return; }
# The search runs as the window shows: the folder is swapped only once it was accepted.
wait_until 10 gives 1 start_enabled || { fail "the start button was never enabled"; return; }
mv "$KELVO" "$KELVO.moved"
ln -s "$GUARDED" "$KELVO"
press_refused 'c:\program files (x86)\kelvo'

# 3. A file link inside the install folder, at a name the update replaces.
rm "$KELVO"
mv "$KELVO.moved" "$KELVO"
ln -s "$GUARDED/service.ini" "$KELVO/Kelvo.ini"
kelvo_before=$(tree_digest "$KELVO")
make_archive "$UPDATER_DIR/Data.dat" 'Kelvo.exe=new' 'Kelvo.ini=evil'
start_updater
wait_main || { fail "the main window did not appear"; return; }
press_refused 'c:\program files (x86)\kelvo\Kelvo.ini'
expect_eq "the installation as it was" "$(tree_digest "$KELVO")" "$kelvo_before"
