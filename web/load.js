// A script of the site, loaded when it is first needed rather than with the
// page: the zip reader, the hashing, the library's module. Each is asked for
// once; every caller waits for the same load.
'use strict';

(function () {
  const loads = new Map();

  function loadScript(src) {
    if (!loads.has(src)) {
      loads.set(src, new Promise((resolve, reject) => {
        const script = document.createElement('script');
        script.src = src;
        script.onload = resolve;
        script.onerror = () => {
          loads.delete(src);
          reject(new Error(src + ' could not be loaded'));
        };
        document.head.append(script);
      }));
    }
    return loads.get(src);
  }

  window.QuorvelLoad = loadScript;
})();
