# Sourceable helpers for end-to-end tests of the notice program (after lib/xvfb.sh).
# BIN is the folder with lumivane-notice, xfindwin and xclose.

TITLE="Renamed to Lumivane"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts the program in the background (arguments: extra environment assignments), sets
# NOTICE_PID and NOTICE_ERR (its standard error). A background job of a script starts with SIGINT
# ignored; the program gets it back as a desktop starts it.
start_notice() {
    NOTICE_ERR=$(mktemp)
    env --default-signal=INT "$@" "$BIN/lumivane-notice" 2>"$NOTICE_ERR" &
    NOTICE_PID=$!
}

# Waits (up to 30 s) until the notice window is mapped; sets WIN to its id.
wait_window() {
    # Up to 30 s: a loaded two-core machine has taken over ten to start a program under test.
    local deadline=$((SECONDS + 30))
    while [ $SECONDS -lt $deadline ]; do
        WIN=$("$BIN/xfindwin" "$TITLE" 2>/dev/null | head -n 1)
        if [ -n "$WIN" ] && xwininfo -id "$WIN" 2>/dev/null | grep -q "IsViewable"; then
            return 0
        fi
        kill -0 "$NOTICE_PID" 2>/dev/null || fail "the program ended before showing its window: $(cat "$NOTICE_ERR")"
        sleep 0.05
    done
    fail "no window titled '$TITLE' appeared"
}

# Waits (up to ~10 s) for the program to end; sets STATUS.
wait_exit() {
    local i
    for i in $(seq 1 200); do
        kill -0 "$NOTICE_PID" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$NOTICE_PID" 2>/dev/null && fail "the program did not end"
    wait "$NOTICE_PID"
    STATUS=$?
}

# Client-area origin of the window on the screen: sets WX, WY, WW, WH.
window_geometry() {
    local info
    info=$(xwininfo -id "$WIN")
    WX=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
    WY=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
    WW=$(echo "$info" | awk '/Width:/ {print $2}')
    WH=$(echo "$info" | awk '/Height:/ {print $2}')
}

# Screenshot of the window's client area, or of the part AREA ("WxH+X+Y" in client coordinates),
# into $1 (PNG), and a text dump of its pixels into $1.txt: one "x y r,g,b" line a pixel, in
# client coordinates. Dumping is slow: give the area that is checked.
shoot() { # file [area]
    window_geometry
    local area=${2:-${WW}x${WH}+0+0}
    local size=${area%%+*} ox=${area#*+}
    local oy=${ox#*+}
    ox=${ox%%+*}
    import -window root -crop "${size}+$((WX + ox))+$((WY + oy))" +repage "$1"
    convert "$1" -depth 8 txt:- | awk -v ox="$ox" -v oy="$oy" \
        'NR > 1 { split($1, p, /[,:]/); gsub(/[()]/, "", $2); print p[1] + ox, p[2] + oy, $2 }' >"$1.txt"
}

# pixel FILE X Y -> "r,g,b"
pixel() { awk -v x="$2" -v y="$3" '$1 == x && $2 == y { print $3; exit }' "$1.txt"; }

# Counts dark pixels (every channel below 100) in the rectangle x0..x1-1, y0..y1-1.
dark_count() {
    awk -v x0="$2" -v y0="$3" -v x1="$4" -v y1="$5" '
        $1 >= x0 && $1 < x1 && $2 >= y0 && $2 < y1 { split($3, c, ","); if (c[1] < 100 && c[2] < 100 && c[3] < 100) n++ }
        END { print n + 0 }' "$1.txt"
}
