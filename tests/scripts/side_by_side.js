// Run by side_by_side.sh in a 64-bit prefix with one of the two script
// hosts: "present" expects this host's own build of the DLL to answer a
// request through the sample service, "absent" expects no class at all.
var expectation = WScript.Arguments(0);
var request = null;
try {
  request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
} catch (e) {
  check("the class is registered for this host", expectation === "absent", hex(e.number));
}
if (request) {
  check("the class is unregistered for this host", expectation === "present");
  run("an exchange through this host's DLL", function () {
    request.open("POST", "http://localhost/zev-cgi-bin/sxs/side/by/side", false);
    request.send("json=" + encodeURIComponent('{"host":1}'));
    check("reply", request.responseText === '{"path":"/sxs/side/by/side","json":{"host":1}}',
          request.responseText);
  });
}
finish();
