# Sourceable: golden-image comparison for the end-to-end tests.
#   golden DIR NAME PNG   PNG must equal DIR/NAME.png pixel for pixel. A mismatch leaves
#                         NAME_actual.png and NAME_diff.png in $GOLDEN_OUT (default: the temp dir)
#                         and fails. LUMI_UPDATE_GOLDEN=1 rewrites the golden image instead; a
#                         missing golden image is an error, never created silently.
#   The locals carry a golden_ prefix: an EXIT trap run by the failing exit sees them, and a
#   caller's trap 'rm -rf "$out"' must not find a local out pointing at $GOLDEN_OUT.
golden() {
    local golden_dir=$1 golden_name=$2 golden_png=$3 golden_out=${GOLDEN_OUT:-${TMPDIR:-/tmp}}
    if [ "${LUMI_UPDATE_GOLDEN:-}" = 1 ]; then
        cp "$golden_png" "$golden_dir/$golden_name.png"
        echo "updated $golden_dir/$golden_name.png"
        return 0
    fi
    if [ ! -f "$golden_dir/$golden_name.png" ]; then
        echo "FAIL: no golden image $golden_dir/$golden_name.png (run with LUMI_UPDATE_GOLDEN=1)" >&2
        exit 1
    fi
    cmp -s "$golden_png" "$golden_dir/$golden_name.png" && return 0
    local differing
    differing=$(compare -metric AE "$golden_png" "$golden_dir/$golden_name.png" "$golden_out/${golden_name}_diff.png" 2>&1 >/dev/null || true)
    [ "$differing" = 0 ] && { rm -f "$golden_out/${golden_name}_diff.png"; return 0; }
    cp "$golden_png" "$golden_out/${golden_name}_actual.png"
    echo "FAIL: $golden_name differs from its golden image in $differing pixels; see $golden_out/${golden_name}_actual.png and ${golden_name}_diff.png" >&2
    exit 1
}
