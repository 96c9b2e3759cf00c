# Sourceable set-up for the form tool tests: BIN (the binaries, from the test's first argument),
# SRC, FORMS (the forms and their golden images), out (a temporary folder removed on exit), fail,
# and golden from lib/golden.sh, leaving NAME_actual.png and NAME_diff.png beside the binaries
# (or in $LUMI_TEST_OUTPUT) on a mismatch.
BIN=$(cd "$1" && pwd)
SRC=${LUMI_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}
FORMS="$SRC/tests/data/forms"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

source "$SRC/tests/e2e/lib/golden.sh"
export GOLDEN_OUT=${LUMI_TEST_OUTPUT:-$BIN}
