#!/usr/bin/env bash
# The test suite's surroundings, made before its first test and checked after its last one (a
# CTest fixture around every test). Each test runs with HOME at a sentinel home, TMPDIR, and
# XDG_CACHE_HOME in this build tree's test-env/, and a cache folder of its own (LUMIVANE_CACHE);
# see lumi_test_env in cmake/helpers.cmake.
#
#   sentinel.sh setup ENV_DIR    makes ENV_DIR afresh and notes what the real home, its cache and
#                                /tmp hold
#   sentinel.sh check ENV_DIR    the sentinel home holds its one file, unchanged; the real home,
#                                its ~/.cache and /tmp hold what they held
#
# On a machine shared with others (anything but CI=true), a change in the real home or /tmp may
# be theirs: it is reported, and fails only in CI. The sentinel home is the suite's alone.
set -u
mode=$1
env_dir=$2
snapshot() { # where the real home, its cache and /tmp stand
    (cd "$HOME" 2>/dev/null && ls -A | sed 's|^|home: |')
    (cd "$HOME/.cache" 2>/dev/null && ls -A | sed 's|^|cache: |')
    (cd "$HOME/.cache/lumivane" 2>/dev/null && find . -maxdepth 1 -type f -printf 'lumivane: %P %s %T@\n')
    # Compilers' own temporaries (cc*.s, cc*.o) come and go with every compile on the machine.
    (cd /tmp && ls -A | grep -v -e '^\.X[0-9]*-lock$' -e '^cc[A-Za-z0-9]\{6\}\.' | sed 's|^|tmp: |')
    (cd /tmp/.X11-unix 2>/dev/null && ls -A | sed 's|^|x11-unix: |')
}
case $mode in
setup)
    rm -rf "$env_dir"
    mkdir -p "$env_dir/home" "$env_dir/tmp" "$env_dir/xdg-cache" "$env_dir/cache"
    chmod 700 "$env_dir" "$env_dir/home"
    echo "This home is the test suite's; it must stay as it is." >"$env_dir/home/SENTINEL"
    snapshot | sort >"$env_dir/before"
    ;;
check)
    status=0
    found=$(cd "$env_dir/home" && find . -mindepth 1 -printf '%P\n' | sort)
    if [ "$found" != SENTINEL ] || ! grep -qx "This home is the test suite's; it must stay as it is." "$env_dir/home/SENTINEL"; then
        echo "FAIL: the tests wrote into their home (HOME=$env_dir/home):"
        echo "$found" | sed 's/^/  /'
        status=1
    fi
    snapshot | sort >"$env_dir/after"
    changed=$(diff "$env_dir/before" "$env_dir/after" | grep '^[<>]')
    # A trace is something the suite left: a new or changed entry, or anything gone from the real
    # home and its cache. An entry of /tmp that went away was another program's, removed by it
    # (CI machines have their own temporaries there); the suite never removes what it did not make.
    traces=$(echo "$changed" | grep -v '^< tmp: ')
    if [ -n "$changed" ]; then
        echo "The real home ($HOME), its cache or /tmp changed while the tests ran (< before, > after):"
        echo "$changed" | sed 's/^/  /'
        if [ -n "$traces" ] && [ -n "${CI:-}" ]; then
            echo "FAIL: the test suite left traces outside its build tree"
            status=1
        elif [ -n "$traces" ]; then
            echo "(not CI: other programs of this machine may have made these changes)"
        else
            echo "(only entries of /tmp went away: other programs' temporaries, not the suite's traces)"
        fi
    fi
    [ $status -eq 0 ] && [ -z "$changed" ] && echo "the sentinel home, the real home, ~/.cache and /tmp are as they were"
    exit $status
    ;;
*)
    echo "usage: sentinel.sh setup|check ENV_DIR" >&2
    exit 2
    ;;
esac
