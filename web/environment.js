// Linked into both WebAssembly builds: the locale variables that the tool
// reads are the host's under Node, as a native program gets them, and in a
// browser those that the page hands over as `environment`. Emscripten's own
// defaults (a LANG from the browser, or C.UTF-8) never reach the tool.
Module['preRun'] = [].concat(Module['preRun'] || [], function () {
  var given = Module['environment'] || (typeof process === 'object' && process.env) || {};
  ['LANGUAGE', 'LC_ALL', 'LC_MESSAGES', 'LC_CTYPE', 'LANG'].forEach(function (name) {
    ENV[name] = given[name];
  });
});
