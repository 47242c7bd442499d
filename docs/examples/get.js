// A GET carries its JSON in the URL, as the query parameter json.
var request = new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
var json = '{"paths":["C:\\\\Users\\\\Public"]}';
request.open("GET", "http://localhost/zev-cgi-bin/demo/scan/paths?view=full&json=" +
             encodeURIComponent(json), false);
request.send();
show(request.responseText);
