// A page and the example service (tools/example_service, registered as
// "example"): an answer, and the error code for a path it does not know.
var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
request.open("POST", "http://localhost/zev-cgi-bin/example/hello", false);
request.send("json=" + encodeURIComponent('{"name":"page"}'));
show(request.responseText);
// Reading responseText lets the object open again.
request.open("POST", "http://localhost/zev-cgi-bin/example/goodbye", false);
request.send("json={}");
show(request.responseText);
