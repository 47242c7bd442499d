// A page's use of the request object against the echo service "jsecho":
// what open refuses, every order of calls against a model of the request
// cycle, and handlers that call their own object. (An asynchronous page is
// docs/examples/async_post.js; its handlers run once each, at readyState 4
// or 5, in the fault-injection and stress tests.)
var url = "http://localhost/zev-cgi-bin/jsecho/query";
function echoOf(json) {
  return '{"path":"/jsecho/query","json":' + json + '}';
}

// Each after a good open, so that no earlier pipe path can stand in.
run("open refuses what it cannot send, and the request with it", function () {
  shell.RegWrite(spRoot + "jsnumber\\Name", 7, "REG_DWORD");
  var refused = [["post", url, 0xE00D0004], ["GET", url + "?x=1", 0xE00D0004],
                 ["POST", "http://h/zev-cgi-bin/nosuchservice/q", 0x80070002],
                 ["POST", "http://h/zev-cgi-bin/jsnumber/q", 0x8007065D]];
  var request = newRequest();
  for (var i = 0; i < refused.length; i++) {
    request.open("POST", url, false);
    expectError(refused[i].join(" "), refused[i][2], function () { request.open(refused[i][0], refused[i][1], false); });
    check("readyState kept", request.readyState === 1, request.readyState);
    expectError("then send", 0xE00D0001, function () { request.send("json=1"); });
  }
  shell.Run('reg delete "' + spRoot + 'jsnumber" /f', 0, true);
});

// What the object must do, kept by hand: the two flags of the request
// cycle, the JSON a send without a string would use, the state and the
// reply of the last exchange. Every open the object accepts resets the
// request.
function RequestModel() {
  this.readyForOpen = true;
  this.opened = false;
  this.json = this.reply = "";
  this.state = 0;
}
RequestModel.prototype.open = function (json, valid) {
  if (!this.readyForOpen) return "0xE00D000D";
  this.json = this.reply = "";
  this.opened = valid;
  if (!valid) return "0xE00D0004";
  this.json = json;
  this.state = 1;
  return "ok";
};
RequestModel.prototype.send = function (json, isString) {
  if (!this.opened) return "0xE00D0001";
  if (isString && json === null) return "0xE00D0004";
  if (json !== null) this.json = json;
  this.state = 2;
  if (this.json === "") return "0xE00C000D";
  this.state = 4;
  this.reply = echoOf(this.json);
  this.readyForOpen = this.opened = false;
  return "ok";
};

// Each order on a fresh object, checked call by call: the code, the
// readyState and the reply text.
run("every order of four calls follows the request cycle", function () {
  var calls = [
    ["open POST", function (r) { r.open("POST", url, false); }, function (m) { return m.open("", true); }],
    ["open GET", function (r) { r.open("GET", url + "?x=1&json=%5B7%5D", false); },
     function (m) { return m.open("[7]", true); }],
    ["open malformed", function (r) { r.open("POST", "http://h/query", false); },
     function (m) { return m.open("", false); }],
    ["send form", function (r) { r.send("json=1"); }, function (m) { return m.send("1", true); }],
    ["send without json", function (r) { r.send("x=1"); }, function (m) { return m.send(null, true); }],
    ["send nothing", function (r) { r.send(); }, function (m) { return m.send(null, false); }],
    ["responseText", function (r, m) { return r.responseText === m.reply ? "ok" : r.responseText; },
     function (m) { m.readyForOpen = true; return "ok"; }],
    ["abort", function (r) { r.abort(); }, function () { return "ok"; }]];
  for (var order = 0; order < 4096; order++) {
    var request = newRequest(), model = new RequestModel(), names = [];
    for (var i = 0, rest = order; i < 4; i++, rest >>= 3) {
      var call = calls[rest & 7], got;
      names.push(call[0]);
      try {
        got = call[1](request, model) || "ok";
      } catch (e) {
        got = hex(e.number);
      }
      var expected = call[2](model);
      check(names.join(", "), got === expected && request.readyState === model.state,
            got + " (expected " + expected + "), readyState " + request.readyState);
    }
  }
});

// A handler set before open is dropped; the one set after it runs once, at
// readyState 4: inside send in the synchronous mode, while the object is
// still busy with its send, later in the asynchronous one.
run("handlers calling their own object", function () {
  var expected = ["4,0xE00D000D,ok,ok,0xE00D000D", "4,0xE00D0001,ok,ok,ok"];
  for (var async = 0; async < 2; async++) {
    var request = newRequest(), seen = [];
    request.onreadystatechange = function () { seen.push("dropped by open"); };
    request.open("POST", url, async === 1);
    request.onreadystatechange = function () {
      seen.push(request.readyState, outcome(function () { request.send("json=2"); }),
                outcome(function () { request.abort(); }), outcome(function () { return request.responseText; }),
                outcome(function () { request.open("POST", url, false); }));
    };
    request.send("json=1");
    check("inside send, async " + async, (seen.length > 0) === !async, seen.length);
    check("calls from the handler, async " + async,
          waitFor(function () { return seen.length; }) && seen.join() === expected[async], seen.join());
  }
});

finish();
