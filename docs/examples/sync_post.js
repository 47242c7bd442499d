// Ask the demo service a question and wait for its answer.
var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
request.open("POST", "http://localhost/zev-cgi-bin/demo/scan/status", false);
request.send("json=" + encodeURIComponent('{"action":"status"}'));
show(request.responseText);
