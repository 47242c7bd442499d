#!/bin/bash
# The main job: a page script asks the sample service a question through
# the registered zxmlhttp.dll, under Wine, and shows the exchange.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target zxmlhttp zxsample_service
scripts/run-jscript build/win32 tools/demo/demo_page.js --plain \
  --service "--segment demo --pipe zx-demo --reply echo --unregister-at-exit"
