// A page that passes the request object whatever JScript can hold: null,
// undefined, numbers, objects, functions, huge strings, text that is not
// ASCII or not valid UTF-16. Every call gives its code, the reply text is
// always valid UTF-16, and the object keeps working.
// (tests/reliability/hostile_input_test.cpp has what no script can pass.)
var url = "http://localhost/zev-cgi-bin/jshostile/query";
function echoOf(json, path) {
  return '{"path":"/jshostile/query' + (path || "") + '","json":' + json + '}';
}
// Opens url + path in the mode async picks, sends the form and waits for
// the reply; returns its text and whether send had run the handler.
function exchange(request, async, form, path) {
  var done = 0;
  request.open("POST", url + (path || ""), async);
  request.onreadystatechange = function () { done++; };
  request.send(form);
  var sync = done > 0;
  waitFor(function () { return done > 0; });
  return {text: request.responseText, sync: sync};
}

// A value becomes the string a parameter wants, null excepted; the low 16
// bits of async pick the mode (of null, a string or an object: whatever
// bits they carry).
run("arguments that are not strings or flags", function () {
  var request = newRequest();
  var values = [null, undefined, 0, 1, -1, 65536, 65537, 1.5, true, "", {}, [1, 2], function () {}, "GET"];
  var sync = [null, null, true, false, false, true, false, true, false, null, null, null, null, null];
  for (var i = 0; i < values.length; i++) {
    var method = outcome(function () { request.open(values[i], url, false); });
    var target = outcome(function () { request.open("POST", values[i], false); });
    check("method and url " + i, method === (i ? "0xE00D0004" : "0x80020005") && target === method, method + " " + target);
    var reply = exchange(newRequest(), values[i], "json=" + i);
    check("async " + i, reply.text === echoOf(i) && (sync[i] === null || reply.sync === sync[i]), reply.sync + reply.text);
  }
  check("readyState kept", request.readyState === 0, request.readyState);
  expectError("async left out", 0x8002000E, function () { request.open("POST", url); });
});

run("only a string body replaces the URL's JSON", function () {
  var request = newRequest(), called = 0;
  var values = [null, undefined, 42, 2.5, true, {}, [1, 2], function () { called++; }, "json=2", "json=3\u0000json=4"];
  for (var i = 0; i < values.length; i++) {
    request.open("GET", url + "?x=1&json=%5B7%5D", false);
    var sent = outcome(function () { request.send(values[i]); });
    check("body " + i, sent === "ok" && request.responseText === echoOf(i < 8 ? "[7]" : i - 6), sent + request.responseText);
  }
  check("a function body is not called", called === 0, called);
  request.open("GET", url + "?json=1", false);
  expectError("a string without json", 0xE00D0004, function () { request.send("jsonp=1&x=json"); });
});

// A key path too long for the registry is refused, not cut.
run("huge strings", function () {
  var huge = "7", request = newRequest();
  while (huge.length < 1 << 22) huge += huge;
  for (var async = 0; async < 2; async++) {
    var reply = exchange(request, async === 1, "json=" + huge, "/" + huge);
    check("huge path and JSON, async " + async, reply.text === echoOf(huge, "/" + huge), reply.text.length);
  }
  expectError("huge method", 0xE00D0004, function () { request.open(huge, url, false); });
  expectError("huge service", 0x8007006F, function () { request.open("POST", "http://h/zev-cgi-bin/" + huge + "/q", false); });
  request.setRequestHeader(huge, huge);
  check("usable afterwards", exchange(request, true, "json=2").text === echoOf("2"));
});

// The path travels in the thread's ANSI code page, which has no Cyrillic;
// the JSON as the UTF-8 of its percent-decoded bytes.
run("text that is not ASCII or not valid UTF-16 or UTF-8", function () {
  var request = newRequest(), json = '"\u00fc\u20ac"', pair = '"\u00fc\ud83d\ude00"';
  check("percent-encoded", exchange(request, false, "json=" + encodeURIComponent(json)).text === echoOf(json));
  check("as it stands", exchange(request, true, "json=" + pair).text === echoOf(pair));
  check("path", exchange(request, false, "json=1", "/\u0437\u0430\u043f").text === echoOf(1, "/???"));
  // A zero byte is data like any other; the reply's text ends at its echo.
  for (var async = 0; async < 2; async++) {
    var zero = exchange(request, async === 1, "json=%5B1%00%5D").text;
    check("zero byte, async " + async, zero === echoOf("[1").slice(0, -1), zero);
  }
  var broken = ['json="a\ud800b\udc00"', "json=%22%FF%C0%80%ED%A0%80%F8%22", "json=%22%E2%82%"];
  for (var i = 0; i < broken.length * 2; i++) {
    var reply = exchange(request, i % 2 === 1, broken[i >> 1], i ? "" : "/\ud800\u00e9").text;
    check("broken text " + i, reply.indexOf('{"path":"/jshostile/query') === 0 &&
          !/[\ud800-\udbff](?![\udc00-\udfff])|(^|[^\ud800-\udbff])[\udc00-\udfff]/.test(reply), reply);
  }
});

// (What the type library refuses, a string handler or reading a handler,
// is the system's.)
run("a handler that is an object but no function", function () {
  var request = newRequest();
  request.open("POST", url, true);
  request.onreadystatechange = {};
  request.send("json=1");
  check("exchange", waitFor(function () { return request.readyState === 4; }) &&
        request.responseText === echoOf(1), request.responseText);
});

finish();
