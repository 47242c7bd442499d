// Times a page's request loop:
//   cscript //nologo timed_loop.js <object|winhttp> <url> <encoded json> <count>
// "object" posts the JSON as form data through the pipe request object,
// synchronously; "winhttp" sends it in the query of a GET to a loopback HTTP
// server (Wine's WinHttp writes a POST's headers and body separately and
// then waits out the server's delayed acknowledgement, about 40 ms, which
// would measure that, not HTTP). Prints "ms <elapsed>" for count requests
// after 20 untimed ones, or "failed".
var args = WScript.Arguments;
var mode = args(0), url = args(1), encodedJson = args(2), count = +args(3);

function objectRequester() {
  var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
  var body = "json=" + encodedJson;
  return function () {
    request.open("POST", url, false);
    request.send(body);
    return request.responseText;
  };
}

function winHttpRequester() {
  var request = new ActiveXObject("WinHttp.WinHttpRequest.5.1");
  var address = url + "?json=" + encodedJson;
  return function () {
    request.Open("GET", address, false);
    request.Send();
    return request.ResponseText;
  };
}

function run() {
  var one = mode == "winhttp" ? winHttpRequester() : objectRequester();
  for (var i = 0; i < 20; ++i) one();
  var start = new Date().getTime();
  for (var i = 0; i < count; ++i) {
    if (one().length == 0) return "failed";
  }
  return "ms " + (new Date().getTime() - start);
}

try {
  WScript.Echo(run());
} catch (e) {
  WScript.Echo("failed: " + e.message);
}
