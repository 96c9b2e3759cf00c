#!/usr/bin/env bash
# Runs a command under a private Xvfb: run-with-xvfb.sh PROGRAM [ARGS...]
# Exits with the command's status; the server and anything left behind are killed on exit.
set -u
source "$(dirname "$0")/xvfb.sh"
"$@"
