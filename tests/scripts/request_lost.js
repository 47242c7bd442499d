// A page against a service that dies in the middle of its reply, and a
// reply that says the service lost its own connection.
var base = "http://localhost/zev-cgi-bin/";

run("reply cut short", function () {
  var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
  var lost = 0, stateInHandler = -1;
  request.ondisconnection = function () { lost++; stateInHandler = request.readyState; };
  request.open("POST", base + "jscut/query", false);
  expectError("read failed", 0xE00C000B, function () { request.send("json=1"); });
  check("ondisconnection before send returned", lost === 1, lost);
  check("state 5", stateInHandler === 5 && request.readyState === 5, stateInHandler);
});

finish();
