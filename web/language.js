// Run in the head of the English page before its body is parsed: a reader
// whose browser asks for Japanese goes to the Japanese page at once, and the
// English one is hidden meanwhile, so that its words never show.
'use strict';

(function () {
  const languages = navigator.languages && navigator.languages.length > 0 ? navigator.languages : [navigator.language || 'en'];
  if (!String(languages[0]).toLowerCase().startsWith('ja')) return;
  document.documentElement.classList.add('leaving');
  location.replace('index.ja.html' + location.search + location.hash);
})();
