#!/usr/bin/env bash
# Installs what the Windows build and its tests need on Debian: the MinGW-w64 cross compiler,
# wine, the tools that unpack and build Debian source packages, and a deb-src entry (a file of
# its own) for each Debian archive the machine already uses, so that apt-get source works.
# Idempotent: quick when everything is there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
SUDO=""
if [[ $(id -u) -ne 0 ]]; then
    SUDO="sudo"
fi

sources=/etc/apt/sources.list.d/dusklorne-deb-src.sources
if [[ ! -f "$sources" ]]; then
    # Every deb822 stanza of a Debian archive, as deb-src; one-line entries likewise.
    entries=$(
        for file in /etc/apt/sources.list.d/*.sources; do
            [[ -f "$file" ]] || continue
            awk 'BEGIN { RS = ""; FS = "\n" }
                 { binary = 0
                   for (i = 1; i <= NF; i++) if ($i ~ /^Types:/ && (" " $i " ") ~ / deb /) binary = 1
                   if (!binary || $0 !~ /debian/) next
                   for (i = 1; i <= NF; i++)
                       if ($i ~ /^Types:/) print "Types: deb-src"; else if ($i !~ /^#/) print $i
                   print "" }' "$file"
        done
        cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
            awk '$1 == "deb" && /debian/ { $1 = "deb-src"; print; print "" }'
    )
    if [[ -z "$entries" ]]; then
        echo "install-windows-tools: no Debian archive in the apt sources to take source packages from" >&2
        exit 1
    fi
    echo "Adding $sources"
    # One-line entries cannot go into a deb822 file: they go into a .list of their own.
    grep -v '^deb-src ' <<<"$entries" | $SUDO tee "$sources" >/dev/null
    if grep -q '^deb-src ' <<<"$entries"; then
        grep '^deb-src ' <<<"$entries" | $SUDO tee "${sources%.sources}.list" >/dev/null
    fi
    $SUDO apt-get update -qq
fi

"$root/scripts/install-deps.sh" \
    g++-mingw-w64-x86-64-posix wine wine64 \
    dpkg-dev make patch autoconf automake libtool libutfcpp-dev
