// Ask without blocking the page: send returns at once, and the answer
// arrives in onreadystatechange once the page is back in its message loop.
var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
request.open("POST", "http://localhost/zev-cgi-bin/demo/scan/start", true);
// After open: open forgets the previous onreadystatechange.
request.onreadystatechange = function () {
  show("answer: " + request.responseText);
};
request.ondisconnection = function () {
  show("the demo service is not reachable");
};
request.send("json=" + encodeURIComponent('{"action":"start"}'));
show("sent");
