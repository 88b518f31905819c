#!/bin/sh
# Makes the downloads in dist/:
#   akkusim-windows-x64.zip   akkusim.exe, akkusim.com with Programme\, Aufgaben\ and LIESMICH.txt
#   akkusim-setup.exe         the Windows setup (per user or all users, /S silent)
#   akkusim_VERSION_amd64.deb the Debian/Ubuntu package
#   akkusim-web.zip           the browser edition's folder, akkusim.html included
#   akkusim.html              the browser edition as one file (no unpacking)
#   akkusim-pruefen.html      its grading page as one file (beside it)
#   SHA256SUMS                their SHA-256 sums (sha256sum -c SHA256SUMS)
# What goes into the Windows downloads and the package is what the build
# installs (the install rules in CMakeLists.txt), nothing listed here.
#   scripts/package.sh             builds each edition first
#   scripts/package.sh --no-build  packages the builds that are there (test.sh's
#                                  build/, build-windows/ and build-web/)
set -eu
cd "$(dirname "$0")/.."
build=1
case ${1:-} in
  "") ;;
  --no-build) build=0 ;;
  *) echo "usage: scripts/package.sh [--no-build]" >&2; exit 2 ;;
esac

version=$(sed -n 's/^project(akkusim VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "akkusim: no version in CMakeLists.txt's project()"; exit 1; }
dist=$PWD/dist
work=$dist/.work
rm -rf "$dist"
mkdir -p "$work"

# --- The builds -----------------------------------------------------------
linux=build-package
if [ $build -eq 1 ]; then
  scripts/setup-deps.sh run web windows
  if [ ! -f "$linux/build.ninja" ]; then
    mkdir -p "$linux"
    cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DAKKUSIM_WERROR=ON \
      -DBUILD_TESTING=OFF -DAKKUSIM_BENCH=OFF >"$linux/configure.log" 2>&1 ||
      { cat "$linux/configure.log"; echo "akkusim: configuring $linux failed"; exit 1; }
  fi
  scripts/windows.sh --build
  scripts/web.sh --build
else
  linux=build
fi
# Only what the package holds: the tests of build/ need not be built.
cmake --build "$linux" --target akkusim akkusim_icon
for needed in build-windows/akkusim.exe build-web/akkusim.html build-web/akkusim-pruefen.html; do
  [ -f "$needed" ] || { echo "akkusim: $needed is missing (scripts/package.sh without --no-build makes it)"; exit 1; }
done
cmake --build build-windows --target akkusim akkusim_console

# --- Windows: the zip and the setup ----------------------------------------
windows=$work/windows/akkusim
cmake --install build-windows --prefix "$windows" >/dev/null
python3 packaging/make_zip.py "$windows" akkusim "$dist/akkusim-windows-x64.zip"
# The uninstaller removes exactly the installed files, deepest folders last.
(
  cd "$windows"
  find . -type f | sort | sed 's#^\./##; s#/#\\#g; s#.*#  Delete "$INSTDIR\\&"#'
  find . -mindepth 1 -type d | sort -r | sed 's#^\./##; s#/#\\#g; s#.*#  RMDir "$INSTDIR\\&"#'
) >"$windows.uninstall.nsh"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DFILES="$windows" \
  -DOUTFILE="$dist/akkusim-setup.exe" packaging/akkusim.nsi >"$work/makensis.log" 2>&1 ||
  { cat "$work/makensis.log"; echo "akkusim: makensis failed"; exit 1; }

# --- Debian/Ubuntu ---------------------------------------------------------
(cd "$linux" && cpack -B "$work/deb" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; echo "akkusim: cpack failed"; exit 1; }
mv "$work/deb/akkusim_${version}_amd64.deb" "$dist/"

# --- The browser edition ---------------------------------------------------
python3 packaging/make_zip.py build-web akkusim-web "$dist/akkusim-web.zip"
# The grading page as one file goes beside it: the two link to each other.
cp build-web/akkusim.html build-web/akkusim-pruefen.html "$dist/"

rm -rf "$work"
(cd "$dist" && sha256sum akkusim-windows-x64.zip akkusim-setup.exe "akkusim_${version}_amd64.deb" \
  akkusim-web.zip akkusim.html akkusim-pruefen.html >SHA256SUMS)
echo "akkusim: downloads in dist/:"
for file in "$dist"/*; do
  echo "  $(basename "$file") ($(wc -c <"$file") bytes)"
done
