// What a suite page does to ask a service something: create the request
// object, open the service's URL, send the JSON as form data, read the reply.
function show(text) { WScript.Echo(text); }

var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
request.ondisconnection = function () { show("ondisconnection: the service is not reachable"); };
request.open("POST", "http://localhost/zev-cgi-bin/demo/scan/status", false);
show("open:  readyState " + request.readyState);
request.onreadystatechange = function () { show("onreadystatechange: readyState " + request.readyState); };

// The script host predates JSON.stringify: pages build their JSON as text.
var json = '{"action":"status","paths":["C:\\\\Users\\\\Public"],"verbose":true}';
show("send:  " + json);
request.send("json=" + encodeURIComponent(json));
show("reply: " + request.responseText);
