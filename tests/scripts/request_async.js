// Asynchronous requests from a page script: open and send return at once,
// and the handlers run on the script's own thread while it pumps messages.
// The script host has no message loop of its own, so the test-only
// ZxTest.MessagePump (registered here) does the pumping.
var shell = new ActiveXObject("WScript.Shell");
var files = new ActiveXObject("Scripting.FileSystemObject");
// The runner copies the script into a folder of the build tree.
var tree = files.GetParentFolderName(files.GetParentFolderName(WScript.ScriptFullName));
var bin = files.BuildPath(tree, "bin");
var prefix = "http://localhost/zev-cgi-bin/";
var spRoot = "HKLM\\SOFTWARE\\Velmora\\ZevCommon\\SP_ROOT\\";
var echoJson = '{"a":1}';

var pumpDll = files.BuildPath(bin, "zxtest_message_pump.dll");
shell.Run('regsvr32 /s "' + pumpDll + '"', 0, true);
var pump = new ActiveXObject("ZxTest.MessagePump");

// Pumps messages until condition() holds, for at most ms milliseconds.
function waitFor(condition, ms) {
  for (var left = ms; !condition() && left > 0; left -= 20) pump.wait(20);
  return condition();
}

// The host's RegDelete is not implemented; reg.exe is.
function unregister(segment) {
  shell.Run('reg delete "' + spRoot + segment + '" /f', 0, true);
}

function newRequest() {
  return new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
}

run("asynchronous echo", function () {
  var request = newRequest();
  var calls = 0, stateInHandler = 0, lost = 0;
  request.open("POST", prefix + "jsasync/query", true);
  check("opened", request.readyState === 1, request.readyState);
  request.onreadystatechange = function () { calls++; stateInHandler = request.readyState; };
  request.ondisconnection = function () { lost++; };
  request.send("json=" + encodeURIComponent(echoJson));
  check("send returns before the handler runs", calls === 0, calls);
  check("handler runs while the page pumps", waitFor(function () { return calls > 0; }, 10000));
  check("readyState 4 in the handler", stateInHandler === 4, stateInHandler);
  check("reply", request.responseText === '{"path":"/jsasync/query","json":' + echoJson + '}',
        request.responseText);
  pump.wait(200);
  check("handler ran once", calls === 1, calls);
  check("no disconnection", lost === 0, lost);
});

run("handler starts the next request", function () {
  var request = newRequest();
  var replies = [];
  function next() {
    request.open("POST", prefix + "jsasync/query", true);
    request.onreadystatechange = function () {
      replies.push(request.responseText);
      if (replies.length < 5) next();
    };
    request.send("json=" + replies.length);
  }
  next();
  check("five replies", waitFor(function () { return replies.length >= 5; }, 10000), replies.length);
  check("last reply", replies[4] === '{"path":"/jsasync/query","json":4}', replies[4]);
});

run("no listening service", function () {
  shell.RegWrite(spRoot + "jsnobody\\Name", "zx-jsnobody", "REG_SZ");
  var request = newRequest();
  var lost = 0;
  request.ondisconnection = function () { lost++; };
  expectError("open", 0xE00D0005, function () { request.open("POST", prefix + "jsnobody/query", true); });
  check("ondisconnection ran before open returned", lost === 1, lost);
  check("readyState 5", request.readyState === 5, request.readyState);
  unregister("jsnobody");
});

run("connection lost during the reply", function () {
  // A second service whose reply announces more than the process can hold.
  var service = shell.Exec('"' + files.BuildPath(bin, "zxsample_service.exe") +
                           '" --segment jshuge --pipe zx-jshuge --huge --exit-after 60000');
  var request = newRequest();
  var listening = waitFor(function () {
    try {
      request.open("POST", prefix + "jshuge/query", true);
    } catch (e) {
    }
    return request.readyState === 1;
  }, 10000);
  check("second service listening", listening, request.readyState);
  var lost = 0, complete = 0, stateInHandler = 0;
  request.onreadystatechange = function () { complete++; };
  request.ondisconnection = function () { lost++; stateInHandler = request.readyState; };
  request.send("json=1");
  check("send returns before the handler runs", lost === 0, lost);
  check("ondisconnection runs while the page pumps", waitFor(function () { return lost > 0; }, 10000));
  check("readyState 5 in the handler", stateInHandler === 5, stateInHandler);
  pump.wait(200);
  check("ondisconnection ran once", lost === 1, lost);
  check("no completion", complete === 0, complete);
  service.Terminate();
  unregister("jshuge");
});

shell.Run('regsvr32 /s /u "' + pumpDll + '"', 0, true);
finish();
