# For tests of formview --design (after lib/notice.sh): waiting for what the designer saves.
# The test sets LAYOUT (the file designed), NOTICE_PID and NOTICE_ERR (formview's), WORK, and
# defines saved_context, which prints the part of the layout a failure should show.

# Waits (about 10 s at most) until the saved file holds a line matching $1 (grep -E), or, with
# "-v", none.
saved() {
    local i
    for i in $(seq 1 100); do
        if [ "$1" = -v ]; then grep -Eq "$2" "$LAYOUT" || return 0; else grep -Eq "$1" "$LAYOUT" && return 0; fi
        kill -0 "$NOTICE_PID" 2>/dev/null || fail "formview ended: $(cat "$NOTICE_ERR")"
        sleep 0.1
    done
    import -window root "$WORK/failed.png" 2>/dev/null
    fail "the saved layout does not show $* (the screen: $WORK/failed.png): $(saved_context)"
}
