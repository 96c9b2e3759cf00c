#!/usr/bin/env bash
# Builds one program of the project into build/ and starts it:
#   bash scripts/run.sh                        the notice program
#   bash scripts/run.sh gallery                the control gallery
#   bash scripts/run.sh formview FORM.txt      any layout in a window, reloaded when the file is saved
#   bash scripts/run.sh formshot FORM.txt ...  any layout rendered headless (see formshot --help)
# On a machine without a display: xvfb-run -a bash scripts/run.sh ...
# Paths on the command line are the caller's: the program runs in the folder run.sh was started
# from, so FORM.txt, scripts and pictures are found, and written, there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-notice}
case "$what" in
  notice) target=lumivane-notice ;;
  gallery) target=lumivane-gallery ;;
  formview | formshot | picturegen) target=$what ;;
  *) echo "usage: run.sh [notice | gallery | formview FORM.txt | formshot FORM.txt ... | picturegen ...]" >&2; exit 2 ;;
esac
[ $# -gt 0 ] && shift
bash "$root/scripts/deps.sh" run
# Linked statically where the archives are at hand (the test command links build/ shared, as
# packages are: switching between them only links the programs again).
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMI_TESTS=OFF -DLUMI_BENCH=OFF \
  -DLUMI_STATIC=AUTO >/dev/null
# The build talks on stderr: stdout is the program's (formshot --dump > form.txt).
cmake --build "$root/build" --target "$target" >&2

# The windowed programs run until their window closes: say so, and say where the window is.
case "$target" in
  formshot | picturegen) ;;
  *)
    if [ -z "${DISPLAY:-}" ]; then
      echo "run.sh: no display to show $target on; on a machine without one, run" >&2
      echo "        xvfb-run -a bash scripts/run.sh $what $*" >&2
      exit 1
    fi
    if [[ "${XAUTHORITY:-}" == */xvfb-run.* ]]; then
      echo "run.sh: $target is running on xvfb-run's virtual display $DISPLAY, where nobody sees it;" >&2
      echo "        it runs until its window is closed: press Ctrl+C to stop it." >&2
    else
      echo "run.sh: $target is running on display $DISPLAY until its window is closed (or Ctrl+C here)." >&2
    fi
    ;;
esac
exec "$root/build/bin/$target" "$@"
