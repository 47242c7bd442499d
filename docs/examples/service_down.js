// The service "stopped" is registered but not running: send fails, its
// exception's number is the result code, and ondisconnection has run first.
var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
request.ondisconnection = function () {
  show("ondisconnection: readyState " + request.readyState);
};
request.open("POST", "http://localhost/zev-cgi-bin/stopped/scan/status", false);
try {
  request.send("json={}");
} catch (e) {
  show("send failed: 0x" + (e.number >>> 0).toString(16).toUpperCase());
}
