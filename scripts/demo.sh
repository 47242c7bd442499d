#!/bin/bash
# The main job: a page script asks the sample service a question through
# the registered zxmlhttp.dll, under Wine, and shows the exchange. It uses
# the 32-bit DLL where this machine runs 32-bit programs, else the 64-bit one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/wine-env.sh
scripts/setup.sh
preset=$(zx_runnable_preset)
echo "demo: the ${preset#win}-bit zxmlhttp.dll (build/$preset)"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target zxmlhttp zxsample_service
scripts/run-jscript "build/$preset" tools/demo/demo_page.js --plain \
  --service "--segment demo --pipe zx-demo --reply echo --unregister-at-exit"
