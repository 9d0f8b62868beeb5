# A stranger's DLLs lie beside the updater (as in a downloads folder) and in its
# working folder, under the names of libraries that the updater and its open
# dialog load, and Wine is told to prefer such DLLs the way Windows does.
# Through the start-up, the manual selection's open dialog and an update none
# of them is loaded, nor by dattool: both programs import only the system's
# known DLLs and load everything else from the system folder.
#
# Left out: names that Wine 8 itself looks for in the program's folder whatever
# the program asks, because it resolves the imports of its own system DLLs at
# process start, and delay-loaded imports at any time, through the start-up
# search path (Windows takes a known DLL's imports from the system folder and
# honours the program's search restriction for delay loads): version, win32u,
# zlib1, imm32, shcore, winspool.drv, compstui and msimg32.
#
# PLANTED_LIBRARY is the planted DLL, built for the architecture of the exe under test.
PLANTED_LIBRARY=${PLANTED_LIBRARY:-$BUILD/tests/e2e/planted_library.dll}
PLANTED_NAMES=(uxtheme comctl32 dwmapi propsys cryptbase cryptsp profapi ntmarta oleacc uiautomationcore
               textinputframework explorerframe)
[ -f "$PLANTED_LIBRARY" ] || { fail "no planted library at $PLANTED_LIBRARY"; return; }

# plant DIR [NAME...]: a copy of the planted DLL in DIR under each name (and the NAMEs).
plant() {
  local dir=$1 name
  shift
  mkdir -p "$dir"
  for name in "${PLANTED_NAMES[@]}" "$@"; do cp "$PLANTED_LIBRARY" "$dir/$name.dll"; done
}
# markers DIR...: the planted DLLs that were loaded, with the programs that loaded them.
markers() {
  local f
  for f in $(find "$@" -name '*.loaded' | sort); do
    echo "$(basename "$f" .loaded) by $(iconv -f utf-16le -t utf-8 "$f" | tr '\n' ' ')"
  done
}
prefer_planted() {
  local IFS=,
  echo "WINEDLLOVERRIDES=mscoree,mshtml=;${PLANTED_NAMES[*]}${1:+,$1}=n,b"
}

KELVO=$WINE_DIR/drives/d/Apps
put_kelvo "$KELVO"
put_updater
make_archive "$UPDATER_DIR/Data.dat" 'Kelvo.exe=MZ new Kelvo executable' 'sub/a.txt=a'
WORK=$DRIVE_C/Work
plant "$UPDATER_DIR"
plant "$WORK"

# The control: the planted DLL runs its DllMain under these overrides. Wine's own
# user32 imports version.dll, so a program beside a planted version.dll loads it.
CONTROL=$DRIVE_C/Control
plant "$CONTROL" version
cp "$UIDRIVER" "$CONTROL/uidriver.exe"
(cd "$CONTROL" && wenv env "$(prefer_planted version)" "$WINE" "$CONTROL/uidriver.exe" screen >/dev/null 2>&1)
expect_eq "control: a planted version.dll beside a plain program is loaded" \
  "$(markers "$CONTROL" | cut -d' ' -f1-3)" "version.dll by C:\\Control\\uidriver.exe"

UPDATER_ENV=("$(prefer_planted)")
start_updater --cwd "$WORK"
shown=0
wait_main || shown=$?
expect_eq "no planted library loaded at start-up" "$(markers "$UPDATER_DIR" "$WORK")" ""
[ "$shown" = 0 ] || { fail "the main window did not appear"; return; }

pick_by_hand 'D:\Apps\Kelvo.exe'
expect_eq "no planted library loaded by the open dialog" "$(markers "$UPDATER_DIR" "$WORK")" ""

pressed=$(press_start --wait-new-window --timeout 30000)
form2=$(field new_window <<<"$pressed")
expect_eq "the press shows the completion window" "$(field new_caption <<<"$pressed")|$form2" "|$(completion_window)"
check_extracted "$UPDATER_DIR/Data.dat" "$KELVO"
[ -n "$form2" ] && drv close --hwnd "$form2" --wait-exit >/dev/null
expect_exit_code 0
expect_eq "no planted library loaded by the update" "$(markers "$UPDATER_DIR" "$WORK")" ""

cp "$BUILD/archive/dattool.exe" "$UPDATER_DIR/dattool.exe"
listing=$(cd "$WORK" && wenv env "$(prefer_planted)" "$WINE" "$UPDATER_DIR/dattool.exe" list 'C:\Updater\Data.dat' | tr -d '\r')
expect_eq "dattool lists the archive" "$(grep -c 'Kelvo.exe' <<<"$listing")" 1
expect_eq "no planted library loaded by dattool" "$(markers "$UPDATER_DIR" "$WORK")" ""
