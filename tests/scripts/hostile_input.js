// A page that passes the request object whatever JScript can hold: null,
// undefined, objects, functions, huge strings, lone surrogates, and calls in
// the wrong order. Every call returns or throws an error with a number, and
// the object keeps working.
var shell = new ActiveXObject("WScript.Shell");
var files = new ActiveXObject("Scripting.FileSystemObject");
var tree = files.GetParentFolderName(files.GetParentFolderName(WScript.ScriptFullName));
var pumpDll = files.BuildPath(files.BuildPath(tree, "bin"), "zxtest_message_pump.dll");
shell.Run('regsvr32 /s "' + pumpDll + '"', 0, true);
var pump = new ActiveXObject("ZxTest.MessagePump");

var url = "http://localhost/zev-cgi-bin/jshostile/query";
var ok = "ok";

function waitFor(condition, ms) {
  for (var left = ms; !condition() && left > 0; left -= 20) pump.wait(20);
  return condition();
}

// "ok", or the error's number in hexadecimal; anything else is a failure.
function outcome(body) {
  try {
    body();
    return ok;
  } catch (e) {
    return typeof e.number === "number" ? hex(e.number) : "no number: " + e;
  }
}

function echoOf(json) {
  return '{"path":"/jshostile/query","json":' + json + '}';
}

function repeat(text, count) {
  var result = "";
  for (; count > 0; count >>= 1, text += text) if (count & 1) result += text;
  return result;
}

// Opens, sends json=<json> and waits for the reply in whichever mode async
// chose; returns the reply text.
function exchange(request, async, json) {
  var done = 0;
  request.open("POST", url, async);
  request.onreadystatechange = function () { done++; };
  request.send("json=" + json);
  waitFor(function () { return done > 0; }, 10000);
  return request.responseText;
}

function hasLoneSurrogate(text) {
  for (var i = 0; i < text.length; i++) {
    var c = text.charCodeAt(i);
    if (c >= 0xdc00 && c <= 0xdfff) return true;
    if (c >= 0xd800 && c <= 0xdbff) {
      var next = text.charCodeAt(i + 1);
      if (!(next >= 0xdc00 && next <= 0xdfff)) return true;
      i++;
    }
  }
  return false;
}

function newRequest() {
  return new ActiveXObject("Zxmlhttp.ZevXMLHttpRequest_0");
}

run("open with values that are not strings", function () {
  var request = newRequest();
  var values = [null, undefined, 0, -1, 1.5, true, {}, [1, 2], function () {}, "", "GET"];
  for (var i = 0; i < values.length; i++) {
    var method = outcome(function () { request.open(values[i], url, false); });
    check("method " + i + " gives a code", method === ok || method.indexOf("0x") === 0, method);
    var target = outcome(function () { request.open("POST", values[i], false); });
    check("url " + i + " gives a code", target === ok || target.indexOf("0x") === 0, target);
  }
  check("usable afterwards", exchange(request, false, "1") === echoOf("1"));
});

run("async of any type picks a mode and the exchange completes", function () {
  var values = [null, undefined, 0, 1, -1, 65536, 65537, 1.5, "yes", "", {}, [], function () {}];
  for (var i = 0; i < values.length; i++) {
    var request = newRequest();
    var reply = exchange(request, values[i], String(i));
    check("async value " + i, reply === echoOf(String(i)), reply);
  }
});

run("bodies that are not strings keep the URL's JSON", function () {
  var request = newRequest();
  var values = [null, undefined, 42, true, {}, [1, 2], function () {}];
  for (var i = 0; i < values.length; i++) {
    request.open("GET", url + "?x=1&json=%5B7%5D", false);
    var sent = outcome(function () { request.send(values[i]); });
    check("body " + i + " sent", sent === ok, sent);
    check("body " + i + " kept the JSON", request.responseText === echoOf("[7]"), request.responseText);
  }
  request.open("POST", url, false);
  expectError("string body without json", 0xE00D0004, function () { request.send("x=1"); });
  expectError("empty json", 0xE00C000D, function () { request.send("json="); });
});

run("huge strings", function () {
  var huge = repeat("7", 1 << 22);
  var request = newRequest();
  check("huge JSON travels", exchange(request, false, huge) === echoOf(huge));
  check("huge JSON travels asynchronously", exchange(request, true, huge) === echoOf(huge));
  var method = outcome(function () { request.open(huge, url, false); });
  check("huge method refused", method === hex(0xE00D0004), method);
  request.setRequestHeader(huge, huge);
  check("usable afterwards", exchange(request, true, "2") === echoOf("2"));
});

run("text that is not ASCII or not valid UTF-16", function () {
  var request = newRequest();
  var json = '"\u00fc\u20ac"';
  check("non-ASCII JSON, percent-encoded", exchange(request, false, encodeURIComponent(json)) === echoOf(json));
  var pair = '"\u00fc\ud83d\ude00"';
  check("non-ASCII JSON as it stands", exchange(request, true, pair) === echoOf(pair));
  var lone = exchange(request, false, '"a\ud800b\udc00"');
  check("lone surrogates give a reply", lone.indexOf('{"path":"/jshostile/query","json":"a') === 0, lone);
  check("and no lone surrogate comes back", !hasLoneSurrogate(lone), lone);
  var opened = outcome(function () { request.open("POST", url + "/\ud800\u00e9", false); });
  check("lone surrogate in the path", opened === ok, opened);
  check("and the exchange runs", outcome(function () { request.send("json=1"); }) === ok);
  request.responseText;
});

run("calls in the wrong order", function () {
  var request = newRequest();
  check("responseText first", request.responseText === "", request.responseText);
  check("abort first", outcome(function () { request.abort(); }) === ok);
  expectError("send before open", 0xE00D0001, function () { request.send("json=1"); });
  request.open("POST", url, false);
  request.send("json=1");
  expectError("send twice", 0xE00D0001, function () { request.send("json=1"); });
  expectError("open before reading the reply", 0xE00D000D, function () { request.open("POST", url, false); });
  check("reply", request.responseText === echoOf("1"), request.responseText);
  check("open after reading it", outcome(function () { request.open("POST", url, true); }) === ok);
  check("responseBody after open", outcome(function () { return request.responseBody; }) === ok);
});

run("handlers that are not functions", function () {
  var request = newRequest();
  var values = ["alert(1)", 5, {}, [], null];
  for (var i = 0; i < values.length; i++) {
    request.open("POST", url, true);
    var set = outcome(function () { request.onreadystatechange = values[i]; });
    check("handler " + i + " gives a code", set === ok || set.indexOf("0x") === 0, set);
    request.send("json=" + i);
    check("exchange " + i + " completes", waitFor(function () { return request.readyState === 4; }, 10000),
          request.readyState);
    pump.wait(50);
    check("reply " + i, request.responseText === echoOf(String(i)), request.responseText);
  }
});

run("a handler that drops itself", function () {
  for (var async = 0; async < 2; async++) {
    var request = newRequest();
    var calls = 0;
    request.open("POST", url, async === 1);
    request.onreadystatechange = function () {
      calls++;
      request.onreadystatechange = null;
      if (typeof CollectGarbage !== "undefined") CollectGarbage();
    };
    request.send("json=1");
    check("called once, async " + async, waitFor(function () { return calls > 0; }, 10000) && calls === 1, calls);
  }
});

shell.Run('regsvr32 /s /u "' + pumpDll + '"', 0, true);
finish();
