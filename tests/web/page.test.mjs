// The page in a headless browser, used as a person uses it: pick the dumps,
// run, save. Every image saved must hold the bytes that the native executable
// writes from the same inputs, nothing may be offered from a file that fails a
// check, and the page must ask for nothing but its own files and log no
// error. Served from 127.0.0.1 and opened from disk.
//
// Environment: QUORVEL_SITE (the built site), QUORVEL_NODE_MODULES (from
// web/package-lock.json), QUORVEL_V2GEN (the native executable),
// QUORVEL_BROWSER ('chrome' or 'firefox') and QUORVEL_BROWSER_PATH, and
// QUORVEL_SCREENSHOT (where the picture of a finished run goes, if set).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launchBrowser, pattern, requireFrom, serveSite, usualInputs, writeFolder } from './harness.mjs';

const env = (name) => {
  const value = process.env[name];
  if (!value) throw new Error(name + ' is not set');
  return value;
};
const site = path.resolve(env('QUORVEL_SITE'));
const native = path.resolve(env('QUORVEL_V2GEN'));
const require = requireFrom(env('QUORVEL_NODE_MODULES'));
const puppeteer = require('puppeteer-core');
const fflate = require('fflate');

const BANNER_JA = 'このプログラムは、Quorvel V1用のファイルから、V2に必要なファイルを作り出すプログラムです';
const LIMIT = 64 * 1024 * 1024;
const KIND = env('QUORVEL_BROWSER');

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvel-page-'));

// The native executable's locale for a browser's language: the page's tool
// speaks the page's language.
function localeEnvironment(locale) {
  const environment = { ...process.env };
  for (const name of ['LANGUAGE', 'LC_ALL', 'LC_MESSAGES', 'LC_CTYPE', 'LANG']) delete environment[name];
  if (locale.startsWith('ja')) environment.LANG = 'ja_JP.UTF-8';
  else environment.LC_ALL = 'C';
  return environment;
}

// What the native executable does with these inputs: status, console, images.
function runNative(inputs, args, locale = 'en-US') {
  const dir = fs.mkdtempSync(path.join(scratch, 'native-'));
  for (const [name, bytes] of Object.entries(inputs)) fs.writeFileSync(path.join(dir, name), bytes);
  const ran = spawnSync(native, args, { cwd: dir, timeout: 60000, env: localeEnvironment(locale) });
  const images = {};
  for (const name of fs.readdirSync(dir)) {
    if (!(name in inputs)) images[name] = fs.readFileSync(path.join(dir, name));
  }
  return {
    status: ran.status,
    out: new TextDecoder('shift_jis').decode(ran.stdout),
    err: ran.stderr.toString('utf8'),
    images,
  };
}

// ---- Checksums, worked out here apart from the page -------------------------------

const CRC_TABLE = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let crc = 0xffffffff;
  for (const byte of bytes) crc = CRC_TABLE[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  return ((crc ^ 0xffffffff) >>> 0).toString(16).padStart(8, '0');
}

function checksums(bytes) {
  return {
    crc32: crc32(bytes),
    md5: crypto.createHash('md5').update(bytes).digest('hex'),
    sha1: crypto.createHash('sha1').update(bytes).digest('hex'),
  };
}

// The checksums that the page shows for each input and each image, once worked out.
async function shownChecksums(page) {
  await page.waitForFunction(() => document.querySelectorAll('dl.checksums[data-pending]').length === 0);
  return page.evaluate(() => {
    const sums = (list) => Object.fromEntries([...list.querySelectorAll('code')].map((code) => [code.dataset.kind, code.textContent]));
    const inputs = {};
    for (const row of document.querySelectorAll('#chosen tbody tr')) {
      const list = row.querySelector('dl.checksums');
      if (list) inputs[row.cells[0].textContent] = sums(list);
    }
    const images = {};
    for (const item of document.querySelectorAll('#images li')) images[item.querySelector('a').textContent] = sums(item.querySelector('dl.checksums'));
    return { inputs, images };
  });
}

// Every input and every image shows the checksums of its bytes.
async function expectChecksums(page, inputs, images) {
  const shown = await shownChecksums(page);
  const expected = (files) => Object.fromEntries(Object.entries(files).map(([name, bytes]) => [name, checksums(bytes)]));
  assert.deepEqual(shown.inputs, expected(inputs));
  assert.deepEqual(shown.images, expected(images));
}

// ---- The browser and the two ways to open the page ----------------------------

// One browser for each language, started when first needed.
const browsers = new Map();
let server;

function browserFor(locale) {
  if (!browsers.has(locale)) browsers.set(locale, launchBrowser(puppeteer, KIND, env('QUORVEL_BROWSER_PATH'), locale));
  return browsers.get(locale);
}

before(async () => {
  server = await serveSite(site);
});

after(async () => {
  for (const browser of browsers.values()) await (await browser).close();
  if (server) server.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

const WAYS = [
  { name: 'served', url: () => server.url, base: () => server.url },
  { name: 'from disk', url: () => pathToFileURL(path.join(site, 'index.html')).href, base: () => pathToFileURL(site).href + '/' },
];

// Opens the page; every request and every console error is recorded, so
// that a case can fail on anything that leaves the page's own files. What
// the page saves lands in a folder of the case's own. Each case has a context
// of its own, unless it needs the browser's default one (Chromium offers no
// installation in the others).
async function open(way, locale = 'en-US', { defaultContext = false, prepare, expectedErrors = null } = {}) {
  const downloads = fs.mkdtempSync(path.join(scratch, 'downloads-'));
  const browser = await browserFor(locale);
  const context = defaultContext ? browser.defaultBrowserContext()
    : await browser.createBrowserContext({ downloadBehavior: { policy: 'allow', downloadPath: downloads } });
  const page = await context.newPage();
  const requests = [];
  const errors = [];
  page.on('request', (request) => requests.push(request.url()));
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('pageerror', (error) => errors.push(error.message));
  if (prepare) await prepare(page);
  await page.goto(way.url());
  page.downloads = downloads;
  return {
    page,
    async close() {
      await (defaultContext ? page.close() : context.close());
      const base = way.base();
      const foreign = requests.filter((url) => !url.startsWith(base) && !url.startsWith('data:') && !url.startsWith('blob:'));
      assert.deepEqual(foreign, [], 'requests outside the page');
      assert.deepEqual(errors.filter((error) => !(expectedErrors && expectedErrors.test(error))), [], 'errors in the console');
    },
  };
}

const text = (page, selector) => page.$eval(selector, (element) => element.textContent);
const hidden = (page, selector) => page.$eval(selector, (element) => element.closest('[hidden]') !== null);

// Saves through a click (or a key press) and returns the one file that
// arrives, once the browser has finished writing it.
async function save(page, act) {
  for (const name of fs.readdirSync(page.downloads)) fs.rmSync(path.join(page.downloads, name));
  await act();
  let last = null;
  for (let i = 0; i < 300; i++) {
    const names = fs.readdirSync(page.downloads);
    if (names.length === 1 && !/\.(crdownload|part)$/.test(names[0])) {
      // Firefox makes the file before it fills it, and may write it under
      // another name first and then rename it: a file counts once it is
      // there, not empty, with the same name and size at two looks.
      let bytes = null;
      try {
        bytes = fs.readFileSync(path.join(page.downloads, names[0]));
      } catch (error) {
        if (error.code !== 'ENOENT') throw error;
      }
      if (bytes && bytes.length > 0 && last && last.name === names[0] && last.bytes.equals(bytes)) return last;
      last = bytes && { name: names[0], bytes };
    }
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  assert.fail('nothing was saved: ' + fs.readdirSync(page.downloads).join(', '));
}

// Run is disabled while the page reads what was picked.
async function picked(page) {
  await page.waitForSelector('#run:enabled');
}

async function pickPaths(page, selector, paths) {
  const input = await page.$(selector);
  await input.uploadFile(...paths);
  await picked(page);
}

async function pickFiles(page, files) {
  const dir = writeFolder(scratch, files);
  await pickPaths(page, '#files', Object.keys(files).map((name) => path.join(dir, name)));
}

// The checksums fill their rows in the background and move the buttons
// below them: a click waits until they are there, as a person's eye would.
async function run(page, compatible = false) {
  await page.waitForFunction(() => document.querySelectorAll('#chosen dl.checksums[data-pending]').length === 0);
  if (compatible) await page.click('#compatible');
  await page.click('#run');
  await page.waitForFunction(() => {
    const outcome = document.getElementById('outcome');
    return outcome.classList.contains('succeeded') || outcome.classList.contains('failed');
  });
}

// The page's console matches the native run's, line for line.
async function expectConsole(page, expected) {
  assert.equal(await text(page, '#stdout'), expected.out);
  const shown = await page.$$eval('#stderr li', (items) => items.map((item) => [item.className, item.textContent]));
  const lines = expected.err.split('\n').filter((line) => line !== '');
  assert.deepEqual(shown, lines.map((line) => [/^quorvel-v2gen: (warning|警告): /.test(line) ? 'warning' : 'diagnostic', line]));
}

// Each image offered, and the zip of all of them, hold the native bytes.
async function expectImages(page, expected) {
  const names = await page.$$eval('#images a', (links) => links.map((link) => link.textContent));
  assert.deepEqual([...names].sort(), Object.keys(expected.images).sort());
  for (let i = 0; i < names.length; i++) {
    const saved = await save(page, () => page.click(`#images li:nth-child(${i + 1}) a`));
    assert.equal(saved.name, names[i]);
    assert.ok(saved.bytes.equals(expected.images[saved.name]), saved.name + ' differs from the native image');
  }
  const zip = await save(page, () => page.click('#save-all'));
  assert.equal(zip.name, 'quorvel-v2-images.zip');
  const unzipped = fflate.unzipSync(new Uint8Array(zip.bytes));
  assert.deepEqual(Object.keys(unzipped).sort(), Object.keys(expected.images).sort());
  for (const [name, bytes] of Object.entries(unzipped)) {
    assert.ok(Buffer.from(bytes).equals(expected.images[name]), name + ' in the zip differs from the native image');
  }
}

async function expectNothingOffered(page) {
  assert.equal(await hidden(page, '#save-section'), true);
  assert.equal((await page.$$('#images a')).length, 0);
}

// Run refuses while a problem stands, and nothing is offered.
async function expectRunRefused(page, locale = 'en-US') {
  await page.click('#run');
  const fixFirst = locale === 'ja-JP' ? '実行する前に上の問題を直してください。' : 'Fix the problems above before running.';
  assert.equal(await text(page, '#outcome'), fixFirst);
  assert.equal(await hidden(page, '#console-section'), true);
  await expectNothingOffered(page);
}

async function problems(page) {
  return page.$$eval('#problems li', (items) => items.map((item) => item.textContent));
}

async function missing(page) {
  return page.$$eval('#chosen tr.missing td:first-child', (cells) => cells.map((cell) => cell.textContent));
}

// ---- Zips made here, sound or broken on purpose -----------------------------------

// entries: name -> bytes; level 0 stores them, 6 deflates them.
function zipOf(entries, level = 6) {
  return Buffer.from(fflate.zipSync(Object.fromEntries(Object.entries(entries).map(([name, bytes]) => [name, [new Uint8Array(bytes), { level }]]))));
}

// Where one entry's local and central headers start.
function headersOf(zip, name) {
  const view = new DataView(zip.buffer, zip.byteOffset, zip.length);
  const end = zip.length - 22;
  const count = view.getUint16(end + 10, true);
  let central = view.getUint32(end + 16, true);
  for (let i = 0; i < count; i++) {
    const nameLength = view.getUint16(central + 28, true);
    const entry = zip.subarray(central + 46, central + 46 + nameLength).toString('latin1');
    if (entry === name) return { view, local: view.getUint32(central + 42, true), central };
    central += 46 + nameLength + view.getUint16(central + 30, true) + view.getUint16(central + 32, true);
  }
  throw new Error(name + ' is not in the zip');
}

// One bit of the entry's stored data flipped, as a bad sector would.
function flipDataBit(zip, name) {
  const { view, local } = headersOf(zip, name);
  const data = local + 30 + view.getUint16(local + 26, true) + view.getUint16(local + 28, true);
  zip[data + 100] ^= 0x10;
  return zip;
}

// The CRC-32 that both headers record changed, so the data no longer matches it.
function breakChecksum(zip, name) {
  const { view, local, central } = headersOf(zip, name);
  view.setUint32(local + 14, view.getUint32(local + 14, true) ^ 1, true);
  view.setUint32(central + 16, view.getUint32(central + 16, true) ^ 1, true);
  return zip;
}

// The general-purpose flag's bit 0: the entry is encrypted.
function markEncrypted(zip, name) {
  const { view, local, central } = headersOf(zip, name);
  view.setUint16(local + 6, view.getUint16(local + 6, true) | 1, true);
  view.setUint16(central + 8, view.getUint16(central + 8, true) | 1, true);
  return zip;
}

// The compression method that both headers record, as a tool that the page
// does not know would write it.
function setMethod(zip, name, method) {
  const { view, local, central } = headersOf(zip, name);
  view.setUint16(local + 8, method, true);
  view.setUint16(central + 10, method, true);
  return zip;
}

function dumpsZip(inputs, folder = 'dumps/', level = 6) {
  const entries = { 'readme.txt': Buffer.from('dumps') };
  for (const [name, bytes] of Object.entries(lowerCase(inputs))) entries[folder + name] = bytes;
  return zipOf(entries, level);
}

// ---- The cases ------------------------------------------------------------------

// A successful run from the given pick, against the native run on inputs
// with their proper names.
function succeeds(name, { pick, inputs = usualInputs(), compatible = false, outcome = /^Done: every image is written/, check, skip, locale }) {
  return {
    name,
    skip,
    locale,
    async run(page) {
      await pick(page, inputs);
      await run(page, compatible);
      const expected = runNative(inputs, compatible ? ['-compatiblerom'] : [], locale);
      assert.equal(expected.status, 0);
      assert.match(await text(page, '#outcome'), outcome);
      await expectConsole(page, expected);
      await expectImages(page, expected);
      await expectChecksums(page, inputs, expected.images);
      if (check) await check(page, expected);
    },
  };
}

// A pick that the page refuses before running, with these problems and these names left unchosen.
function refused(name, { pick, problems: expected, unchosen, locale }) {
  return {
    name,
    locale,
    async run(page) {
      await pick(page);
      assert.deepEqual(await problems(page), expected);
      assert.deepEqual(await missing(page), unchosen);
      await expectRunRefused(page, locale);
    },
  };
}

const lowerCase = (inputs) => Object.fromEntries(Object.entries(inputs).map(([name, bytes]) => [name.toLowerCase(), bytes]));
const pickZip = (page, name, bytes) => pickFiles(page, { [name]: bytes });

const CASES = [
  succeeds('usual inputs', {
    pick: (page, inputs) => pickFiles(page, inputs),
    async check(page) {
      assert.ok((await text(page, '#stdout')).includes(BANNER_JA), 'the Japanese line is shown as Japanese');
      // One click copies a figure (or, where the browser refuses the
      // clipboard, selects it), and a screen reader is told which.
      await page.click('#chosen tbody tr:first-child dl.checksums button');
      await page.waitForFunction(() => document.getElementById('copied').textContent !== '');
      assert.match(await text(page, '#copied'), /^The CRC-32 of SUBSYS_C\.ROM is (copied|selected)/);
      assert.equal(await page.$eval('#copied', (status) => status.getAttribute('role')), 'status');
    },
  }),
  succeeds('compatible mode', { pick: (page, inputs) => pickFiles(page, inputs), compatible: true }),
  succeeds('lower-case names', { pick: (page, inputs) => pickFiles(page, lowerCase(inputs)) }),
  succeeds('a folder with other files in it', {
    // Firefox's WebDriver BiDi sets files on an input, never a folder.
    skip: KIND === 'firefox' ? 'the browser driver cannot pick a folder in Firefox' : undefined,
    async pick(page, inputs) {
      const dir = writeFolder(scratch, { ...inputs, 'notes.txt': 'not a dump', 'SUBSYSCG.ROM': 'an old image' });
      await pickPaths(page, '#folder', [dir]);
    },
  }),
  succeeds('files dropped on the page', {
    async pick(page, inputs) {
      const files = Object.entries(inputs).map(([name, bytes]) => [name, [...bytes]]);
      await page.evaluate((list) => {
        const transfer = new DataTransfer();
        for (const [name, bytes] of list) transfer.items.add(new File([new Uint8Array(bytes)], name));
        document.getElementById('drop').dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
      }, files);
      await page.waitForFunction(() => document.querySelectorAll('#chosen tr.missing').length === 0);
      await picked(page);
    },
  }),
  succeeds('a zip of the dumps', { pick: (page, inputs) => pickZip(page, 'quorvel-v1.zip', dumpsZip(inputs)) }),
  succeeds('a zip of stored dumps, with backslashes in the names as Windows writes them', {
    pick: (page, inputs) => pickZip(page, 'quorvel-v1.zip', dumpsZip(inputs, 'My Dumps\\', 0)),
  }),
  succeeds('a short boot image: its warning is shown, and the outcome says so', {
    inputs: { ...usualInputs(), 'BOOT_BAS.ROM': pattern(300, 3) },
    pick: (page, inputs) => pickFiles(page, inputs),
    outcome: /^Done, with 1 warning: the images are written, but the dump named below looks wrong/,
    async check(page) {
      assert.equal(await text(page, '#stderr li.warning'),
        'quorvel-v2gen: warning: BOOT_BAS.ROM: 300 bytes, expected at least 512; the missing 212 bytes are written as 0xFF');
      assert.equal(await page.$eval('#outcome', (outcome) => outcome.className), 'outcome succeeded warned');
    },
  }),
  // In Japanese the tool speaks Japanese, and the page still counts the
  // warnings, colours them and names the files to fix.
  succeeds('in Japanese: two warnings in Japanese, counted in the outcome', {
    locale: 'ja-JP',
    inputs: { ...usualInputs(), 'BOOT_BAS.ROM': pattern(300, 3), 'INITIATE.BIN': Buffer.alloc(4000, 0xff) },
    pick: (page, inputs) => pickFiles(page, inputs),
    outcome: /^完了（警告 2 件）/,
    async check(page) {
      assert.deepEqual(await page.$$eval('#stderr li.warning', (items) => items.map((item) => item.textContent)), [
        'quorvel-v2gen: 警告: INITIATE.BIN: オフセット 0 から 3999 までがすべて 0xFF です。ROM を正しく読み出せていないようです。吸い出し直してください',
        'quorvel-v2gen: 警告: BOOT_BAS.ROM: 300 バイトですが、512 バイト以上あるはずです。足りない 212 バイトは 0xFF で埋めます',
      ]);
      assert.equal(await page.$eval('#outcome', (outcome) => outcome.className), 'outcome succeeded warned');
    },
  }),
  ...[['en-US', /^Error: .*choose BOOT_DOS\.ROM again/, 'quorvel-v2gen: BOOT_DOS.ROM: cannot open for reading: No such file or directory'],
    ['ja-JP', /^エラー：.*BOOT_DOS\.ROM を選び直して/, 'quorvel-v2gen: BOOT_DOS.ROM: 読み込み用に開けません: そのようなファイルやディレクトリはありません'],
  ].map(([locale, outcome, diagnostic]) => ({
    name: 'a missing input: the tool says which, and nothing is offered, ' + locale,
    locale,
    async run(page) {
      const inputs = usualInputs();
      delete inputs['BOOT_DOS.ROM'];
      await pickFiles(page, inputs);
      await run(page);
      const expected = runNative(inputs, [], locale);
      assert.equal(expected.status, 1);
      assert.equal(expected.err, diagnostic + '\n');
      await expectConsole(page, expected);
      assert.match(await text(page, '#outcome'), outcome);
      await expectNothingOffered(page);
    },
  })),
  refused('two files for one name', {
    pick: (page) => pickFiles(page, { ...usualInputs(), 'subsys_c.rom': pattern(10240, 7) }),
    problems: ['2 files match SUBSYS_C.ROM: SUBSYS_C.ROM and subsys_c.rom. Keep one of them.'],
    unchosen: ['SUBSYS_C.ROM'],
  }),
  refused('many entries for one name in a zip', {
    pick(page) {
      const entries = {};
      for (const [name, bytes] of Object.entries(usualInputs())) entries['a/' + name] = bytes;
      for (const folder of ['b', 'c']) entries[folder + '/SUBSYS_C.ROM'] = pattern(10240, 5);
      for (const folder of ['b', 'c', 'd', 'e', 'f', 'g']) entries[folder + '/boot_dos.rom'] = pattern(512, 6);
      return pickZip(page, 'machines.zip', zipOf(entries));
    },
    problems: [
      '3 files match SUBSYS_C.ROM: machines.zip/a/SUBSYS_C.ROM, machines.zip/b/SUBSYS_C.ROM and machines.zip/c/SUBSYS_C.ROM. Keep one of them.',
      '7 files match BOOT_DOS.ROM: machines.zip/a/BOOT_DOS.ROM, machines.zip/b/boot_dos.rom, machines.zip/c/boot_dos.rom and 4 more. Keep one of them.',
    ],
    unchosen: ['SUBSYS_C.ROM', 'BOOT_DOS.ROM'],
  }),
  refused('a stored entry with a flipped bit', {
    pick: (page) => pickZip(page, 'quorvel-v1.zip', flipDataBit(dumpsZip(usualInputs(), 'dumps/', 0), 'dumps/subsys_c.rom')),
    problems: ['quorvel-v1.zip/dumps/subsys_c.rom is damaged: its data does not match its checksum; make the .zip again from the dumps.'],
    unchosen: ['SUBSYS_C.ROM'],
  }),
  refused('a deflated entry whose checksum does not match', {
    pick: (page) => pickZip(page, 'quorvel-v1.zip', breakChecksum(dumpsZip(usualInputs()), 'dumps/boot_bas.rom')),
    problems: ['quorvel-v1.zip/dumps/boot_bas.rom is damaged: its data does not match its checksum; make the .zip again from the dumps.'],
    unchosen: ['BOOT_BAS.ROM'],
  }),
  // The page's own words around the method, in Japanese too; the number alone where it has no name.
  refused('an entry compressed with an unknown method, in Japanese', {
    locale: 'ja-JP',
    pick: (page) => pickZip(page, 'quorvel-v1.zip', setMethod(dumpsZip(usualInputs(), 'dumps/', 0), 'dumps/initiate.bin', 99)),
    problems: ['quorvel-v1.zip/dumps/initiate.bin は圧縮方式 99 で圧縮されていて、このページでは読めません。展開してファイルを選ぶか、標準の圧縮方式（Deflate）で .zip を作り直してください。'],
    unchosen: ['INITIATE.BIN'],
  }),
  refused('an encrypted entry', {
    pick: (page) => pickZip(page, 'quorvel-v1.zip', markEncrypted(dumpsZip(usualInputs(), 'dumps/', 0), 'dumps/initiate.bin')),
    problems: ['quorvel-v1.zip/dumps/initiate.bin is encrypted: unpack it with its password and choose the files.'],
    unchosen: ['INITIATE.BIN'],
  }),
  {
    name: 'a refused entry voids an earlier choice of its name',
    async run(page) {
      await pickFiles(page, usualInputs());
      await pickZip(page, 'quorvel-v1.zip', breakChecksum(dumpsZip(usualInputs()), 'dumps/subsys_c.rom'));
      assert.deepEqual(await missing(page), ['SUBSYS_C.ROM']);
      await expectRunRefused(page);
    },
  },
  {
    name: 'an input over the limit is refused before running',
    async run(page) {
      const inputs = usualInputs();
      delete inputs['INITIATE.BIN'];
      await pickFiles(page, inputs);
      await pickFiles(page, { 'INITIATE.BIN': Buffer.alloc(LIMIT + 1) });
      const shown = await problems(page);
      assert.equal(shown.length, 1);
      assert.match(shown[0], /^INITIATE\.BIN is 67,108,865 bytes, more than this page holds .*Use the quorvel-v2gen command/);
      await expectRunRefused(page);
    },
  },
];

for (const way of WAYS) {
  for (const c of CASES) {
    test(way.name + ': ' + c.name, { skip: c.skip }, async () => {
      const { page, close } = await open(way, c.locale);
      await c.run(page);
      await close();
    });
  }
}

test('served: in Japanese, with the keyboard alone, every control labelled', async () => {
  const { page, close } = await open(WAYS[0], 'ja-JP');
  assert.equal(await text(page, 'h1'), 'Quorvel V1 用のファイルから V2 用の ROM イメージを作る');
  const unlabelled = await page.$$eval('input', (inputs) => inputs.filter((input) => input.labels.length === 0).map((input) => input.id));
  assert.deepEqual(unlabelled, []);

  // Tab to the drop zone, Enter opens the file chooser; then Tab to Run.
  const tabTo = async (id) => {
    for (let i = 0; i < 30; i++) {
      await page.keyboard.press('Tab');
      if (await page.evaluate((want) => document.activeElement && document.activeElement.id === want, id)) return;
    }
    assert.fail('Tab never reaches #' + id);
  };
  // Enter on the drop zone opens the file chooser: the click on the file
  // input is caught here, since a real chooser would wait for a person. The
  // files are then set as a chooser would.
  await page.evaluate(() => {
    document.getElementById('files').addEventListener('click', (event) => {
      event.preventDefault();
      document.body.dataset.chooserOpened = 'yes';
    }, { once: true });
  });
  await tabTo('drop');
  await page.keyboard.press('Enter');
  await page.waitForSelector('body[data-chooser-opened="yes"]');
  const inputs = usualInputs();
  await pickFiles(page, inputs);
  assert.deepEqual(await missing(page), []);
  await tabTo('run');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.getElementById('outcome').classList.contains('succeeded'));
  assert.match(await text(page, '#outcome'), /^完了/);
  const expected = runNative(inputs, []);
  await tabTo('save-all');
  const saved = await save(page, () => page.keyboard.press('Enter'));
  const unzipped = fflate.unzipSync(new Uint8Array(saved.bytes));
  for (const [name, bytes] of Object.entries(expected.images)) assert.ok(Buffer.from(unzipped[name]).equals(bytes), name);
  await close();
});

// A phone: nothing may need sideways scrolling, neither after a run with a
// warning (long names in the table, the console, the images) nor with a
// refused entry's message.
for (const locale of ['en-US', 'ja-JP']) {
  test('served: no sideways scrolling on a phone, ' + locale, async () => {
    const { page, close } = await open(WAYS[0], locale);
    const fits = async (state) => {
      for (const width of [320, 360, 390]) {
        await page.setViewport({ width, height: 700 });
        const [inner, scroll] = await page.evaluate(() => [window.innerWidth, document.documentElement.scrollWidth]);
        assert.ok(scroll <= inner, `${state}: ${scroll} px wide in a ${inner} px window`);
      }
      // At 390 px no file name, size or heading of the table or the images
      // is broken over two lines (only checksums and paths may break).
      const broken = await page.evaluate(() => {
        const lines = (element) => {
          const range = document.createRange();
          range.selectNodeContents(element);
          return new Set([...range.getClientRects()].map((rect) => Math.round(rect.top))).size;
        };
        const whole = '#chosen :is(th, td):is(:nth-child(1), :nth-child(3)), #images li > a, #images .size';
        return [...document.querySelectorAll(whole)].filter((element) => element.textContent && lines(element) > 1).map((element) => element.textContent);
      });
      assert.deepEqual(broken, [], state + ': broken at 390 px');
    };
    await fits('the page as opened');
    const inputs = { ...usualInputs(), 'BOOT_BAS.ROM': pattern(300, 3) };
    await pickZip(page, 'quorvel-v1-dumps-from-the-machine-in-the-attic.zip', dumpsZip(inputs, 'a-rather-long-folder-name-without-any-spaces/'));
    await run(page);
    await fits('after a run');
    await pickZip(page, 'quorvel-v1.zip', markEncrypted(dumpsZip(inputs, 'dumps/', 0), 'dumps/initiate.bin'));
    await fits('with a refused entry');
    await close();
  });
}

// The pictures of the READMEs: the English page, and the Japanese one beside
// it (QUORVEL_SCREENSHOT with ".ja" before its ".png").
for (const locale of ['en-US', 'ja-JP']) {
  test('served: the picture of a finished run, ' + locale, async () => {
    const { page, close } = await open(WAYS[0], locale);
    await page.setViewport({ width: 900, height: 800 });
    await pickFiles(page, usualInputs());
    await run(page);
    const screenshot = process.env.QUORVEL_SCREENSHOT;
    if (screenshot) await page.screenshot({ path: locale === 'ja-JP' ? screenshot.replace(/\.png$/, '.ja.png') : screenshot, fullPage: true });
    await close();
  });
}

// ---- Offline and installed: Chromium, served ------------------------------------

const chromiumOnly = KIND === 'chrome' ? undefined : 'the installability check and the offline cases use the DevTools protocol of Chromium';

// A copy of the site, changed by change(folder) and then given its service
// worker afresh by the build's own script, as a new build of it would be.
function siteCopy(change) {
  const dir = fs.mkdtempSync(path.join(scratch, 'site-'));
  fs.cpSync(site, dir, { recursive: true });
  if (change) {
    change(dir);
    const version = /quorvel-v2gen-([0-9.]+)-/.exec(fs.readFileSync(path.join(site, 'service-worker.js'), 'utf8'))[1];
    const source = env('QUORVEL_SOURCE_DIR');
    const made = spawnSync(env('QUORVEL_CMAKE'), ['-DSITE=' + dir, '-DVERSION=' + version,
      '-DTEMPLATE=' + path.join(source, 'web/service-worker.js.in'), '-P', path.join(source, 'cmake/QuorvelServiceWorker.cmake')]);
    assert.equal(made.status, 0, made.stderr.toString());
  }
  return dir;
}

const cacheOf = (dir) => /const CACHE = '([^']+)'/.exec(fs.readFileSync(path.join(dir, 'service-worker.js'), 'utf8'))[1];

// Opens a site of the test's own, served, and waits until its worker keeps it.
async function openKept(own, locale, options) {
  const opened = await open({ url: () => own.url, base: () => own.url }, locale, options);
  await opened.page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  return opened;
}

test('served: after one visit the page opens and runs with the network gone', { skip: chromiumOnly }, async (t) => {
  const own = await serveSite(siteCopy());
  t.after(() => own.close());
  const { page, close } = await openKept(own);
  await own.close();
  await page.reload();
  assert.equal(await text(page, 'h1'), 'Quorvel V2 ROM images from the V1 files');
  const inputs = usualInputs();
  await pickFiles(page, inputs);
  await run(page);
  const expected = runNative(inputs, []);
  assert.match(await text(page, '#outcome'), /^Done: every image is written/);
  await expectImages(page, expected);
  await expectChecksums(page, inputs, expected.images);
  await close();
});

test('served: a new build is taken whole by a reload, and the old files are dropped', { skip: chromiumOnly }, async (t) => {
  const TITLE = 'Quorvel V2 ROM images from the V1 files, a new build';
  const first = siteCopy();
  const second = siteCopy((dir) => {
    const index = path.join(dir, 'index.html');
    fs.writeFileSync(index, fs.readFileSync(index, 'utf8').replace('>Quorvel V2 ROM images from the V1 files</h1>', `>${TITLE}</h1>`));
  });
  let root = first;
  const own = await serveSite(() => root);
  t.after(() => own.close());
  const { page, close } = await openKept(own);
  assert.deepEqual(await page.evaluate(() => caches.keys()), [cacheOf(first)]);
  root = second;
  // The page finds the new worker, hands over to it while idle and reloads itself.
  await page.reload();
  await page.waitForFunction((title) => document.querySelector('h1').textContent === title, { timeout: 30000 }, TITLE);
  await page.waitForFunction((cache) => caches.keys().then((keys) => keys.length === 1 && keys[0] === cache), {}, cacheOf(second));
  // And it runs from the new build's files alone, with the network gone.
  await own.close();
  await page.reload();
  assert.equal(await text(page, 'h1'), TITLE);
  const inputs = usualInputs();
  await pickFiles(page, inputs);
  await run(page);
  await expectImages(page, runNative(inputs, []));
  await close();
});

// ---- The folder of the dumps, written into (Chromium) ------------------------------

// In Chromium the folder picker is answered by a folder "dumps" of the page's
// own private file system, filled with the case's files (a name ending in "/"
// is a folder); permission, where given, is what the browser answers when the
// page asks to write. Firefox has no such picker, and offers no such choice.
const writableFolder = KIND === 'chrome' ? undefined : 'Firefox lets no page write into a folder that the user picks';

function answerPicker(permission) {
  window.showDirectoryPicker = async () => {
    const folder = await (await navigator.storage.getDirectory()).getDirectoryHandle('dumps', { create: true });
    if (permission) {
      folder.queryPermission = async () => permission;
      folder.requestPermission = async () => permission;
    }
    return folder;
  };
}

async function fillFolder(page, files) {
  const entries = Object.entries(files).map(([name, bytes]) => [name, bytes && [...bytes]]);
  await page.evaluate(async (list) => {
    const folder = await (await navigator.storage.getDirectory()).getDirectoryHandle('dumps', { create: true });
    for (const [name, bytes] of list) {
      if (name.endsWith('/')) {
        await folder.getDirectoryHandle(name.slice(0, -1), { create: true });
        continue;
      }
      const writable = await (await folder.getFileHandle(name, { create: true })).createWritable();
      await writable.write(new Uint8Array(bytes));
      await writable.close();
    }
  }, entries);
}

// The folder as it is now: name -> bytes, or null for a folder.
async function folderNow(page) {
  const entries = await page.evaluate(async () => {
    const folder = await (await navigator.storage.getDirectory()).getDirectoryHandle('dumps');
    const found = [];
    for await (const entry of folder.values()) {
      found.push([entry.name + (entry.kind === 'directory' ? '/' : ''), entry.kind === 'file' ? [...new Uint8Array(await (await entry.getFile()).arrayBuffer())] : null]);
    }
    return found;
  });
  return Object.fromEntries(entries.map(([name, bytes]) => [name, bytes && Buffer.from(bytes)]));
}

// The same files in a folder of their own after the native command has run
// there (with its images of a run on inputs where given): what the page must
// leave in the folder it writes into.
function nativeFolder(files, args, inputs) {
  const dir = fs.mkdtempSync(path.join(scratch, 'native-folder-'));
  for (const [name, bytes] of Object.entries(files)) {
    if (name.endsWith('/')) fs.mkdirSync(path.join(dir, name));
    else fs.writeFileSync(path.join(dir, name), bytes);
  }
  const ran = spawnSync(native, args, { cwd: dir, timeout: 60000, env: localeEnvironment('en-US') });
  const result = {};
  for (const name of fs.readdirSync(dir).sort()) {
    const full = path.join(dir, name);
    result[fs.statSync(full).isDirectory() ? name + '/' : name] = fs.statSync(full).isDirectory() ? null : fs.readFileSync(full);
  }
  // Where the native run fails (a folder in an image's place), the page's
  // other images are still written: they are the native images of the inputs.
  if (inputs && ran.status !== 0) {
    for (const [name, bytes] of Object.entries(runNative(inputs, args).images)) if (!(name + '/' in result) && !(name in result)) result[name] = bytes;
  }
  return result;
}

// The dumps in mixed case, an old image in lower case, and a file of the user's.
function mixedCaseFolder(inputs = usualInputs()) {
  return {
    'subsys_c.rom': inputs['SUBSYS_C.ROM'],
    'Initiate.bin': inputs['INITIATE.BIN'],
    'BOOT_BAS.ROM': inputs['BOOT_BAS.ROM'],
    'boot_dos.ROM': inputs['BOOT_DOS.ROM'],
    'subsyscg.rom': Buffer.from('an old image'),
    'notes.txt': Buffer.from('my dumps'),
  };
}

const WRITTEN = {
  'en-US': {
    all: 'Written into the folder “dumps”: subsyscg.rom, SUBSYS_A.ROM, SUBSYS_B.ROM and INITIATE.ROM.',
    two: 'Written into the folder “dumps”: subsyscg.rom and INITIATE.ROM.',
    three: 'Written into the folder “dumps”: SUBSYSCG.ROM, SUBSYS_B.ROM and INITIATE.ROM.',
    denied: (image) => image + ' was not written into the folder “dumps”: the browser may not write there. Save it below.',
    folderNamed: (image) => image + ' was not written into the folder “dumps”: a folder has that name. Save it below.',
    note: 'After Run, the images are written into the folder “dumps”.',
  },
  'ja-JP': {
    all: 'フォルダー「dumps」に書き出しました：subsyscg.rom、SUBSYS_A.ROM、SUBSYS_B.ROM、INITIATE.ROM。',
    two: 'フォルダー「dumps」に書き出しました：subsyscg.rom、INITIATE.ROM。',
    three: 'フォルダー「dumps」に書き出しました：SUBSYSCG.ROM、SUBSYS_B.ROM、INITIATE.ROM。',
    denied: (image) => image + ' をフォルダー「dumps」に書き出せませんでした（このフォルダーへの書き込みが許可されていません）。下の「3. V2 用のイメージを保存」から保存してください。',
    folderNamed: (image) => image + ' をフォルダー「dumps」に書き出せませんでした（同じ名前のフォルダーがあります）。下の「3. V2 用のイメージを保存」から保存してください。',
    note: '「実行」のあと、フォルダー「dumps」にイメージを書き出します。',
  },
};

const FOLDER_CASES = [
  {
    name: 'every image written beside the dumps, the old lower-case one replaced under its name',
    files: mixedCaseFolder(),
    written: 'all',
  },
  {
    name: 'compatible mode: two images, SUBSYS_A.ROM and SUBSYS_B.ROM untouched',
    files: { ...mixedCaseFolder(), 'SUBSYS_A.ROM': Buffer.from('old A'), 'SUBSYS_B.ROM': Buffer.from('old B') },
    compatible: true,
    written: 'two',
  },
  {
    name: 'write permission refused: nothing written, each image named and offered',
    files: mixedCaseFolder(),
    permission: 'denied',
    unchanged: true,
    failed: (lines) => ['SUBSYSCG.ROM', 'SUBSYS_A.ROM', 'SUBSYS_B.ROM', 'INITIATE.ROM'].map(lines.denied),
  },
  {
    name: 'an image\'s name taken by a folder: that image named and offered, the others written',
    files: { ...usualInputs(), 'SUBSYS_A.ROM/': null },
    inputs: usualInputs(),
    written: 'three',
    failed: (lines) => [lines.folderNamed('SUBSYS_A.ROM')],
  },
  {
    name: 'a failed run: nothing written',
    files: Object.fromEntries(Object.entries(mixedCaseFolder()).filter(([name]) => name !== 'boot_dos.ROM')),
    unchanged: true,
    runFails: true,
  },
];

for (const locale of Object.keys(WRITTEN)) {
  for (const c of FOLDER_CASES) {
    test('served, the folder of the dumps chosen to write into: ' + c.name + ', ' + locale, { skip: writableFolder }, async (t) => {
      const { page, close } = await open(WAYS[0], locale, { prepare: (p) => p.evaluateOnNewDocument(answerPicker, c.permission) });
      t.after(close);
      await fillFolder(page, c.files);
      const lines = WRITTEN[locale];
      await page.click('#folder-rw');
      await page.waitForFunction(() => document.querySelector('#chosen tbody tr:not(.missing)') !== null);
      await picked(page);
      assert.equal(await text(page, '#folder-note'), lines.note);
      await run(page, c.compatible);
      if (!c.runFails) await page.waitForFunction(() => !document.getElementById('written').hidden || !document.getElementById('write-failed').hidden);
      else assert.match(await page.$eval('#outcome', (element) => element.className), /failed/);
      const args = c.compatible ? ['-compatiblerom'] : [];
      const expected = c.unchanged ? c.files : nativeFolder(c.files, args, c.inputs);
      assert.deepEqual(await folderNow(page), expected);
      assert.equal(await hidden(page, '#written'), !c.written);
      if (c.written) assert.equal(await text(page, '#written'), lines[c.written]);
      const failed = await page.$$eval('#write-failed li', (items) => items.map((item) => item.textContent));
      assert.deepEqual(failed, c.failed ? c.failed(lines) : []);
      // Every image of a successful run is still offered for saving.
      const offered = await page.$$eval('#images a', (links) => links.length);
      assert.equal(offered, c.runFails ? 0 : c.compatible ? 2 : 4);
    });
  }
}

// A pick the old way after the folder, or a cleared choice, ends the writing:
// the images are downloads again, and the folder is left as it was.
test('served, the folder of the dumps chosen, then files picked the old way, or the choice cleared: nothing written', { skip: writableFolder }, async (t) => {
  const { page, close } = await open(WAYS[0], 'en-US', { prepare: (p) => p.evaluateOnNewDocument(answerPicker) });
  t.after(close);
  const files = mixedCaseFolder();
  await fillFolder(page, files);
  for (const then of ['files', 'clear']) {
    await page.click('#folder-rw');
    await page.waitForSelector('#folder-note:not([hidden])');
    if (then === 'files') await pickFiles(page, usualInputs());
    else await page.click('#clear');
    assert.equal(await hidden(page, '#folder-note'), true, then);
    if (then === 'clear') await pickFiles(page, usualInputs());
    await run(page);
    assert.match(await text(page, '#outcome'), /^Done/);
    assert.equal(await hidden(page, '#written'), true, then);
    assert.deepEqual(await folderNow(page), files, then);
  }
});

test('the choice to write into the folder of the dumps is offered only where the browser allows it', async () => {
  for (const way of WAYS) {
    const { page, close } = await open(way);
    assert.equal(await hidden(page, '#folder-access'), KIND !== 'chrome');
    assert.equal(await hidden(page, '#downloads-hint'), false);
    await close();
  }
});

// ---- The first paint ---------------------------------------------------------------

// Run in every document before its own scripts: the sum of its layout shifts,
// where the browser reports them, and the page's words at the first visible
// frame that holds its whole body, kept for the whole tab (a redirect makes a
// new document).
function watchFirstPaint() {
  window.shifts = null;
  if (PerformanceObserver.supportedEntryTypes.includes('layout-shift')) {
    window.shifts = 0;
    new PerformanceObserver((list) => {
      for (const entry of list.getEntries()) if (!entry.hadRecentInput) window.shifts += entry.value;
    }).observe({ type: 'layout-shift', buffered: true });
  }
  // Everything that the page says, to the eye and to a screen reader.
  window.wordsOfPage = () => {
    const labels = [...document.querySelectorAll('[aria-label]')].map((element) => element.getAttribute('aria-label'));
    // What a script shows where the browser can do it (data-capability) is
    // left out: the page cannot know that before its scripts run.
    const shown = [...document.querySelectorAll('[data-capability]')].filter((element) => !element.hidden);
    for (const element of shown) element.hidden = true;
    const words = document.body.innerText;
    for (const element of shown) element.hidden = false;
    return { lang: document.documentElement.lang, title: document.title, h1: document.querySelector('h1').textContent, text: words, labels };
  };
  const look = () => {
    // Past the footer's end tag: a slow parser may paint a frame that ends within the footer.
    const footer = document.querySelector('footer');
    if (!footer || footer.nextSibling === null || getComputedStyle(document.body).visibility === 'hidden') {
      requestAnimationFrame(look);
      return;
    }
    if (sessionStorage.getItem('firstPaint') === null) sessionStorage.setItem('firstPaint', JSON.stringify(window.wordsOfPage()));
  };
  requestAnimationFrame(look);
}

const TITLES = { 'en-US': ['en', 'Quorvel V2 ROM images from the V1 files'], 'ja-JP': ['ja', 'Quorvel V1 用のファイルから V2 用の ROM イメージを作る'] };

for (const locale of Object.keys(TITLES)) {
  test('served with every script 150 ms late: the first paint is the final page, and its scripts are asked for at once, ' + locale, async (t) => {
    const slow = await serveSite(site, { scriptDelay: 150 });
    t.after(() => slow.close());
    const { page, close } = await open({ url: () => slow.url, base: () => slow.url }, locale, { prepare: (p) => p.evaluateOnNewDocument(watchFirstPaint) });
    t.after(close);
    await page.waitForFunction(() => document.readyState === 'complete' && sessionStorage.getItem('firstPaint') !== null);
    const [lang, title] = TITLES[locale];
    const first = JSON.parse(await page.evaluate(() => sessionStorage.getItem('firstPaint')));
    assert.equal(first.lang, lang);
    assert.equal(first.h1, title);
    // Once the deferred scripts have run, the page says just what it said at
    // its first paint: no word came later.
    await new Promise((resolve) => setTimeout(resolve, 500));
    assert.deepEqual(await page.evaluate(() => window.wordsOfPage()), first);
    const shifts = await page.evaluate(() => window.shifts);
    if (shifts !== null) assert.ok(shifts < 0.01, 'layout shifts add up to ' + shifts);
    // The scripts that the shown page names (the others come later, when
    // needed) are all asked for before the first of them arrives. The English
    // page sends a Japanese reader on when language.js has run: the Japanese
    // page's own scripts are those asked for after that.
    const shown = new URL(page.url()).pathname;
    // (The service worker fetches them all again later, to keep them.)
    const firstOf = (name, since = -Infinity) => slow.log.find((entry) => entry.path === name && entry.start > since);
    const left = firstOf('/language.js');
    const fromShown = shown.endsWith('index.ja.html') ? [firstOf('/page.js', left ? left.end : -Infinity)] : [firstOf('/page.js'), left];
    assert.ok(fromShown.every((entry) => entry), 'a script of ' + shown + ' was never asked for');
    const firstEnd = Math.min(...fromShown.map((entry) => entry.end ?? Infinity));
    for (const entry of fromShown) assert.ok(entry.start < firstEnd, entry.path + ' was asked for after another script had arrived');
  });
}

// The zip library comes only when "Save all" is pressed; a page that cannot
// get it then says so, in its language, and the images stay offered.
const SAVE_ALL_FAILED = {
  'en-US': 'The .zip could not be made (zip.js could not be loaded): save each image on its own above, or reload the page and try again.',
  'ja-JP': '.zip を作成できません（詳細：zip.js could not be loaded）。上のイメージを一つずつ保存するか、ページを再読み込みしてやり直してください。',
};
for (const [locale, message] of Object.entries(SAVE_ALL_FAILED)) {
  test('served without its zip library: "Save all" says it failed, and each image can still be saved, ' + locale, async (t) => {
    const own = await serveSite(siteCopy((dir) => fs.rmSync(path.join(dir, 'zip.js'))));
    t.after(() => own.close());
    const { page, close } = await open({ url: () => own.url, base: () => own.url }, locale, { expectedErrors: /404|zip\.js/ });
    t.after(close);
    const inputs = usualInputs();
    await pickFiles(page, inputs);
    await run(page);
    await page.click('#save-all');
    await page.waitForSelector('#save-failed:not([hidden])');
    assert.equal(await text(page, '#save-failed'), message);
    const expected = runNative(inputs, []);
    const saved = await save(page, () => page.click('#images li:nth-child(1) a'));
    assert.ok(saved.bytes.equals(expected.images[saved.name]), saved.name + ' differs from the native image');
  });
}

test('each page holds a description of its own, in its language', () => {
  for (const [file, lang] of [['index.html', 'en'], ['index.ja.html', 'ja']]) {
    const html = fs.readFileSync(path.join(site, file), 'utf8');
    assert.match(html, new RegExp(`<html lang="${lang}">`));
    const description = /<meta name="description" content="([^"]+)">/.exec(html);
    assert.ok(description && description[1].length > 40, file + ' has no description');
    assert.doesNotMatch(html, /@[A-Z]+@/, file + ' keeps a placeholder');
  }
});

for (const [locale, name] of [['en-US', 'quorvel-v2gen: Quorvel V2 ROM images from the V1 files'], ['ja-JP', 'quorvel-v2gen: Quorvel V1 用のファイルから V2 用の ROM イメージを作る']]) {
  test('served: installable as an app, named in the language of the page, ' + locale, { skip: chromiumOnly }, async () => {
    const { page, close } = await openKept(server, locale, { defaultContext: true });
    const session = await page.createCDPSession();
    let errors = [];
    for (let i = 0; i < 50; i++) {
      ({ installabilityErrors: errors } = await session.send('Page.getInstallabilityErrors'));
      if (errors.length === 0) break;
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    assert.deepEqual(errors, []);
    const { url, data } = await session.send('Page.getAppManifest');
    assert.ok(url.endsWith('manifest.' + locale.slice(0, 2) + '.webmanifest'), url);
    assert.equal(JSON.parse(data).name, name);
    await close();
  });
}
