// A page picks a folder and then the locations to scan. The user is the
// driver program that the runner starts beside the script
// (zxtest_picker_driver page): it picks C:\ZxScan\Alpha, then checks
// C:\ZxScan\Alpha and C:\ZxScan\Beta and presses OK, then cancels.
var folderPicker = new ActiveXObject("Zxmlhttp.ZevFileDialog_0");
var scanPicker = new ActiveXObject("Zxmlhttp.ZevMultiFileDialog_0");

run("folder picker", function () {
  var folder = folderPicker.GetOpenFileName("Pick the folder to scan");
  check("picked folder", folder === "C:\\ZxScan\\Alpha", folder);
});

run("scan locations", function () {
  var text = scanPicker.GetOpenFileNameEx(false, "Scan locations", "Check what to scan:", 0);
  check("result text", text === '{result:{paths:["C:\\\\ZxScan\\\\Alpha","C:\\\\ZxScan\\\\Beta"],count:2}}', text);
  // Pages read the text as a script literal.
  var result = eval("(" + text + ")").result;
  check("count", result.count === 2, result.count);
  check("first path", result.paths[0] === "C:\\ZxScan\\Alpha", result.paths[0]);
  check("second path", result.paths[1] === "C:\\ZxScan\\Beta", result.paths[1]);
});

run("cancelled", function () {
  var text = scanPicker.GetOpenFileNameEx2(false, "", "", 0, 0, 0, true, 0);
  // S_FALSE leaves the out string null, which the page sees as empty.
  check("no text", text === "", typeof text + " " + text);
});

finish();
