#!/bin/bash
# Screenshots of mirrored pages opened from disk beside the same pages
# online, for a person to compare (styled, images shown); run by
# real_sites.sh while the site is served. Skipped when chromium is missing.
#
#   bench/real_sites_screens.sh OUT_DIR SITE_URL MIRROR_ROOT PAGE...
#
# Writes OUT_DIR/NAME.online.png and OUT_DIR/NAME.offline.png for each PAGE
# (a path below the site, such as "index.html").
set -uo pipefail

OUT=$1 SITE=$2 MIRROR=$3
shift 3
BROWSER=$(command -v chromium || command -v chromium-browser || true)
if [[ -z $BROWSER ]]; then
    echo "  chromium is not installed: no screenshots"
    exit 0
fi
mkdir -p "$OUT"
PROFILE=$(mktemp -d "${TMPDIR:-/tmp}/real-sites-browser.XXXXXX")
trap 'rm -rf "$PROFILE"' EXIT

shoot() {  # url png
    # A 30 s budget per page: a page that never settles must not hold the run.
    timeout 30 "$BROWSER" --headless --no-sandbox --disable-gpu --hide-scrollbars --no-first-run \
        --user-data-dir="$PROFILE" --allow-file-access-from-files --window-size=1200,900 \
        --screenshot="$2" "$1" > /dev/null 2>&1 || echo "  chromium could not take $2"
}

for page in "$@"; do
    name=$(echo "$page" | tr '/' '_')
    shoot "$SITE/$page" "$OUT/$name.online.png"
    shoot "file://$MIRROR/$page" "$OUT/$name.offline.png"
done
echo "  screenshots: $OUT"
