# Sourceable (after lib/xvfb.sh): the gallery under test, writing every event on a file.
# BIN is the folder with lumivane-gallery and xfindwin.

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts the gallery with its events on $1 and its errors on $1.err, waits (up to ~10 s) for its
# window and gives it the focus. Sets GALLERY_PID, WIN and the client area's origin WX, WY.
start_gallery() { # events-file
    local title="Lumivane controls" i info
    EVENTS=$1
    "$BIN/lumivane-gallery" >"$EVENTS" 2>"$EVENTS.err" &
    GALLERY_PID=$!
    WIN=""
    for i in $(seq 1 200); do
        WIN=$("$BIN/xfindwin" "$title" 2>/dev/null | head -n 1)
        [ -n "$WIN" ] && xwininfo -id "$WIN" 2>/dev/null | grep -q IsViewable && break
        kill -0 "$GALLERY_PID" 2>/dev/null || fail "the gallery ended before showing its window: $(cat "$EVENTS.err")"
        WIN=""
        sleep 0.05
    done
    [ -n "$WIN" ] || fail "no window titled '$title' appeared"
    info=$(xwininfo -id "$WIN")
    WX=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
    WY=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
    xdotool windowfocus --sync "$WIN" 2>/dev/null
}

# Fails unless the gallery still runs.
gallery_alive() { kill -0 "$GALLERY_PID" 2>/dev/null || fail "the gallery ended: $(cat "$EVENTS.err")"; }

# The text of a control's last OnChange.
last_change() { # control
    grep "^$1: OnChange '" "$EVENTS" | tail -n 1 | sed "s/^$1: OnChange '\(.*\)'\$/\1/"
}
# Waits (up to ~5 s) until the control's last reported text is the expected one.
wait_change() { # control text
    local i
    for i in $(seq 1 100); do
        [ "$(last_change "$1")" = "$2" ] && return 0
        sleep 0.05
    done
    return 1
}
expect_change() { # control text
    wait_change "$1" "$2" || fail "$1 holds '$(last_change "$1")', expected '$2' (events: $(tail -n 5 "$EVENTS" | tr '\n' '|'))"
}
