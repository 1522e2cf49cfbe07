#!/usr/bin/env bash
# Installs what is needed, builds, and starts the viewer: on the book given as
# the first argument, or on a small sample book the program draws itself.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
book="${1:-}"
[ -n "$book" ] && book="$(realpath "$book")"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
if [ -z "$book" ]; then
  book="$here/build/sample-book"
  [ -d "$book" ] || "$here/build/bin/leafview" --make-sample "$book"
  book="$book/Leafview sample.zip"
fi
exec "$here/build/bin/leafview" "$book"
