// What a page sees of the health check: the suite's service is down, the
// page has it repaired, and then it is up. The sample service is installed,
// stopped, under the monitored name, and the stand-in repair tool
// (mendtool.exe), set to start it, is where the module looks for it.
var serviceName = "Velmora Online Scan Service";
// (Wine's ExpandEnvironmentStrings keeps the terminator in the text.)
var toolFolder = shell.Environment("PROCESS")("ProgramFiles") + "\\Velmora\\netprobe";
var toolLog = files.GetSpecialFolder(2).Path + "\\zx-health-page.log";

function sampleService(args) {
  return shell.Run('"' + bin + 'zxsample_service.exe" ' + args, 0, true) === 0;
}
function toolRuns() {
  var file = files.OpenTextFile(toolLog, 1, true), text = file.AtEndOfStream ? "" : file.ReadAll();
  file.Close();
  return text.split("\r\n").length - 1;
}

run("a stopped service is repaired, a running one needs nothing", function () {
  if (files.FileExists(toolLog)) files.DeleteFile(toolLog);
  var parent = files.GetParentFolderName(toolFolder);
  if (!files.FolderExists(parent)) files.CreateFolder(parent);
  if (!files.FolderExists(toolFolder)) files.CreateFolder(toolFolder);
  files.CopyFile(bin + "mendtool.exe", toolFolder + "\\mendtool.exe", true);
  var settings = files.CreateTextFile(toolFolder + "\\mendtool.ini", true);
  settings.Write("[mendtool]\r\nlog=" + toolLog + "\r\nmode=start\r\n");
  settings.Close();
  sampleService('--uninstall "' + serviceName + '"');
  check("installed", sampleService('--install "' + serviceName + '" --pipe zx-health-page'));
  var request = newRequest();
  check("down", request.isNeedFixConnection === true, request.isNeedFixConnection);
  check("repaired", request.fixConnection === 0);
  check("one run of the tool", toolRuns() === 1, toolRuns());
  check("up", request.isNeedFixConnection === false, request.isNeedFixConnection);
  check("nothing to repair", request.fixConnection === 0);
  check("no further run of the tool", toolRuns() === 1, toolRuns());
  check("removed", sampleService('--uninstall "' + serviceName + '"'));
  files.DeleteFile(toolFolder + "\\mendtool.*");
  files.DeleteFile(toolLog);
});

finish();
