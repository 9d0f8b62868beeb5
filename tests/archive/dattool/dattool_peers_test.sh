#!/usr/bin/env bash
# dattool against the everyday archivers, on a folder with a Persian file name:
# check names the Persian entry of archives made by Info-ZIP's `zip -r` (a
# problem) and by `7zz a -tzip` (a warning), and nothing in one made by
# `dattool pack`; Info-ZIP's unzip, 7-Zip, bsdtar and Python's zipfile list the
# packed Persian name as it is; zipfile, bsdtar and the update run's own
# extraction give back the packed tree, and diff finds that tree current;
# packing twice gives the same bytes; a link in the folder is refused, naming it;
# the Linux build shows its progress line on a terminal only, once a pack has
# taken 200 ms.
# Usage: dattool_peers_test.sh DATTOOL                  (the Linux build)
#        dattool_peers_test.sh DATTOOL.EXE WINE_ENV DIR (the Windows build in scripts/wine-env)
set -euo pipefail
dattool=$1
wine_env=${2:-}
wine_dir=${3:-}
for tool in zip unzip 7zz bsdtar python3; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup installs it)"; exit 1; }
done
export LC_ALL=C.UTF-8
# Under Wine the folder lies in the environment's folder: the 32-bit Wine runs in
# the i386 tree, which sees that folder but not the machine's /tmp.
if [ -n "$wine_dir" ]; then work=$(mktemp -d -p "$wine_dir"); else work=$(mktemp -d); fi
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# tool ARGS...: runs dattool, Linux paths given as they are (Wine sees / as Z:).
tool() {
  local args=() a
  for a in "$@"; do
    if [ -n "$wine_env" ] && [ "${a#/}" != "$a" ]; then args+=("Z:$a"); else args+=("$a"); fi
  done
  if [ -n "$wine_env" ]; then "$wine_env" exec "$wine_dir" "$dattool" "${args[@]}" | tr -d '\r'
  else "$dattool" "${args[@]}"; fi
}

src=$work/src
mkdir -p "$src/sub folder/deeper" "$src/empty folder"
printf 'MZ program' >"$src/Kelvo.exe"
printf 'report' >"$src/گزارش.rep"
: >"$src/sub folder/empty.txt"
python3 -c "import sys; sys.stdout.write('ledger line\n' * 8000)" >"$src/sub folder/deeper/ledger.txt"  # > 61,440 bytes
persian='"گزارش.rep"'

(cd "$src" && zip -qr "$work/zip.zip" . && 7zz a -tzip "$work/7z.zip" . >/dev/null)

expect_check() {  # expect_check ARCHIVE EXIT-CODE PATTERN
  local out code=0
  out=$(tool check "$1") || code=$?
  [ "$code" = "$2" ] || fail "check $(basename "$1") exited $code, not $2: $out"
  grep -qF -- "$3" <<<"$out" || fail "check $(basename "$1") does not say '$3': $out"
  echo "check $(basename "$1"): $(tail -n 1 <<<"$out")"
}
expect_check "$work/zip.zip" 1 "read as UTF-8 it is $persian"
expect_check "$work/7z.zip" 0 "$persian: warning: is flagged UTF-8 while other names are not: KelvoUpdater installs this name right"

tool pack --fixed-time "$src" "$work/pack.dat" >/dev/null || fail "pack failed"
tool pack --fixed-time "$src" "$work/again.dat" >/dev/null || fail "second pack failed"
cmp -s "$work/pack.dat" "$work/again.dat" || fail "packing twice gave different bytes"
expect_check "$work/pack.dat" 0 "no problems in 7 entries"

# Each reader lists the Persian name as it is ("version made by" names a Unix host).
# The listing is taken whole before it is searched: grep -q leaving a pipe early
# would make a lister still writing fail under pipefail.
for lister in "unzip -l" "7zz l" "bsdtar -tf"; do
  listing=$($lister "$work/pack.dat")
  grep -qF "گزارش.rep" <<<"$listing" || fail "$lister does not list the Persian name: $listing"
done

python3 - "$work/pack.dat" "$work/by-zipfile" <<'PY' || fail "Python's zipfile does not read the packed archive"
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    assert z.testzip() is None
    assert all(i.flag_bits & 0x800 for i in z.infolist())
    assert "گزارش.rep" in z.namelist(), z.namelist()
    z.extractall(sys.argv[2])
PY
diff -r "$src" "$work/by-zipfile" || fail "zipfile gave another tree"
mkdir -p "$work/by-bsdtar" "$work/by-run"
bsdtar -xf "$work/pack.dat" -C "$work/by-bsdtar" || fail "bsdtar does not read the packed archive"
diff -r "$src" "$work/by-bsdtar" || fail "bsdtar gave another tree"
tool extract "$work/pack.dat" "$work/by-run" || fail "the update run's extraction failed"
diff -r "$src" "$work/by-run" || fail "the update run gave another tree"
tool diff "$work/pack.dat" "$work/by-run" >/dev/null || fail "diff does not find the extracted tree current"

# A link to a folder outside would pack what lies there; Wine shows a Linux
# link as a Windows symbolic link, so the Windows build meets it as on Windows.
mkdir -p "$work/linked/src" "$work/elsewhere"
printf 'secret' >"$work/elsewhere/secret.txt"
printf 'a' >"$work/linked/src/a.txt"
ln -s "$work/elsewhere" "$work/linked/src/to elsewhere"
out=$(tool pack "$work/linked/src" "$work/linked.dat") && fail "pack took a folder with a link: $out"
grep -qF '"to elsewhere": is a link or junction' <<<"$out" || fail "pack does not name the link: $out"
[ ! -e "$work/linked.dat" ] || fail "pack wrote an archive of a folder with a link"

if [ -z "$wine_env" ]; then
  command -v script >/dev/null || fail "script is missing (scripts/setup installs it)"
  mkdir -p "$work/slow"
  head -c 32M /dev/urandom >"$work/slow/noise.bin"  # deflating it takes well over 200 ms
  printf 'b' >"$work/slow/b.txt"
  # on_terminal ARGS...: what dattool writes to a terminal on its error stream.
  on_terminal() { script -qec "$(printf '%q ' "$dattool" "$@") >/dev/null" /dev/null; }
  [[ "$(on_terminal pack "$work/slow" "$work/slow.dat")" == *$'\e[K'* ]] ||
    fail "a slow pack shows no progress line on a terminal"
  [[ "$(on_terminal pack "$src" "$work/quick.dat")" != *$'\e[K'* ]] ||
    fail "a quick pack shows a progress line"
  "$dattool" pack "$work/slow" "$work/slow-again.dat" >/dev/null 2>"$work/errors.txt" || fail "slow pack failed"
  [ ! -s "$work/errors.txt" ] || fail "a progress line went to a file: $(cat -v "$work/errors.txt")"
fi

if [ "$failures" -gt 0 ]; then echo "$failures failed"; exit 1; fi
echo "dattool against zip, 7zz, zipfile and bsdtar: all passed"
