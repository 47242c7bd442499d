// What a page has around its script, for the examples in docs/examples run
// under the script host (run-jscript --expect): show() writes a line where a
// page would fill in an element of its document.
var shown = 0;
function show(text) {
  WScript.Echo(text);
  shown++;
}
