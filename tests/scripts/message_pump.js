// The script host has no message loop: the test-only ZxTest.MessagePump
// dispatches the thread's messages. Its class keys are written on first
// use, for the DLL in the build tree's bin folder.
function newMessagePump(bin) {
  var shell = new ActiveXObject("WScript.Shell");
  var clsid = "{D7CF1571-CF76-46AF-857B-FBEB648D36F5}";
  var server = "HKCR\\CLSID\\" + clsid + "\\InprocServer32\\";
  shell.RegWrite("HKCR\\ZxTest.MessagePump\\CLSID\\", clsid);
  shell.RegWrite(server, bin + "zxtest_message_pump.dll");
  shell.RegWrite(server + "ThreadingModel", "Apartment");
  return new ActiveXObject("ZxTest.MessagePump");
}
