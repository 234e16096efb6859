#!/usr/bin/env bash
# Builds Dusklorne (release) and starts the demo in its run directory. Without a display it
# plays the intro on a virtual display, saves screenshots and ends the demo with ESC.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

build="$root/build"
# Leaves the test settings of build/ as they are (the test command's release build shares it);
# only the demo's targets are built.
"$root/scripts/configure.sh" "$build" demo
cmake --build "$build" --target dusklorne dusk_shaders dusk_assets
run="$build/run"
cd "$run"

if [[ -n "${DISPLAY:-}" ]]; then
    exec "$build/dusklorne"
fi

shots="$build/screenshots"
mkdir -p "$shots"
rm -f "$shots"/*.png
# The window size is the first two tokens of config.txt.
read -r width height < <(tr -s ' \t\n' '  ' < config.txt) || true
width=${width//[!0-9]/} height=${height//[!0-9]/}
# Xvfb picks a free display number itself and writes it to the given descriptor.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [[ -s "$display_file" ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$display_file")

"$build/dusklorne" &
demo_pid=$!
echo "No display: Dusklorne runs on the virtual display $DISPLAY; screenshots every ten seconds of the intro."
for t in 5 15 25 35 45; do
    sleep $((t - ${last:-0}))
    last=$t
    kill -0 $demo_pid 2>/dev/null || break
    import -window root -crop "${width}x${height}+0+0" "$shots/intro-${t}s.png"
    echo "  $shots/intro-${t}s.png"
done
xdotool search --name '^Dusklorne$' windowfocus --sync key --delay 200 Escape 2>/dev/null ||
    xdotool key --delay 200 Escape
status=0
wait $demo_pid || status=$?
echo "Dusklorne ended with exit code $status. Screenshots are in $shots"
exit $status
