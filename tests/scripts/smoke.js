// A page creates the request object by ProgID and talks to a service.
run("unregistered service", function () {
  var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
  check("fresh readyState", request.readyState === 0, request.readyState);
  // The registry's own error (2) is a success code to a script host: the
  // page sees the object still unopened.
  request.open("POST", "http://localhost/zev-cgi-bin/nosuchservice/query", false);
  check("unopened after a missing key", request.readyState === 0, request.readyState);
  expectError("send without open", 0xE00D0001, function () { request.send("json=1"); });
});
run("echo", function () {
  var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
  request.open("POST", "http://localhost/zev-cgi-bin/jsecho/query?x=1", false);
  request.send("json=" + encodeURIComponent('{"a":1}'));
  check("readyState 4", request.readyState === 4, request.readyState);
  check("reply", request.responseText === '{"path":"/jsecho/query","json":{"a":1}}', request.responseText);
});
finish();
