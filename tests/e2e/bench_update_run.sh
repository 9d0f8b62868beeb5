# Benchmark, not a scenario (run it with: scripts/e2e bench_update_run): the
# time from the press of the start button to the completion window for an
# application-update archive of ~150 MB in ~300 files, next to
# "dattool extract" on the same archive, both under the build's Wine, interleaved.
# The first run of each goes into an empty folder; the later ones replace an
# extracted tree, as a real update does. dattool's times include its process
# start, measured on its own as "startup" and subtracted.
RUNS=${BENCH_RUNS:-5}
cache=$ROOT/build/e2e/bench
mkdir -p "$cache"
[ -f "$cache/app-update.zip" ] || make_archive "$cache/app-update.zip" --bulk 300 150
put_kelvo
put_updater
cp "$cache/app-update.zip" "$UPDATER_DIR/Data.dat"
mkdir -p "$WINE_DIR/drives/d/tool"
cp "$cache/app-update.zip" "$WINE_DIR/drives/d/tool/Data.dat"
DATTOOL=$BUILD/archive/dattool.exe
now_ms() { date +%s%3N; }

startup=()
for i in 1 2 3; do
  t=$(now_ms); wenv "$WINE" "$DATTOOL" >/dev/null 2>&1; startup+=($(( $(now_ms) - t )))
done
gui=() tool=()
for ((run = 1; run <= RUNS; run++)); do
  start_updater
  wait_main || { fail "the main window did not appear"; return; }
  wait_until 10 gives 1 start_enabled || { fail "the start button was never enabled"; return; }
  ms=$(press_start --wait-new-window --timeout 120000 | field elapsed_ms)
  gui+=("$ms")
  drv close --caption "$CAPTION_MAIN" >/dev/null
  wait "$UPDATER_PID"
  t=$(now_ms)
  wenv "$WINE" "$DATTOOL" extract 'D:\tool\Data.dat' 'D:\tool\out' >/dev/null 2>&1 || fail "dattool extract failed"
  tool+=($(( $(now_ms) - t )))
  echo "  run $run: press to completion ${gui[-1]} ms, dattool extract ${tool[-1]} ms"
done
check_extracted "$UPDATER_DIR/Data.dat" "$DRIVE_C/Program Files (x86)/Kelvo"
check_extracted "$WINE_DIR/drives/d/tool/Data.dat" "$WINE_DIR/drives/d/tool/out"
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
s=$(median "${startup[@]}")
g=$(median "${gui[@]:1}") d=$(median "${tool[@]:1}")
echo "  archive: $(stat -c %s "$cache/app-update.zip") bytes, $("$PY" -c "
import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); print(len(z.infolist()), 'entries,', sum(i.file_size for i in z.infolist()), 'bytes unpacked')" "$cache/app-update.zip")"
echo "  dattool process start alone: median $s ms (${startup[*]})"
echo "  into an empty folder: press to completion ${gui[0]} ms; dattool extract ${tool[0]} ms ($(( tool[0] - s )) ms without its start)"
echo "  over the extracted tree, median of $((RUNS - 1)): press to completion $g ms; dattool extract $d ms ($(( d - s )) ms without its start)"
ratios=()
for ((run = 1; run < RUNS; run++)); do
  ratios+=($(awk -v g="${gui[run]}" -v d="$((tool[run] - s))" 'BEGIN { printf "%.3f", g / d }'))
done
echo "  per-run ratios GUI / dattool without its start, over the tree: ${ratios[*]}"
echo "  median ratio: $(median "${ratios[@]}")"
