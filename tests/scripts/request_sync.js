// A page's synchronous use of the request object against an echo service
// registered as "jsecho".
var url = "http://localhost/zev-cgi-bin/jsecho/query";

function opened() {
  var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
  request.open("POST", url, false);
  return request;
}

run("fixed answers", function () {
  var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
  check("readyState", request.readyState === 0, request.readyState);
  check("status", request.status === 200, request.status);
  check("statusText", request.statusText === "200", request.statusText);
  check("servicePort", request.servicePort === 9922, request.servicePort);
  check("empty text", request.responseText === "", request.responseText);
  check("vista or later", request.isOSVersionAfterVista === true || request.isOSVersionAfterVista === 1,
        request.isOSVersionAfterVista);
});

run("unregistered service", function () {
  var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
  expectError("open of a missing key", 0x80070002, function () {
    request.open("POST", "http://localhost/zev-cgi-bin/nosuchservice/query", false);
  });
  check("unopened after a missing key", request.readyState === 0, request.readyState);
  expectError("send without open", 0xE00D0001, function () { request.send("json=1"); });
});

run("handlers are script functions", function () {
  var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
  var early = 0, calls = 0, stateInHandler = -1;
  request.onreadystatechange = function () { early++; };
  request.open("POST", url, false);
  request.onreadystatechange = function () { calls++; stateInHandler = request.readyState; };
  request.send("json=" + encodeURIComponent('{"x":"\u00e9"}'));
  check("handler set before open is dropped", early === 0, early);
  check("handler called once", calls === 1, calls);
  check("state 4 inside the handler", stateInHandler === 4, stateInHandler);
  check("reply", request.responseText === '{"path":"/jsecho/query","json":{"x":"\u00e9"}}', request.responseText);
});

run("errors are exceptions with the HRESULT as number", function () {
  var request = opened();
  expectError("method is case-sensitive", 0xE00D0004, function () { request.open("post", url, false); });
  request = opened();
  expectError("body without json", 0xE00D0004, function () { request.send("x=1"); });
  expectError("empty json", 0xE00C000D, function () { request.send("json="); });
  request.send("json=1");
  expectError("second send", 0xE00D0001, function () { request.send("json=1"); });
  expectError("open before the reply is read", 0xE00D000D, function () { request.open("POST", url, false); });
  var text = request.responseText;
  request.open("POST", url, false);
  check("re-armed by responseText", request.readyState === 1, request.readyState);
});

run("GET carries the json in the URL", function () {
  var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
  request.open("GET", url + "?x=0&json=" + encodeURIComponent("[1,2]"), false);
  request.send();
  check("reply", request.responseText === '{"path":"/jsecho/query","json":[1,2]}', request.responseText);
});

run("a handler reentering the object is refused", function () {
  var request = opened();
  var nested = 0;
  request.onreadystatechange = function () {
    try { request.open("POST", url, false); } catch (e) { nested = e.number; }
  };
  request.send("json=1");
  check("busy", (nested >>> 0) === 0xE00D000D, hex(nested));
});

finish();
