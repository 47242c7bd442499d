// A page asks through IDispatch whether the suite's service is down and has
// it repaired: the sample service is installed under the monitored name and
// the stand-in repair tool (mendtool.exe) where the module looks for it.
var shell = new ActiveXObject("WScript.Shell");
var fso = new ActiveXObject("Scripting.FileSystemObject");
var bin = fso.GetParentFolderName(shell.CurrentDirectory) + "\\bin\\";
var serviceName = "Velmora Online Scan Service";
// (Wine's ExpandEnvironmentStrings keeps the terminator in the text.)
var toolFolder = shell.Environment("PROCESS")("ProgramFiles") + "\\Velmora\\netprobe";
var toolLog = fso.GetSpecialFolder(2).Path + "\\zx-health-page.log";
var notRunning = 0xE00D000F, notInstalled = 1060;

function sampleService(args) {
  return shell.Run('"' + bin + 'zxsample_service.exe" ' + args, 0, true);
}
function removeService() {
  return sampleService('--uninstall "' + serviceName + '"') === 0;
}
// Installed and stopped; options go to the service's command line.
function installService(options) {
  return removeService() &&
      sampleService('--install "' + serviceName + '" --pipe zx-health-page ' + options) === 0;
}

function folderMade(path) {
  if (!fso.FolderExists(path)) fso.CreateFolder(path);
}
// mode "start": the tool starts the service; "none": it leaves it down.
function installTool(mode) {
  folderMade(fso.GetParentFolderName(toolFolder));
  folderMade(toolFolder);
  fso.CopyFile(bin + "mendtool.exe", toolFolder + "\\mendtool.exe", true);
  var settings = fso.CreateTextFile(toolFolder + "\\mendtool.ini", true);
  settings.Write("[mendtool]\r\nlog=" + toolLog + "\r\nmode=" + mode + "\r\n");
  settings.Close();
}
function toolRuns() {
  if (!fso.FileExists(toolLog)) return 0;
  var file = fso.OpenTextFile(toolLog, 1);
  var text = file.AtEndOfStream ? "" : file.ReadAll();
  file.Close();
  return text.split("\r\n").length - 1;
}

// fixConnection's code, with the time it blocked the page.
function fix(request, what) {
  var start = new Date().getTime();
  var code = request.fixConnection;
  WScript.Echo("fixConnection, " + what + ": " + (new Date().getTime() - start) + " ms");
  return code >>> 0;
}

if (fso.FileExists(toolLog)) fso.DeleteFile(toolLog);
var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");

run("a stopped service is started by the tool", function () {
  installTool("start");
  check("installed", installService(""));
  check("down", request.isNeedFixConnection === true, request.isNeedFixConnection);
  check("repaired", fix(request, "service started by the tool") === 0);
  check("one run of the tool", toolRuns() === 1, toolRuns());
});
run("a running service needs nothing", function () {
  check("up", request.isNeedFixConnection === false, request.isNeedFixConnection);
  check("nothing to repair", fix(request, "service running") === 0);
  check("no further run of the tool", toolRuns() === 1, toolRuns());
});
run("a missing service fails at once", function () {
  installTool("none");
  check("removed", removeService());
  check("down", request.isNeedFixConnection === true, request.isNeedFixConnection);
  var code = fix(request, "service not installed");
  check("manager's error", code === notInstalled, hex(code));
});
run("a service that stays down times out", function () {
  check("installed", installService(""));
  var code = fix(request, "service stays down");
  check("not running", code === notRunning, hex(code));
  check("still down", request.isNeedFixConnection === true);
  check("a run for each service found down", toolRuns() === 3, toolRuns());
});
run("a start-pending service is down until it runs", function () {
  check("installed", installService("--start-pending 5000"));
  check("started", shell.Run('sc start "' + serviceName + '"', 0, true) === 0);
  check("down", request.isNeedFixConnection === true, request.isNeedFixConnection);
  check("up by itself", fix(request, "service leaving start-pending") === 0);
});
run("clean up", function () {
  check("service removed", removeService());
  fso.DeleteFile(toolFolder + "\\mendtool.*");
  fso.DeleteFile(toolLog);
});
finish();
