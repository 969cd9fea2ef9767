// The page in headless Chromium, used as a person uses it: pick the dumps,
// run, save. Every image saved must hold the bytes that the native executable
// writes from the same inputs, and the page must ask for nothing but its own
// files and log no error. Served from 127.0.0.1 and opened from disk.
//
// Environment: QUORVEL_SITE (the built site), QUORVEL_NODE_MODULES (from
// web/package-lock.json), QUORVEL_V2GEN (the native executable),
// QUORVEL_CHROMIUM, and QUORVEL_SCREENSHOT (where the picture of a finished
// run goes).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launchChromium, pattern, requireFrom, serveSite, usualInputs } from './harness.mjs';

const env = (name) => {
  const value = process.env[name];
  if (!value) throw new Error(name + ' is not set');
  return value;
};
const site = path.resolve(env('QUORVEL_SITE'));
const native = path.resolve(env('QUORVEL_V2GEN'));
const require = requireFrom(env('QUORVEL_NODE_MODULES'));
const { chromium } = require('playwright-core');
const fflate = require('fflate');

const INPUTS = ['SUBSYS_C.ROM', 'INITIATE.BIN', 'BOOT_BAS.ROM', 'BOOT_DOS.ROM'];
const BANNER_JA = 'このプログラムは、Quorvel V1用のファイルから、V2に必要なファイルを作り出すプログラムです';
const LIMIT = 64 * 1024 * 1024;

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvel-page-'));

// What the native executable does with these inputs: status, console, images.
function runNative(inputs, args) {
  const dir = fs.mkdtempSync(path.join(scratch, 'native-'));
  for (const [name, bytes] of Object.entries(inputs)) fs.writeFileSync(path.join(dir, name), bytes);
  const run = spawnSync(native, args, { cwd: dir, timeout: 60000 });
  const images = {};
  for (const name of fs.readdirSync(dir)) {
    if (!(name in inputs)) images[name] = fs.readFileSync(path.join(dir, name));
  }
  return {
    status: run.status,
    out: new TextDecoder('shift_jis').decode(run.stdout),
    err: run.stderr.toString('latin1'),
    images,
  };
}

// ---- The browser and the two ways to open the page ----------------------------

let browser;
let server;

before(async () => {
  server = await serveSite(site);
  browser = await launchChromium(chromium, env('QUORVEL_CHROMIUM'));
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

const WAYS = [
  { name: 'served', url: () => server.url, base: () => server.url },
  { name: 'from disk', url: () => pathToFileURL(path.join(site, 'index.html')).href, base: () => pathToFileURL(site).href + '/' },
];

// Opens the page; every request and every console error is recorded, so
// that a case can fail on anything that leaves the page's own files.
async function open(way, locale = 'en-US') {
  const context = await browser.newContext({ acceptDownloads: true, locale });
  const page = await context.newPage();
  const requests = [];
  const errors = [];
  page.on('request', (request) => requests.push(request.url()));
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(way.url());
  return {
    page,
    async close() {
      await context.close();
      const base = way.base();
      const foreign = requests.filter((url) => !url.startsWith(base) && !url.startsWith('data:') && !url.startsWith('blob:'));
      assert.deepEqual(foreign, [], 'requests outside the page');
      assert.deepEqual(errors, [], 'errors in the console');
    },
  };
}

async function saveLink(page, locator) {
  const [download] = await Promise.all([page.waitForEvent('download'), locator.click()]);
  return { name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path()) };
}

// Run is disabled while the page reads what was picked.
async function picked(page) {
  await page.waitForSelector('#run:enabled');
}

async function pickFiles(page, files) {
  await page.setInputFiles('#files', Object.entries(files).map(([name, buffer]) => ({ name, mimeType: 'application/octet-stream', buffer })));
  await picked(page);
}

async function run(page, compatible = false) {
  if (compatible) await page.check('#compatible');
  await page.click('#run');
  await page.waitForFunction(() => {
    const outcome = document.getElementById('outcome');
    return outcome.classList.contains('succeeded') || outcome.classList.contains('failed');
  });
}

// The page's console matches the native run's, line for line.
async function expectConsole(page, expected) {
  assert.equal(await page.textContent('#stdout'), expected.out);
  const shown = await page.$$eval('#stderr li', (items) => items.map((item) => [item.className, item.textContent]));
  const lines = expected.err.split('\n').filter((line) => line !== '');
  assert.deepEqual(shown, lines.map((line) => [line.startsWith('quorvel-v2gen: warning: ') ? 'warning' : 'diagnostic', line]));
}

// Each image offered, and the zip of all of them, hold the native bytes.
async function expectImages(page, expected) {
  const links = page.locator('#images a');
  const names = await links.allTextContents();
  assert.deepEqual([...names].sort(), Object.keys(expected.images).sort());
  for (let i = 0; i < names.length; i++) {
    const saved = await saveLink(page, links.nth(i));
    assert.equal(saved.name, names[i]);
    assert.ok(saved.bytes.equals(expected.images[saved.name]), saved.name + ' differs from the native image');
  }
  const zip = await saveLink(page, page.locator('#save-all'));
  assert.equal(zip.name, 'quorvel-v2-images.zip');
  const unzipped = fflate.unzipSync(new Uint8Array(zip.bytes));
  assert.deepEqual(Object.keys(unzipped).sort(), Object.keys(expected.images).sort());
  for (const [name, bytes] of Object.entries(unzipped)) {
    assert.ok(Buffer.from(bytes).equals(expected.images[name]), name + ' in the zip differs from the native image');
  }
}

async function expectNothingOffered(page) {
  assert.equal(await page.isHidden('#save-section'), true);
  assert.equal(await page.locator('#images a').count(), 0);
}

async function problems(page) {
  return page.$$eval('#problems li', (items) => items.map((item) => item.textContent));
}

// ---- The cases ------------------------------------------------------------------

// A successful run from the given pick, against the native run on inputs
// with their proper names.
function succeeds(name, { pick, inputs = usualInputs(), compatible = false, check }) {
  return {
    name,
    async run(page) {
      await pick(page, inputs);
      await run(page, compatible);
      const expected = runNative(inputs, compatible ? ['-compatiblerom'] : []);
      assert.equal(expected.status, 0);
      assert.match(await page.textContent('#outcome'), /^Done/);
      await expectConsole(page, expected);
      await expectImages(page, expected);
      if (check) await check(page, expected);
    },
  };
}

const lowerCase = (inputs) => Object.fromEntries(Object.entries(inputs).map(([name, bytes]) => [name.toLowerCase(), bytes]));

const CASES = [
  succeeds('usual inputs', {
    pick: (page, inputs) => pickFiles(page, inputs),
    async check(page) {
      assert.ok((await page.textContent('#stdout')).includes(BANNER_JA), 'the Japanese line is shown as Japanese');
    },
  }),
  succeeds('compatible mode', { pick: (page, inputs) => pickFiles(page, inputs), compatible: true }),
  succeeds('lower-case names', { pick: (page, inputs) => pickFiles(page, lowerCase(inputs)) }),
  succeeds('a folder with other files in it', {
    async pick(page, inputs) {
      const dir = fs.mkdtempSync(path.join(scratch, 'folder-'));
      for (const [name, bytes] of Object.entries(inputs)) fs.writeFileSync(path.join(dir, name), bytes);
      fs.writeFileSync(path.join(dir, 'notes.txt'), 'not a dump');
      fs.writeFileSync(path.join(dir, 'SUBSYSCG.ROM'), 'an old image');
      await page.setInputFiles('#folder', dir);
      await picked(page);
    },
  }),
  succeeds('files dropped on the page', {
    async pick(page, inputs) {
      const files = Object.entries(inputs).map(([name, bytes]) => [name, [...bytes]]);
      const dataTransfer = await page.evaluateHandle((list) => {
        const transfer = new DataTransfer();
        for (const [name, bytes] of list) transfer.items.add(new File([new Uint8Array(bytes)], name));
        return transfer;
      }, files);
      await page.dispatchEvent('#drop', 'drop', { dataTransfer });
      await page.waitForFunction(() => document.querySelectorAll('#chosen tr.missing').length === 0);
      await picked(page);
    },
  }),
  succeeds('a zip of the dumps', {
    async pick(page, inputs) {
      const entries = { 'readme.txt': new TextEncoder().encode('dumps') };
      for (const [name, bytes] of Object.entries(lowerCase(inputs))) entries['dumps/' + name] = new Uint8Array(bytes);
      await pickFiles(page, { 'quorvel-v1.zip': Buffer.from(fflate.zipSync(entries)) });
    },
  }),
  succeeds('a short boot image, with its warning shown', {
    inputs: { ...usualInputs(), 'BOOT_BAS.ROM': pattern(300, 3) },
    pick: (page, inputs) => pickFiles(page, inputs),
    async check(page) {
      assert.equal(await page.textContent('#stderr li.warning'),
        'quorvel-v2gen: warning: BOOT_BAS.ROM: 300 bytes, expected at least 512; the missing 212 bytes are written as 0xFF');
    },
  }),
  {
    name: 'a missing input: the tool says which, and nothing is offered',
    async run(page) {
      const inputs = usualInputs();
      delete inputs['BOOT_DOS.ROM'];
      await pickFiles(page, inputs);
      await run(page);
      const expected = runNative(inputs, []);
      assert.equal(expected.status, 1);
      await expectConsole(page, expected);
      assert.match(await page.textContent('#outcome'), /^Error: .*Fix BOOT_DOS\.ROM/);
      await expectNothingOffered(page);
    },
  },
  {
    name: 'two files for one name',
    async run(page) {
      const inputs = usualInputs();
      await pickFiles(page, { ...inputs, 'subsys_c.rom': pattern(10240, 7) });
      assert.deepEqual(await problems(page),
        ['Two files match SUBSYS_C.ROM: SUBSYS_C.ROM and subsys_c.rom. Keep one of them.']);
      await page.click('#run');
      assert.equal(await page.textContent('#outcome'), 'Fix the problems above before running.');
      assert.equal(await page.isHidden('#console-section'), true);
      await expectNothingOffered(page);
    },
  },
  {
    name: 'an input over the limit is refused before running',
    async run(page) {
      const large = path.join(scratch, 'INITIATE.BIN');
      fs.writeFileSync(large, Buffer.alloc(LIMIT + 1));
      const inputs = usualInputs();
      delete inputs['INITIATE.BIN'];
      await pickFiles(page, inputs);
      await page.setInputFiles('#files', large);
      await picked(page);
      const shown = await problems(page);
      assert.equal(shown.length, 1);
      assert.match(shown[0], /^INITIATE\.BIN is 67,108,865 bytes, more than this page holds .*Use the quorvel-v2gen command/);
      await page.click('#run');
      assert.equal(await page.textContent('#outcome'), 'Fix the problems above before running.');
      await expectNothingOffered(page);
    },
  },
];

for (const way of WAYS) {
  for (const c of CASES) {
    test(way.name + ': ' + c.name, async () => {
      const { page, close } = await open(way);
      await c.run(page);
      await close();
    });
  }
}

test('served: in Japanese, with the keyboard alone, every control labelled', async () => {
  const { page, close } = await open(WAYS[0], 'ja-JP');
  assert.equal(await page.textContent('h1'), 'Quorvel V1用のファイルからV2用のROMイメージを作る');
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
  // Enter on the drop zone opens the file chooser: the click on the file input
  // is caught here, since waiting for Playwright's file chooser races with
  // the key press on a busy machine. The files are then set as a chooser would.
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
  assert.equal(await page.locator('#chosen tr.missing').count(), 0);
  await tabTo('run');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.getElementById('outcome').classList.contains('succeeded'));
  assert.match(await page.textContent('#outcome'), /^完了/);
  const expected = runNative(inputs, []);
  await tabTo('save-all');
  const [download] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Enter')]);
  const unzipped = fflate.unzipSync(new Uint8Array(fs.readFileSync(await download.path())));
  for (const [name, bytes] of Object.entries(expected.images)) assert.ok(Buffer.from(unzipped[name]).equals(bytes), name);
  await close();
});

test('served: the picture of a finished run', async () => {
  const { page, close } = await open(WAYS[0]);
  await page.setViewportSize({ width: 900, height: 800 });
  await pickFiles(page, usualInputs());
  await run(page);
  const screenshot = process.env.QUORVEL_SCREENSHOT;
  if (screenshot) await page.screenshot({ path: screenshot, fullPage: true });
  await close();
});
