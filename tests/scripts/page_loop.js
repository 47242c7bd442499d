// After the example: the page stays open. A page's window keeps pumping
// messages, which is when asynchronous handlers run; the script host has no
// loop of its own, so the test-only ZxTest.MessagePump pumps until the
// example has shown as many lines as expected (the script's argument).
(function () {
  var expected = Number(WScript.Arguments(0));
  if (shown >= expected) return;
  var files = new ActiveXObject("Scripting.FileSystemObject");
  // The runner copies the script into a folder of the build tree.
  var tree = files.GetParentFolderName(files.GetParentFolderName(WScript.ScriptFullName));
  var pump = newMessagePump(tree + "\\bin\\");
  for (var left = 10000; shown < expected && left > 0; left -= 20) pump.wait(20);
})();
