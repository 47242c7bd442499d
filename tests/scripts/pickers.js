// A page picks a folder and then the locations to scan. The user is the
// driver program that the runner starts beside the script
// (zxtest_picker_driver page): it picks C:\ZxScan\Alpha, then checks My
// Computer, which checks every drive, and presses OK, then cancels.
run("a folder, the locations to scan, then nothing", function () {
  var folder = new ActiveXObject("Zxmlhttp.ZevFileDialog_0").GetOpenFileName("Pick the folder to scan");
  check("picked folder", folder === "C:\\ZxScan\\Alpha", folder);
  var scanPicker = new ActiveXObject("Zxmlhttp.ZevMultiFileDialog_0");
  var text = scanPicker.GetOpenFileNameEx(false, "Scan locations", "Check what to scan:", 0);
  check("result text", text === '{result:{paths:["C:\\\\","Z:\\\\"],count:2}}', text);
  // S_FALSE leaves the out string null, which the page sees as empty.
  text = scanPicker.GetOpenFileNameEx2(false, "", "", 0, 0, 0, true, 0);
  check("cancelled: no text", text === "", typeof text + " " + text);
});

finish();
