# Sourceable: starts a private Xvfb, exports DISPLAY, and on exit kills it and every process the
# test started. Usage: source tests/e2e/lib/xvfb.sh
#
# Xvfb picks the display number itself (-displayfd), so tests running side by side never race for
# one. Set XVFB_SCREEN to change the screen (always ask for 24 bits).

# Everything the test starts must be findable at the end, daemons (xclip) included: run in a
# process group of our own, then the whole group can be ended at once.
if [ "$(ps -o pgid= -p $$ | tr -d ' ')" != "$$" ]; then
    exec setsid bash "$0" "$@"
fi

xvfb_cleanup() {
    local status=$?
    trap - EXIT INT
    # Every process of our group but this shell: the program under test, helpers, the server.
    trap '' TERM
    kill -TERM -- -$$ 2>/dev/null
    [ -n "${XVFB_PID:-}" ] && wait "$XVFB_PID" 2>/dev/null
    [ -n "${XVFB_DIR:-}" ] && rm -rf "$XVFB_DIR"
    exit $status
}

xvfb_start() {
    XVFB_DIR=$(mktemp -d "${TMPDIR:-/tmp}/lumi-xvfb.XXXXXX")
    trap xvfb_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    local screen=${XVFB_SCREEN:-1280x1024x24}
    : >"$XVFB_DIR/display"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset \
        3>"$XVFB_DIR/display" >"$XVFB_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local n="" i
    # The server writes its number once it accepts connections; allow it about 5 s.
    for i in $(seq 1 100); do
        n=$(tr -dc 0-9 2>/dev/null <"$XVFB_DIR/display")
        if [ -n "$n" ] && xdpyinfo -display ":$n" >/dev/null 2>&1; then
            break
        fi
        n=""
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    if [ -z "$n" ]; then
        echo "xvfb.sh: Xvfb did not start" >&2
        cat "$XVFB_DIR/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$n"
    # Xvfb starts with the pointer at the screen's centre, inside any centred window.
    command -v xdotool >/dev/null && xdotool mousemove 0 0 >/dev/null 2>&1
    return 0
}

xvfb_start || exit 1
