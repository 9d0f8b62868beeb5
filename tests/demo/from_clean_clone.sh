#!/usr/bin/env bash
# scripts/demo from a clean clone of this repository's commit, headless: the
# demo must set up, configure, build and run on its own. Only the i386 tree,
# which scripts/setup makes (a download of minutes) where the kernel runs
# 32-bit programs, is hard-linked into the clone; everything else is made there afresh. Passes when the demo ends well,
# saved its three screenshots and updated the demo installation.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
clone=$root/build/demo-clone
log=$root/build/demo-clone.log
rm -rf --one-file-system "$clone"
git clone -q "$root" "$clone"
if [ -d "$root/build/wine32/root" ]; then
  mkdir -p "$clone/build/wine32"
  cp -al "$root/build/wine32/root" "$clone/build/wine32/root"
fi
status=0
(unset DISPLAY; "$clone/scripts/demo") >"$log" 2>&1 || status=$?
failures=()
[ "$status" = 0 ] || failures+=("scripts/demo exited with $status")
for shot in 1-version-box 2-main-window 3-completion-window; do
  [ -s "$clone/build/demo/shot-$shot.png" ] || failures+=("no screenshot $shot")
done
grep -q 'demo: closed; exit code 0' "$log" || failures+=("the updater did not end with exit code 0")
grep -q 'Kelvo.exe *Kelvo 2.0 executable' "$log" || failures+=("the installation was not updated")
if [ "${#failures[@]}" -gt 0 ]; then
  printf 'FAIL demo from a clean clone: %s\n' "${failures[@]}"
  tail -n 20 "$log" | sed 's/^/  /'
  exit 1
fi
rm -rf --one-file-system "$clone"
echo "PASS demo from a clean clone (log: build/demo-clone.log)"
