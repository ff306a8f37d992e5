#!/bin/bash
# The Windows icon file holds the four PNG icons, pixel for pixel, in the
# order 16, 32, 64, 128: it is made from them by hand
#   convert icons/skarvel-{16,32,64,128}.png skarvel.ico   (in resources/)
# and has to be made again whenever one of them changes.
#   icon_files.sh <resources dir>
set -euo pipefail
resources="$1"
status=0
index=0
for size in 16 32 64 128; do
    if ! compare -metric AE "$resources/icons/skarvel-$size.png" \
            "$resources/skarvel.ico[$index]" null: 2>/dev/null; then
        echo "FAIL: skarvel.ico[$index] is not icons/skarvel-$size.png"
        status=1
    fi
    index=$((index + 1))
done
frames="$(identify "$resources/skarvel.ico" | wc -l)"
if [ "$frames" -ne 4 ]; then
    echo "FAIL: skarvel.ico holds $frames images, expected 4"
    status=1
fi
exit "$status"
