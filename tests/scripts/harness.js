// Shared by every page-script test (the runner puts it in front of the
// test): a few checks and the verdict line the runner reads.
var passed = 0, failed = 0;

function check(name, condition, detail) {
  if (condition) {
    passed++;
  } else {
    failed++;
    WScript.Echo("FAILED: " + name + (detail === undefined ? "" : " (" + detail + ")"));
  }
}

function hex(number) {
  return "0x" + (number >>> 0).toString(16).toUpperCase();
}

// Runs body and checks that it throws the HRESULT code.
function expectError(name, code, body) {
  try {
    body();
    check(name, false, "no error, expected " + hex(code));
  } catch (e) {
    check(name, (e.number >>> 0) === (code >>> 0), "got " + hex(e.number) + ", expected " + hex(code));
  }
}

function run(name, body) {
  try {
    body();
  } catch (e) {
    check(name, false, "uncaught " + hex(e.number) + " " + e.message);
  }
}

function finish() {
  WScript.Echo(passed + " passed, " + failed + " failed");
}
