#!/usr/bin/env bash
# Installs the built plug-in into ~/.vst3 and renders a generated demo signal
# through it with audible settings into <build>/demo/. Usage: demo.sh [BUILD]
set -euo pipefail
build=${1:-build}

bundle="$build/Quenbar.vst3"
tool="$build/quenbar"
gen="$build/quenbar-demo-signal"
resp="$build/quenbar-response"
if [ ! -d "$bundle" ]; then
  echo "demo: $bundle is missing: the plug-in bundle has not been built (run: make build)" >&2
  exit 1
fi
for exe in "$tool" "$gen" "$resp"; do
  if [ ! -x "$exe" ]; then
    echo "demo: $exe is missing: run make build" >&2
    exit 1
  fi
done

# Install: copy beside the old bundle first, then swap, so a failed copy
# never leaves a half-installed plug-in.
dest="$HOME/.vst3"
mkdir -p "$dest"
rm -rf "$dest/.Quenbar.vst3.new"
cp -R "$bundle" "$dest/.Quenbar.vst3.new"
rm -rf "$dest/Quenbar.vst3"
mv "$dest/.Quenbar.vst3.new" "$dest/Quenbar.vst3"
echo "demo: installed $bundle -> $dest/Quenbar.vst3"

out="$build/demo"
mkdir -p "$out"
"$gen" "$out/demo-dry.wav" 6 44100 | sed 's/^/demo: /'

render() {
  local name=$1 what=$2; shift 2
  "$tool" render "$out/demo-dry.wav" "$out/$name.wav" --plugin "$dest/Quenbar.vst3" "$@" > /dev/null
  printf 'demo: %-22s %s  (%s)\n' "$name.wav" "$what" "$*"
}
echo "demo: rendering through the installed plug-in:"
# Drive raises the level a lot; each setting's Level brings its peaks back below full scale.
render demo-wet      "driven and bright"          --snap 18 --tone 1.1 --level -11 --save-state "$out/demo-wet.state"
render demo-dark     "warm tilt, light drive"     --snap 9 --tone 0.3 --level -9
render demo-crushed  "heavy drive blended in"     --snap 30 --mix 0.6 --level -15
render demo-bypassed "effect's Bypass switch on"  --snap 30 --bypass
echo "demo: measuring the frequency response at five Tone settings and the snap transfer at six Snap settings:"
"$resp" --plugin "$dest/Quenbar.vst3" --snap "$out/snap.png" "$out/response.png" | sed 's/^/demo:   /'
echo "demo: opening the installed plug-in's editor in an X window with the demo-wet settings:"
"$tool" snapshot "$out/editor.png" --window --plugin "$dest/Quenbar.vst3" --state "$out/demo-wet.state" | sed 's/^/demo:   /'
echo "demo: saved the plug-in state of demo-wet as $out/demo-wet.state"
echo "demo: files in $out:"
ls -l "$out" | tail -n +2 | sed 's/^/demo:   /'
echo "demo: listen to demo-dry.wav against the others; demo-bypassed.wav carries the dry samples unchanged"
