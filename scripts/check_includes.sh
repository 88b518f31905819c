#!/bin/sh
# Fails on any include that points up the layers: each folder may include
# only itself, base/ (the shared result type) and the folders listed for it
# below, and nothing but main.cpp
# includes app/. The command line goes cli/ -> grader/ -> core: `akkusim run`
# dispatches `akkusim test`, and both read, run and report through the core.
# platform/web/ may include files/: the browser's program store is the disk
# store on the browser's file system, kept in its storage.
# Run by scripts/test.sh, so the layout cannot rot.
set -eu
cd "$(dirname "$0")/.."

# folder: the folders it may include besides itself
allowed() {
  case "$1" in
    base) echo "" ;;
    isa) echo "text" ;;
    text) echo "" ;;
    machine) echo "isa" ;;
    program) echo "isa machine text" ;;
    files) echo "isa machine text program" ;;
    cli) echo "isa machine text program files grader" ;;
    grader) echo "isa machine text program files" ;;
    gfx) echo "" ;;
    platform/headless) echo "gfx" ;;
    platform/sdl) echo "gfx text" ;;
    platform/web) echo "gfx text files" ;;
    ui) echo "gfx isa machine text program files" ;;
    app) echo "ui gfx isa machine text program files" ;;
    *) return 1 ;;
  esac
}

status=0
for folder in base isa text machine program files cli grader gfx platform/headless platform/sdl platform/web ui app; do
  ok="$folder base $(allowed "$folder")"
  for file in "$folder"/*.h "$folder"/*.cpp; do
    [ -e "$file" ] || continue
    # Quoted includes with a folder: "machine/execute.h", "platform/sdl/x.h".
    grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' "$file" |
      sed 's/^\([0-9]*\):.*"\([^"]*\)".*/\1 \2/' >"${TMPDIR:-/tmp}/akkusim_includes.$$" || true
    while read -r line target; do
      case "$target" in
        platform/*) to=$(echo "$target" | cut -d/ -f1-2) ;;
        *) to=${target%%/*} ;;
      esac
      match=no
      for dir in $ok; do [ "$to" = "$dir" ] && match=yes; done
      if [ $match = no ]; then
        echo "$file:$line: includes \"$target\": $folder may not depend on $to" >&2
        status=1
      fi
    done <"${TMPDIR:-/tmp}/akkusim_includes.$$"
  done
done
rm -f "${TMPDIR:-/tmp}/akkusim_includes.$$"
[ $status -eq 0 ] && echo "include directions: ok"
exit $status
