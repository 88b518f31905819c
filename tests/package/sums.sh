#!/bin/sh
# The downloads as a whole: SHA256SUMS holds every file of dist/ and checks
# out, the browser zip unpacks into one folder with both pages, and a zip
# made again from copies of the same files is the same bytes (so a rebuild can be
# checked against the published sums).
#   tests/package/sums.sh DIST WEB_FOLDER
set -u
cd "$(dirname "$0")/../.."
DIST=$(cd "$1" && pwd)
WEB=$2
fail() { echo "FAIL: $*"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

(cd "$DIST" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not check out"
(cd "$DIST" && ls | grep -vx SHA256SUMS) >"$WORK/files"
sed 's/^[0-9a-f]\{64\}  //' "$DIST/SHA256SUMS" | sort | cmp -s - "$WORK/files" ||
  fail "SHA256SUMS does not name exactly the downloads: $(cat "$DIST/SHA256SUMS")"

# python3's zipfile: unzip need not be installed.
entries() { python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$1"; }
entry() { python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))' "$1" "$2"; }
entries "$DIST/akkusim-web.zip" >"$WORK/web" || fail "akkusim-web.zip is no zip"
for page in akkusim.html index.html pruefen.html akkusim.wasm; do
  grep -qx "akkusim-web/$page" "$WORK/web" || fail "akkusim-web.zip has no akkusim-web/$page"
done
grep -v '^akkusim-web/' "$WORK/web" && fail "akkusim-web.zip has entries outside akkusim-web/"
entry "$DIST/akkusim-web.zip" akkusim-web/akkusim.html | cmp -s - "$DIST/akkusim.html" ||
  fail "akkusim.html is not the one in akkusim-web.zip"

# A copy: the same files, made now.
cp -R "$WEB" "$WORK/copy"
python3 packaging/make_zip.py "$WORK/copy" akkusim-web "$WORK/again.zip" || fail "make_zip.py"
cmp -s "$WORK/again.zip" "$DIST/akkusim-web.zip" || fail "the browser zip differs when made again"
echo "SHA256SUMS checks out; the zips are reproducible"
