#!/usr/bin/env bash
# Runs a Windows program under Debian's wine (64-bit) in the project's own wine prefix, which
# the first call creates under a lock, so that tests started side by side share one finished
# prefix. No wine debug output, no installer prompts for Mono or Gecko. The exit code is the
# program's.
# Usage: scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]   (WINEPREFIX: another prefix)
set -euo pipefail
if ! command -v wine >/dev/null; then
    echo "wine-run: no wine on PATH (Debian package wine; scripts/install-windows-tools.sh installs it)" >&2
    exit 127
fi
export WINEPREFIX=${WINEPREFIX:-${DUSK_MINGW_CACHE:-/var/cache/dusklorne-mingw}/wine-prefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
if [[ ! -f "$WINEPREFIX/.dusk-ready" ]]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec 9>"$WINEPREFIX.lock"
    flock 9
    if [[ ! -f "$WINEPREFIX/.dusk-ready" ]]; then
        rm -rf "$WINEPREFIX"
        if ! wine wineboot --init >/dev/null 2>&1 || ! wineserver --wait; then
            echo "wine-run: could not create the wine prefix $WINEPREFIX" >&2
            exit 1
        fi
        touch "$WINEPREFIX/.dusk-ready"
    fi
    exec 9>&-
fi
exec wine "$@"
