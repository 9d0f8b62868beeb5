# Helpers for the end-to-end scenarios, sourced by scripts/e2e (and by the
# driver's own test). A scenario runs in a subshell with these set:
#   ROOT      the source tree            WINE_DIR  the scenario's Wine environment
#   DRIVE_C   its C: drive (Linux path)  BUILD     the build with the exes (build/win32)
# Windows programs run with "$WINE" inside `wenv` (the environment's own Wine:
# the 32-bit one for the i686 build), as the owner of the scenario's prefix.
# Checks never stop a scenario: each failure is printed and counted, and the
# scenario fails at its end when any check failed.

WINE=$ROOT/scripts/wine
PY=/usr/bin/python3              # Debian's, with PIL
CAPTION_MAIN='آپدیت نرم افزار حسابداری پیشرفته ورنا'
START_CAPTION='شروع آپدیت'
MISSING_TEXT=' موجود نیستData.datفایل '
APP_TITLE='Kelvoupdater'          # the title the updater derives from "KelvoUpdater.exe"
KELVO_DIR_WIN='C:\Program Files (x86)\Kelvo'
CHECK_FAILURES=0

wenv() { "$ROOT/scripts/wine-env" shell "$WINE_DIR" "$@"; }

# drv runs the UI driver; output is UTF-8 "key=value" lines without CR.
drv() { wenv "$WINE" "$UIDRIVER" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# field KEY: the value of the first "KEY=" line of stdin.
field() { sed -n "s/^$1=//p" | head -n 1; }

fail() { echo "  FAIL: $*"; CHECK_FAILURES=$((CHECK_FAILURES + 1)); }
pass() { echo "  ok: $*"; }

# expect_eq WHAT ACTUAL EXPECTED
expect_eq() {
  if [ "$2" == "$3" ]; then pass "$1 = '$3'"; else fail "$1: got '$2', expected '$3'"; fi
}
expect_ne() {
  if [ "$2" != "$3" ]; then pass "$1 != '$3'"; else fail "$1: got '$2', expected anything else"; fi
}
# expect_true WHAT COMMAND...: the command succeeds.
expect_true() {
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# win_path LINUX_PATH_UNDER_DRIVE_C -> C:\...
c_path() { local rel=${1#"$DRIVE_C"/}; echo "C:\\${rel//\//\\}"; }

# put_kelvo [FOLDER]: a Kelvo installation (Kelvo.exe and the marker) in the
# Linux folder FOLDER, by default C:\Program Files (x86)\Kelvo.
put_kelvo() {
  local dir=${1:-$DRIVE_C/Program Files (x86)/Kelvo}
  mkdir -p "$dir"
  printf 'MZ old Kelvo executable\n' >"$dir/Kelvo.exe"
  printf 'old marker library\n' >"$dir/dbrtsl100.bpl"
}

# make_archive OUT ENTRY... (see make_archive.py)
make_archive() { "$PY" "$ROOT/tests/e2e/make_archive.py" "$@"; }

# put_updater [FOLDER]: the updater copied to FOLDER (default C:\Updater).
put_updater() {
  UPDATER_DIR=${1:-$DRIVE_C/Updater}
  mkdir -p "$UPDATER_DIR"
  cp "$UPDATER_EXE" "$UPDATER_DIR/KelvoUpdater.exe"
}

# start_updater [--cwd LINUX_DIR] [ARG...]: starts the updater in the background;
# UPDATER_PID is the loader's process, whose exit status is the program's exit code.
# UPDATER_ENV (NAME=VALUE words) adds to or overrides the environment's variables.
UPDATER_ENV=()
start_updater() {
  local cwd=$UPDATER_DIR
  if [ "${1:-}" = --cwd ]; then cwd=$2; shift 2; fi
  (cd "$cwd" && exec "$ROOT/scripts/wine-env" shell "$WINE_DIR" env "${UPDATER_ENV[@]}" "$WINE" \
    "$UPDATER_DIR/KelvoUpdater.exe" "$@") \
    </dev/null >"$WINE_DIR/updater.out" 2>&1 &
  UPDATER_PID=$!
}

# wait_main: waits for the main window; MAIN is its handle.
wait_main() {
  MAIN=$(drv wait-window --caption "$CAPTION_MAIN" --timeout "${1:-15000}" | field hwnd)
  [ -n "$MAIN" ]
}

# expect_exit_code EXPECTED [TIMEOUT_S]: waits for the updater process (in this
# shell: only the shell that started it can collect its status) and checks its
# exit code.
expect_exit_code() {
  local limit=${2:-15} i rc=0
  for ((i = 0; i < limit * 10; i++)); do
    kill -0 "$UPDATER_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$UPDATER_PID" 2>/dev/null; then
    fail "the updater still runs after $limit s"
    return
  fi
  wait "$UPDATER_PID" || rc=$?
  expect_eq "exit code" "$rc" "$1"
}

# pixel X Y -> "R G B" of the screen, read by the driver inside Wine.
pixel() { drv pixel "$1" "$2"; }

# screenshot OUT.png: the whole X screen, from the Linux side.
screenshot() { "$ROOT/scripts/wine-env" shell "$WINE_DIR" import -window root "$1"; }

# sha FILE: content hash for before/after comparisons.
sha() { sha256sum "$1" | cut -d' ' -f1; }

# z_path LINUX_PATH -> the same file as Wine's Z: drive names it.
z_path() { local p=$1; echo "Z:${p//\//\\}"; }

# main_client_origin: "X Y" of the main window's client area on the screen.
main_client_origin() { drv info --caption "$CAPTION_MAIN" | field client | cut -d' ' -f1,2; }

# client_pixel X Y: the screen pixel at client point X, Y of the main window.
client_pixel() {
  local o; o=($(main_client_origin))
  pixel $((o[0] + $1)) $((o[1] + $2))
}

# centred_at W H -> "LEFT TOP" where a window of outer size W x H is placed when
# centred on the virtual desktop: each halving truncates toward zero, and the
# result is kept inside the desktop's top-left corner.
centred_at() {
  local v; v=($(drv screen | field virtual))
  local left=$((v[0] + v[2] / 2 - $1 / 2)) top=$((v[1] + v[3] / 2 - $2 / 2))
  ((left < v[0])) && left=${v[0]}
  ((top < v[1])) && top=${v[1]}
  echo "$left $top"
}

# check_centred WHAT INFO: the window of the driver's INFO lines is centred.
check_centred() {
  local r; r=($(field rect <<<"$2"))
  expect_eq "$1 centred on the virtual desktop" "${r[0]} ${r[1]}" "$(centred_at "${r[2]}" "${r[3]}")"
}

# ink_right X Y W H: the rightmost client column in the main window's band
# X..X+W-1, Y..Y+H-1 holding a pixel unlike the band's left edge colour (the
# text drawn on a plain bar); empty when the band is plain.
ink_right() {
  local o; o=($(main_client_origin))
  local out=$WINE_DIR/band.ppm
  drv capture $((o[0] + $1)) $((o[1] + $2)) "$3" "$4" "$(z_path "$out")" >/dev/null
  "$PY" - "$out" "$1" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
head = data.split(b"\n", 3)
w, h = map(int, head[1].split())
px = head[3]
ground = px[0:3]
right = None
for y in range(h):
    for x in range(w):
        i = 3 * (y * w + x)
        if px[i:i + 3] != ground and (right is None or x > right):
            right = x
print("" if right is None else right + int(sys.argv[2]))
PY
}

# updater_pid: the Windows process id of the running updater (from its main window).
updater_pid() { drv info --caption "$CAPTION_MAIN" | field pid; }

# completion_windows: how many completion windows show (visible, no caption,
# the updater's own).
completion_windows() { drv count --pid "$(updater_pid)" --caption '' | field count; }

# press_start [DRIVER OPTIONS]: presses the start button (a posted click).
press_start() { drv click --caption "$CAPTION_MAIN" --child-text "$START_CAPTION" "$@"; }

# tree_digest DIR: names and contents of everything below DIR, for "untouched" checks.
tree_digest() { (cd "$1" && find . -printf '%y %p\n' | sort && find . -type f -print0 | sort -z | xargs -0 -r sha256sum); }

# check_extracted ARCHIVE DIR: every entry of ARCHIVE is in DIR with its content.
check_extracted() {
  local result
  result=$("$PY" - "$1" "$2" <<'PY'
import os, sys, zipfile
bad = []
with zipfile.ZipFile(sys.argv[1]) as z:
    for info in z.infolist():
        target = os.path.join(sys.argv[2], info.filename)
        if info.filename.endswith("/"):
            if not os.path.isdir(target): bad.append("folder " + info.filename)
        elif not os.path.isfile(target) or open(target, "rb").read() != z.read(info):
            bad.append(info.filename)
print(" ".join(bad) if bad else "all")
PY
)
  expect_eq "entries extracted with their content" "$result" all
}

# completion_window: the handle of the visible completion window ("" if none).
completion_window() { drv list --pid "$(updater_pid)" --caption '' | field hwnd; }

# check_completion HWND: the completion window's place, size and exact colours.
check_completion() {
  local info; info=$(drv info --hwnd "$1")
  expect_eq "completion window topmost" "$(field topmost <<<"$info")" 1
  expect_eq "completion window active (in front)" "$(field foreground <<<"$info")" 1
  expect_eq "completion window client size" "$(field client <<<"$info" | cut -d' ' -f3,4)" "301 94"
  check_centred "completion window" "$info"
  local c; c=($(field client <<<"$info"))
  for p in "0 0" "1 1" "150 3" "5 47" "296 47" "150 90" "300 93"; do
    local q=($p)
    expect_eq "completion colour at client $p" "$(pixel $((c[0] + q[0])) $((c[1] + q[1])))" "247 248 175"
  done
}

# error_box_text: waits for the error box (title, error icon) and prints its text.
error_box_text() {
  local box; box=$(drv read-box --title "$APP_TITLE" --timeout "${1:-20000}")
  [ "$(field icon <<<"$box")" = 1 ] || echo "(no error icon)"
  field text <<<"$box"
}

# become_unprivileged: from here on the scenario's Windows programs run as the
# user nobody, for whom file permissions count (root ignores a read-only file).
# Wine wants a prefix owned by its user, so the prefix becomes a real copy: the
# clone's hard links share their files with the base environment. The prefix's
# owner is the user wine-env runs the programs as.
become_unprivileged() {
  local letter
  rm -rf "$WINE_DIR/prefix"
  cp -a "$E2E_BASE/prefix" "$WINE_DIR/prefix"
  for letter in d e f g h i j k l m; do
    ln -sfn "$WINE_DIR/drives/$letter" "$WINE_DIR/prefix/dosdevices/$letter:"
  done
  DRIVE_C=$WINE_DIR/prefix/drive_c
  chown -R nobody:nogroup "$WINE_DIR"
}

# hold_open WINDOWS_PATH: another program (the driver) holds the file open
# without sharing until release_held; returns once the file is held.
hold_open() {
  rm -f "$WINE_DIR/release" "$WINE_DIR/hold.out"
  # Straight into the file, not through a pipe: the line must arrive at once.
  wenv "$WINE" "$UIDRIVER" hold "$1" --until "$(z_path "$WINE_DIR/release")" --timeout 60000 \
    >"$WINE_DIR/hold.out" 2>&1 &
  HOLDER_PID=$!
  for _ in $(seq 100); do grep -q holding "$WINE_DIR/hold.out" 2>/dev/null && return 0; sleep 0.05; done
  fail "the file was not held: $(cat "$WINE_DIR/hold.out")"
}
release_held() { touch "$WINE_DIR/release"; wait "$HOLDER_PID"; }

# wait_until SECONDS CMD [ARG...]: runs CMD every 50 ms until it succeeds, at
# most SECONDS long; answers 1 when it never did. Scenarios wait on the
# condition they check next instead of sleeping a fixed time.
wait_until() {
  local limit=$1 i
  shift
  for ((i = 0; i < limit * 20; i++)); do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}
# gives EXPECTED CMD [ARG...]: whether CMD prints exactly EXPECTED.
gives() { local want=$1; shift; [ "$("$@")" = "$want" ]; }
# start_enabled: 1 while the main window's start button takes input, else 0.
start_enabled() { drv info --caption "$CAPTION_MAIN" --child-text "$START_CAPTION" | field enabled; }
# pick_by_hand PATH: the manual selection: a primary click on the second option
# opens the open dialog, PATH is typed and confirmed, the dialog closes and the
# start button becomes enabled (each step checked).
pick_by_hand() {
  local dialog
  drv click --caption "$CAPTION_MAIN" --child-class TsRadioButton --child-index 1 --mouse
  dialog=$(drv wait-window --class '#32770' --caption Open --timeout 10000 | field hwnd)
  expect_ne "open dialog shown" "$dialog" ""
  drv set-text --hwnd "$dialog" --child-class Edit "$1"
  drv click --hwnd "$dialog" --child-id 1
  drv wait-gone --hwnd "$dialog" --timeout 5000 || fail "the dialog stayed open"
  wait_until 5 gives 1 start_enabled
  expect_eq "start button enabled by the manual pick" "$(start_enabled)" 1
}
