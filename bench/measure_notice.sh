#!/usr/bin/env bash
# Measures the notice program, the control gallery (when it is built) and the same notice window
# built with FLTK 1.3, in one run under one private Xvfb: time to first paint, CPU time to first
# paint, peak memory, Return to exit, and CPU time and wakeups while idle. Prints medians and the
# ratios to the FLTK window.
#
#   bash bench/measure_notice.sh [RUNS]      (default 9 measured rounds, after 1 warm-up round)
#
# Environment: LUMI_IDLE_S (idle window per run, default 10 s); LUMI_BEFORE (another build's
# notice program, measured in the same rounds for a before-and-after comparison); LUMIVANE_SCALE
# (the display's scale the programs are measured at; the rest of the environment is cleared).
#
# Then, where the notice program's time and memory go: its start-up phases (window/
# startup_phases.cpp, wall and CPU time, medians of RUNS) and its resident set at rest by mapping.
#
# Everything it needs is in this folder: window/xwatch.c starts a program, waits for its window's
# first paint, watches it idle and presses Return (one run, one line of figures); window/
# notice_fltk.cpp is the FLTK window. It builds the programs twice, as released (Release,
# build-release/: on the system's shared libraries) and linked statically (build-release-static/,
# LUMI_STATIC), and the FLTK window both ways too (build-release/measure/), installs their packages
# when missing, and runs the programs in turns (FLTK, notice, gallery, FLTK static, notice static,
# gallery static, FLTK, ...) so that a busy machine slows them alike; each is compared with the FLTK
# window linked the same way. Per-run lines and the table go to build-release/measure/. Without the
# static archives (of FLTK or the system's libraries) only the shared programs are measured.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
runs=${1:-9}
idle_s=${LUMI_IDLE_S:-10}

need=()
for p in libfltk1.3-dev libxdamage-dev libxtst-dev libxcursor-dev libxinerama-dev libbenchmark-dev x11-utils xvfb xdotool; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
bash scripts/deps.sh run

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMI_TESTS=OFF -DLUMI_BENCH=ON -DLUMI_STATIC=OFF >/dev/null
targets=(lumivane-notice startup_phases)
cmake --build build-release --target help | grep '^lumivane-gallery:' >/dev/null && targets+=(lumivane-gallery)
cmake --build build-release --target "${targets[@]}"
static=1
cmake -S . -B build-release-static -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMI_TESTS=OFF -DLUMI_BENCH=OFF \
    -DLUMI_STATIC=ON >"build-release/static-configure.log" 2>&1 || static=0
grep -q 'LUMI_STATIC_LINKED:INTERNAL=ON' build-release-static/CMakeCache.txt 2>/dev/null || static=0
[ $static = 1 ] && { cmake --build build-release-static --target lumivane-notice lumivane-gallery || static=0; }

out=$repo/build-release/measure
mkdir -p "$out"
cc -O2 -Wall -std=gnu11 -o "$out/xwatch" bench/window/xwatch.c -lXdamage -lXfixes -lXtst -lXext -lX11
# shellcheck disable=SC2046
c++ -O2 -Wall $(fltk-config --cxxflags) -o "$out/notice_fltk" bench/window/notice_fltk.cpp \
    $(fltk-config --use-images --ldflags)
# The FLTK window linked as the static programs are: everything from its archive.
# shellcheck disable=SC2046
[ $static = 1 ] && { c++ -O2 -Wall $(fltk-config --cxxflags) -static-pie -o "$out/notice_fltk_static" \
    bench/window/notice_fltk.cpp $(fltk-config --use-images --ldstaticflags) -lXft -lfontconfig -lfreetype \
    -lexpat -lbrotlidec -lbrotlicommon -lpng16 -ljpeg -lz -lXrender -lXcursor -lXfixes -lXinerama -lXext \
    -lX11 -lxcb -lXau -lXdmcp -lm 2>"$out/fltk-static.log" || { echo "FLTK does not link statically here:" \
    "static figures left out (see $out/fltk-static.log)" >&2; static=0; }; }

texture=$repo/app/pictures/stucco.bmp
names=(fltk notice)
# A run counts when its status is one of ok[NAME] (a window that Return does not close ends on
# SIGTERM after the close timeout: close_timeout is its normal end).
declare -A label cmd xopts ok
ok[fltk]="ok" ok[notice]="ok" ok[gallery]="ok|close_timeout"
label[fltk]="FLTK 1.3 peer"
cmd[fltk]="$out/notice_fltk $texture"
xopts[fltk]="--texture $texture"
label[notice]="lumivane-notice"
cmd[notice]="$repo/build-release/bin/lumivane-notice"
xopts[notice]="--texture $texture${LUMIVANE_SCALE:+ --scale $LUMIVANE_SCALE}"
if [ -x "$repo/build-release/bin/lumivane-gallery" ]; then
    names+=(gallery)
    label[gallery]="lumivane-gallery"
    cmd[gallery]="$repo/build-release/bin/lumivane-gallery"
    # Painted: anything but the black of an empty window at four spots of its form's face. Return
    # presses its default button, which only reports the click.
    xopts[gallery]="--title Lumivane%controls --mode notblank --probe 4,4 --probe 600,2 --probe 4,500 --probe 994,774 --close-timeout-ms 500${LUMIVANE_SCALE:+ --scale $LUMIVANE_SCALE}"
fi
# LUMI_BEFORE=PATH: a notice program of another build (an earlier commit's, say) measured in the
# same rounds, beside the FLTK window on shared libraries.
if [ -n "${LUMI_BEFORE:-}" ]; then
    names+=(before)
    ok[before]="ok"
    label[before]="lumivane-notice, before ($LUMI_BEFORE)"
    cmd[before]=$LUMI_BEFORE
    xopts[before]=${xopts[notice]}
fi
# peer[NAME]: the FLTK window it is compared with, linked the same way.
declare -A peer
for n in "${names[@]}"; do peer[$n]=fltk; done
if [ $static = 1 ]; then
    for n in "${names[@]}"; do
        s=${n}_static
        ok[$s]=${ok[$n]}
        xopts[$s]=${xopts[$n]}
        peer[$s]=fltk_static
    done
    label[fltk_static]="FLTK 1.3 peer, static"
    cmd[fltk_static]="$out/notice_fltk_static $texture"
    label[notice_static]="lumivane-notice, static"
    cmd[notice_static]="$repo/build-release-static/bin/lumivane-notice"
    names_static=(fltk_static notice_static)
    if [ -n "${label[gallery]:-}" ]; then
        label[gallery_static]="lumivane-gallery, static"
        cmd[gallery_static]="$repo/build-release-static/bin/lumivane-gallery"
        names_static+=(gallery_static)
    fi
    names+=("${names_static[@]}")
fi

# One private server for all runs; -displayfd says which display it took once it accepts clients.
ready=$(mktemp)
rtdir=$(mktemp -d)
# Room for the gallery (1000x780) at the scale measured.
Xvfb -screen 0 $((1280 * ${LUMIVANE_SCALE:-1}))x$((1024 * ${LUMIVANE_SCALE:-1}))x24 -nolisten tcp -noreset -displayfd 3 3>"$ready" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$ready" "$rtdir"' EXIT
for _ in $(seq 1 400); do [ -s "$ready" ] && break; sleep 0.025; done
[ -s "$ready" ] || { echo "Xvfb did not start" >&2; exit 1; }
display=:$(head -n1 "$ready")

for n in "${names[@]}"; do : >"$out/$n.runs"; done
: >"$out/programs.log"
for round in $(seq 0 "$runs"); do
    kind=run; [ "$round" -eq 0 ] && kind=warmup
    for n in "${names[@]}"; do
        read -r -a opts <<<"${xopts[$n]}"
        opts=("${opts[@]//%/ }")
        read -r -a argv <<<"${cmd[$n]}"
        line=$(env -i "HOME=$HOME" "PATH=$PATH" "DISPLAY=$display" LANG=C.UTF-8 "XDG_RUNTIME_DIR=$rtdir" ${LUMIVANE_SCALE:+"LUMIVANE_SCALE=$LUMIVANE_SCALE"} \
            "$out/xwatch" --label "$n" --idle-ms $((idle_s * 1000)) "${opts[@]}" -- "${argv[@]}" \
            2>>"$out/programs.log") || true
        echo "$kind $line" >>"$out/$n.runs"
        printf '  %-7s %2d %-8s %s\n' "$kind" "$round" "$n" "$(grep -o 'status=[a-z_]*\|paint_ms=[0-9.-]*' <<<"$line" | tr '\n' ' ')" >&2
        sleep 0.3 # let the server and the kernel finish the previous exit
    done
done

# Medians over the clean measured runs, then one table with the ratios to the FLTK window.
median() { # NAME METRIC: over the counted runs, leaving out -1 (not measured in that run)
    awk -v ok="^(${ok[$1]})$" -v key="$2" '$1 == "run" {
            st = ""; x = ""
            for (i = 2; i <= NF; i++) { split($i, kv, "="); if (kv[1] == "status") st = kv[2]; if (kv[1] == key) x = kv[2] }
            if (st ~ ok && x != "" && x + 0 >= 0) print x }' "$out/$1.runs" | sort -g |
        awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
declare -A m
for n in "${names[@]}"; do
    for k in paint_ms startup_cpu_ms startup_minflt hwm_kb close_ms idle_cpu_ms idle_vcsw; do m[$n,$k]=$(median "$n" "$k"); done
    m[$n,ok]=$(awk -v ok=" status=(${ok[$n]}) " '$1 == "run" && $0 ~ ok { c++ } END { print c + 0 }' "$out/$n.runs")
done
cell() { # NAME METRIC SCALE UNIT
    awk -v v="${m[$1,$2]}" -v f="${m[${peer[$1]},$2]}" -v s="$3" -v u="$4" -v self="$1" -v p="${peer[$1]}" 'BEGIN {
        if (v == "nan") { print "n/a"; exit }
        t = sprintf("%.1f %s", v / s, u)
        if (self != p && f > 0) t = t sprintf(" (%.2f)", v / f)
        print t }'
}
{
    echo "Medians of $runs rounds ($(date -u +%F), $(nproc) CPUs, Xvfb, idle window ${idle_s} s); in brackets: ratio to the FLTK window linked the same way"
    echo
    echo "| program | first paint | CPU to first paint | peak RSS | Return to exit | idle CPU / wakeups | page faults to first paint | clean runs |"
    echo "|---|---|---|---|---|---|---|---|"
    for n in "${names[@]}"; do
        idle=$(awk -v c="${m[$n,idle_cpu_ms]}" -v w="${m[$n,idle_vcsw]}" -v s="$idle_s" \
            'BEGIN { if (c == "nan") print "n/a"; else printf "%.2f ms / %d in %d s", c, w, s }')
        close=$(cell "$n" close_ms 1 ms)
        [ "$close" = n/a ] && close="n/a (Return clicks its default button)"
        echo "| ${label[$n]} | $(cell "$n" paint_ms 1 ms) | $(cell "$n" startup_cpu_ms 1 ms) | $(cell "$n" hwm_kb 1024 MB)" \
            "| $close | $idle | ${m[$n,startup_minflt]} | ${m[$n,ok]}/$runs |"
    done
    if [ -n "${label[gallery]:-}" ]; then
        echo
        awk -v g="${m[gallery,paint_ms]}" -v n="${m[notice,paint_ms]}" \
            'BEGIN { if (n > 0) printf "Gallery first paint / notice first paint: %.2f\n", g / n }'
    fi
} | tee "$out/table.md"

# Where the notice program's start-up time and memory go.
phases=$out/phases.runs
: >"$phases"
for _ in $(seq 1 "$runs"); do
    env -i "HOME=$HOME" "PATH=$PATH" "DISPLAY=$display" LANG=C.UTF-8 "XDG_RUNTIME_DIR=$rtdir" ${LUMIVANE_SCALE:+"LUMIVANE_SCALE=$LUMIVANE_SCALE"} \
        "$repo/build-release/bin/startup_phases" >>"$phases" 2>>"$out/programs.log" || true
    sleep 0.2
done
{
    echo
    echo "Start-up phases of lumivane-notice, ms, wall / CPU, and heap in use at the end of each, KB"
    echo "(medians of $runs runs of bench/window/startup_phases.cpp)"
    echo
    awk '{ for (i = 1; i <= NF; i++) { split($i, kv, "[=/]"); if (NR == 1) order[++k] = kv[1]
             w[kv[1], NR] = kv[2]; c[kv[1], NR] = kv[3]; hp[kv[1], NR] = kv[4] } }
         function med(a, name, n,   v, i, j, t) {
             for (i = 1; i <= n; i++) v[i] = a[name, i] + 0
             for (i = 2; i <= n; i++) { t = v[i]; for (j = i - 1; j >= 1 && v[j] > t; j--) v[j + 1] = v[j]; v[j + 1] = t }
             return (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }
         END { if (NR == 0) exit
             h = "| |"; d = "|---|"; r = "| wall / CPU, ms |"; m = "| heap, KB |"; tw = 0; tc = 0
             for (i = 1; i <= k; i++) { n = order[i]; mw = med(w, n, NR); mc = med(c, n, NR); tw += mw; tc += mc
                 h = h " " n " |"; d = d "---|"; r = r sprintf(" %.1f / %.1f |", mw, mc); m = m sprintf(" %d |", med(hp, n, NR)) }
             print h " sum |"; print d "---|"; print r sprintf(" %.1f / %.1f |", tw, tc); print m " |" }' "$phases"
    echo
    echo "Resident set of lumivane-notice 1 s after start, KB by mapping (/proc/PID/smaps)"
    echo
    # The pointer away from the window, as in the runs above (over a link it would load a cursor).
    DISPLAY=$display xdotool mousemove 0 0 2>/dev/null || true
    env -i "HOME=$HOME" "PATH=$PATH" "DISPLAY=$display" LANG=C.UTF-8 "XDG_RUNTIME_DIR=$rtdir" ${LUMIVANE_SCALE:+"LUMIVANE_SCALE=$LUMIVANE_SCALE"} \
        "$repo/build-release/bin/lumivane-notice" 2>>"$out/programs.log" &
    pid=$!
    sleep 1
    echo "| KB | mapping |"
    echo "|---|---|"
    awk '/^[0-9a-f]+-[0-9a-f]+ / { name = $6 == "" ? "[anonymous]" : $6 }
         /^Rss:/ { rss[name] += $2; total += $2 }
         END { for (n in rss) if (rss[n] > 0) printf "| %d | %s |\n", rss[n], n; printf "| %d | total |\n", total }' \
        "/proc/$pid/smaps" | sort -t'|' -k2 -rn
    grep VmHWM "/proc/$pid/status" | awk '{ print ""; print "Peak (VmHWM): " $2 " KB" }'
    kill -TERM "$pid"
    wait "$pid" || true
} | tee -a "$out/table.md"
