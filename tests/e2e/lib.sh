# Helpers for the end-to-end scenarios, sourced by scripts/e2e (and by the
# driver's own test). A scenario runs in a subshell with these set:
#   ROOT      the source tree            WINE_DIR  the scenario's Wine environment
#   DRIVE_C   its C: drive (Linux path)  BUILD     build/win64
# Checks never stop a scenario: each failure is printed and counted, and the
# scenario fails at its end when any check failed.

WINE64=/usr/lib/wine/wine64
PY=/usr/bin/python3              # Debian's, with PIL
CAPTION_MAIN='آپدیت نرم افزار حسابداری پیشرفته ورنا'
START_CAPTION='شروع آپدیت'
MISSING_TEXT=' موجود نیستData.datفایل '
APP_TITLE='Kelvoupdater'          # the title the updater derives from "KelvoUpdater.exe"
KELVO_DIR_WIN='C:\Program Files (x86)\Kelvo'
CHECK_FAILURES=0

wenv() { "$ROOT/scripts/wine-env" shell "$WINE_DIR" "$@"; }

# drv runs the UI driver; output is UTF-8 "key=value" lines without CR.
drv() { wenv "$WINE64" "$UIDRIVER" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

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
start_updater() {
  local cwd=$UPDATER_DIR
  if [ "${1:-}" = --cwd ]; then cwd=$2; shift 2; fi
  (cd "$cwd" && exec "$ROOT/scripts/wine-env" shell "$WINE_DIR" "$WINE64" "$UPDATER_DIR/KelvoUpdater.exe" "$@") \
    </dev/null >"$WINE_DIR/updater.out" 2>&1 &
  UPDATER_PID=$!
}

# wait_main: waits for the main window; MAIN is its handle.
wait_main() {
  MAIN=$(drv wait-window --caption "$CAPTION_MAIN" --timeout "${1:-15000}" | field hwnd)
  [ -n "$MAIN" ]
}

# updater_exit_code [TIMEOUT_S]: waits for the updater process and prints its exit code.
updater_exit_code() {
  local limit=${1:-15} i
  for ((i = 0; i < limit * 10; i++)); do
    kill -0 "$UPDATER_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$UPDATER_PID" 2>/dev/null; then echo "still running"; return; fi
  local rc=0
  wait "$UPDATER_PID" || rc=$?
  echo "$rc"
}

# pixel X Y -> "R G B" of the screen, read by the driver inside Wine.
pixel() { drv pixel "$1" "$2"; }

# screenshot OUT.png: the whole X screen, from the Linux side.
screenshot() { DISPLAY=":$(cat "$WINE_DIR/display")" import -window root "$1"; }

# sha FILE: content hash for before/after comparisons.
sha() { sha256sum "$1" | cut -d' ' -f1; }
