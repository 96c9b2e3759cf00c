#!/usr/bin/env bash
# The programs as a screen reader sees them over the accessibility bus (AT-SPI2), under Xvfb and
# a private D-Bus session with at-spi2-core's bus launcher, read with pyatspi
# (lib/atspi_client.py): the notice window's tree, names and states and Close by its action; in
# the gallery text through a validating edit, an up-down value, images in a panel and the events
# while xdotool types; off with LUMIVANE_ACCESSIBILITY=0, and nothing loaded without a bus.
# Usage: test_accessibility.sh BIN_DIR
set -u
BIN=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib/xvfb.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }
command -v dbus-run-session >/dev/null || fail "dbus-run-session is missing (package dbus-daemon)"
[ -x /usr/libexec/at-spi-bus-launcher ] || fail "at-spi2-core is missing"
# Debian's python, which has the gi and pyatspi modules (another python3 may come first in PATH).
PY=/usr/bin/python3
"$PY" -c "import pyatspi" 2>/dev/null || fail "python3-pyatspi is missing"

# The bus launcher, the registry and dconf keep their sockets and files in the session's folders:
# all of them inside the server's scratch folder, removed with it.
export XDG_RUNTIME_DIR="$XVFB_DIR/run" XDG_CONFIG_HOME="$XVFB_DIR/config" XDG_DATA_HOME="$XVFB_DIR/data"
export XDG_CACHE_HOME="$XVFB_DIR/cache"
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS LUMIVANE_ACCESSIBILITY
# The programs' own cache stays where the suite put it.
export LUMIVANE_CACHE=${LUMIVANE_CACHE:-off}

for part in notice gallery off; do
    echo "== $part"
    dbus-run-session -- "$PY" "$HERE/lib/atspi_client.py" "$part" "$BIN" 2>"$XVFB_DIR/$part.err" ||
        fail "$part: $(grep -v 'fd limit' "$XVFB_DIR/$part.err" | tail -n 20)"
done
echo "PASS"
