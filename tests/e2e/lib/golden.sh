# Sourceable: golden-image comparison for the end-to-end tests.
#   golden DIR NAME PNG   PNG must equal DIR/NAME.png pixel for pixel. A mismatch leaves
#                         NAME_actual.png and NAME_diff.png in $GOLDEN_OUT (default: the temp dir)
#                         and fails. LUMI_UPDATE_GOLDEN=1 rewrites the golden image instead; a
#                         missing golden image is an error, never created silently.
golden() {
    local dir=$1 name=$2 png=$3 out=${GOLDEN_OUT:-${TMPDIR:-/tmp}}
    if [ "${LUMI_UPDATE_GOLDEN:-}" = 1 ]; then
        cp "$png" "$dir/$name.png"
        echo "updated $dir/$name.png"
        return 0
    fi
    if [ ! -f "$dir/$name.png" ]; then
        echo "FAIL: no golden image $dir/$name.png (run with LUMI_UPDATE_GOLDEN=1)" >&2
        exit 1
    fi
    cmp -s "$png" "$dir/$name.png" && return 0
    local differing
    differing=$(compare -metric AE "$png" "$dir/$name.png" "$out/${name}_diff.png" 2>&1 >/dev/null || true)
    [ "$differing" = 0 ] && { rm -f "$out/${name}_diff.png"; return 0; }
    cp "$png" "$out/${name}_actual.png"
    echo "FAIL: $name differs from its golden image in $differing pixels; see $out/${name}_actual.png and ${name}_diff.png" >&2
    exit 1
}
