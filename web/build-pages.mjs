// Builds the site's pages, one per language, with every word in the HTML, so
// that the first paint is the final page: index.html (English, which sends a
// reader whose browser asks for Japanese to the other) and index.ja.html.
// Also joins the page's plain scripts into page.js, one request for all.
// usage: node build-pages.mjs SOURCE_FOLDER SITE_FOLDER
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';

const [source, site] = process.argv.slice(2);
const read = (name) => fs.readFileSync(path.join(source, name), 'utf8');

// The scripts, in the order they need each other; texts.js and inputs.js
// run here with a bare window to give the texts and the inputs' names.
const SCRIPTS = ['load.js', 'texts.js', 'checksums.js', 'inputs.js', 'folder.js', 'app.js'];
const context = { window: {} };
vm.createContext(context);
vm.runInContext(read('texts.js'), context);
vm.runInContext(read('inputs.js'), context);
const texts = context.window.QuorvelTexts;
const { INPUTS } = context.window.QuorvelInputs;

const escape = (value) => String(value).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');

function page(lang) {
  const text = texts[lang];
  let html = read('index.html');
  const put = (pattern, value) => {
    if (!pattern.test(html)) throw new Error('index.html has no ' + pattern);
    html = html.replace(pattern, value);
  };
  put(/<html lang="en">/, `<html lang="${lang}">`);
  put(/<title>[^<]*<\/title>/, `<title>${escape(text.title)}</title>`);
  put(/@DESCRIPTION@/g, escape(text.description));
  put(/@TITLE@/g, escape(text.title));
  put(/@LOCALE@/, lang === 'ja' ? 'ja_JP' : 'en_US');
  // The English page alone looks at the reader's language, before its body.
  put(/<!-- @LANGUAGE@ -->\n/, lang === 'en' ? '<script src="language.js"></script>\n' : '');
  // Each element that names a text holds it.
  html = html.replace(/(<([a-z0-9]+)\b[^>]*\bdata-text="(\w+)"[^>]*>)[^<]*(<\/\2>)/g, (whole, open, tag, key, close) => {
    if (typeof text[key] !== 'string') throw new Error('no text ' + key);
    return open + escape(text[key]) + close;
  });
  html = html.replace(/\bdata-label="(\w+)"/g, (whole, key) => `aria-label="${escape(text[key])}"`);
  // The table of the files needed, none chosen yet, as app.js's showChoice()
  // writes it.
  const rows = INPUTS.map((name) => `<tr class="missing"><td>${name}</td><td>${escape(text.notChosen)}</td><td></td></tr>`);
  put(/<tbody><\/tbody>/, '<tbody>' + rows.join('') + '</tbody>');
  return html;
}

fs.writeFileSync(path.join(site, 'index.html'), page('en'));
fs.writeFileSync(path.join(site, 'index.ja.html'), page('ja'));
fs.writeFileSync(path.join(site, 'page.js'), SCRIPTS.map((name) => `// ${name}\n` + read(name)).join('\n'));
