#!/usr/bin/env bash
# The importer's option with one of its libraries hidden (PROJ): ON stops
# the configure naming the missing Debian package, AUTO goes on but says
# loudly that the importer is left out. And a plain configure (no preset)
# does not make warnings errors.
#   import_option.sh SOURCE_DIR CXX_COMPILER
set -uo pipefail
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
configure() {
  cmake -S "$source" -B "$work/$1" -DCMAKE_CXX_COMPILER="$2" -DMORVELSTRAND_TESTS=OFF \
        -DMORVELSTRAND_IMPORT="$1" -DCMAKE_DISABLE_FIND_PACKAGE_PROJ=ON >"$work/$1.log" 2>&1
}
fail() { echo "$1"; cat "$work/$2.log"; exit 1; }
# CMake wraps its messages: read the log as one line.
says() { tr -s ' \n' ' ' <"$work/$1.log" | grep -q "$2"; }

configure ON "$2" && fail "MORVELSTRAND_IMPORT=ON configured without PROJ" ON
says ON 'needs the Debian packages: libproj-dev Install' || fail "ON: missing package not named" ON

configure AUTO "$2" || fail "MORVELSTRAND_IMPORT=AUTO failed without PROJ" AUTO
says AUTO 'morvelstrand-import is NOT built, nor its tests: missing Debian packages libproj-dev (' || fail "AUTO: skipped silently" AUTO
targets=$work/AUTO/CMakeFiles/TargetDirectories.txt
grep -q "morvelstrand_core" "$targets" || fail "AUTO: no list of targets" AUTO
grep -q "morvelstrand-import" "$targets" && fail "AUTO: importer target made without PROJ" AUTO
grep -q "^MORVELSTRAND_WERROR:BOOL=OFF$" "$work/AUTO/CMakeCache.txt" || fail "plain configure: warnings are errors" AUTO
grep -q -- "-Werror" "$work/AUTO/CMakeFiles/morvelstrand_core.dir/flags.make" && fail "plain configure: -Werror given" AUTO
exit 0
