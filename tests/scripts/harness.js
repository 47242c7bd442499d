// Shared by every page-script test (the runner puts it in front of the
// test): checks, the verdict line the runner reads, and a message loop.
var passed = 0, failed = 0, pump = null;
var shell = new ActiveXObject("WScript.Shell"), files = new ActiveXObject("Scripting.FileSystemObject");
// The runner copies the script into a folder of the build tree.
var bin = files.GetParentFolderName(files.GetParentFolderName(WScript.ScriptFullName)) + "\\bin\\";
var spRoot = "HKLM\\SOFTWARE\\Velmora\\ZevCommon\\SP_ROOT\\";

function check(name, condition, detail) {
  if (condition) return passed++;
  failed++;
  WScript.Echo("FAILED: " + name + (detail === undefined ? "" : " (" + detail + ")"));
}

function hex(number) { return "0x" + (number >>> 0).toString(16).toUpperCase(); }

// "ok" when body returns, else the number of what it threw, in hexadecimal.
function outcome(body) {
  try {
    body();
    return "ok";
  } catch (e) {
    return typeof e.number === "number" ? hex(e.number) : "no number: " + e;
  }
}

function expectError(name, code, body) {
  var got = outcome(body);
  check(name, got === hex(code), "got " + got + ", expected " + hex(code));
}

function run(name, body) {
  try {
    body();
  } catch (e) {
    check(name, false, "uncaught " + hex(e.number) + " " + e.message);
  }
}

function finish() { WScript.Echo(passed + " passed, " + failed + " failed"); }

function newRequest() { return new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0"); }

// Dispatches the thread's messages until condition() holds, for at most
// ten seconds.
function waitFor(condition) {
  if (!pump) pump = newMessagePump(bin);
  for (var left = 10000; !condition() && left > 0; left -= 20) pump.wait(20);
  return condition();
}
