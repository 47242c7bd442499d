// Before relying on the suite, a page asks whether one of its services is
// down; if so it offers the user a repair (fixConnection).
var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
if (request.isNeedFixConnection) {
  show("a service of the suite is down: offer a repair");
} else {
  show("the suite's services are running");
}
