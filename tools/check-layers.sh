#!/usr/bin/env bash
# The include lines keep the layers apart: platform (lowest), engine, then shell, world and
# menu, then tools, then the programs (their entry points, on the top floor); tests,
# benchmarks and fuzz targets may include anything. This fails on an include that points up
# the layers, on world and menu reaching into each other, on SDL outside platform/sdl and
# Emscripten outside platform/web, and on headers that include each other in a circle. Every
# folder sits on one floor: there are no exceptions. The SDL backend's own tests (tests/sdl)
# drive SDL, and the benchmarks (bench/) measure against SDL2's own paths: both may include it.
#   tools/check-layers.sh [DIR]    checks the tree in DIR (default: this repository)
set -uo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root" || exit 2

layer() {
    case "$1" in
        platform/*) echo 0 ;;
        engine/*) echo 1 ;;
        shell/* | world/* | menu/*) echo 2 ;;
        tools/*) echo 3 ;;
        programs/*) echo 4 ;;
        tests/* | bench/* | fuzz/*) echo 5 ;;
        *) echo "" ;;
    esac
}

bad=0
complain() {
    echo "$1: $2" >&2
    bad=1
}

edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
files=$(find platform engine shell world menu tools programs tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null | sort)
for file in $files; do
    from=$(layer "$file")
    while IFS=: read -r number text; do
        if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*[\<\"](SDL|emscripten) ]]; then
            header=${BASH_REMATCH[1]}
            if [[ $header == SDL && $file != platform/sdl/* && $file != tests/sdl/* &&
                $file != bench/* ]]; then
                complain "$file:$number" "SDL is included outside platform/sdl"
            elif [[ $header == emscripten && $file != platform/web/* ]]; then
                complain "$file:$number" "Emscripten is included outside platform/web"
            fi
            continue
        fi
        [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]] || continue
        included=${BASH_REMATCH[1]}
        to=$(layer "$included")
        [[ -n $to ]] || continue
        echo "$file $included" >>"$edges"
        if ((to > from)); then
            complain "$file:$number" "includes $included, which lies above it"
        elif [[ ($file == world/* && $included == menu/*) || ($file == menu/* && $included == world/*) ]]; then
            complain "$file:$number" "includes $included: the world and the menu know nothing of each other"
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file")
done

# tsort names the files of any circle it finds.
if ! tsort "$edges" >/dev/null 2>"$edges.loop"; then
    complain "include circle" "$(grep -v 'input contains a loop' "$edges.loop" | sed 's/^tsort: //' | tr '\n' ' ')"
fi
rm -f "$edges.loop"
exit $bad
