// The page's figures: what a browser downloads (gzip), the time from the
// click on Run to the images offered, and the time that a .zip with many
// entries for one name takes to be refused, in headless Chromium.
// usage: node bench/page.mjs SITE NODE_MODULES CHROMIUM
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { launchBrowser, requireFrom, serveSite, usualInputs, writeFolder } from '../tests/web/harness.mjs';

const [site, nodeModules, chromiumPath] = process.argv.slice(2).map((p) => path.resolve(p));
const require = requireFrom(nodeModules);
const puppeteer = require('puppeteer-core');
const fflate = require('fflate');

// The files that the page loads, served (the licences are links, fetched only
// when opened): first those of its first screen, then those it loads when
// they are needed (the zip reader, the hashing, the library's module). The
// service worker then keeps every file of the site, asking the server only
// whether those already loaded have changed.
const FIRST = ['index.html', 'language.js', 'page.js', 'style.css', 'icon.svg', 'manifest.en.webmanifest', 'service-worker.js'];
const LATER = ['zip.js', 'hash-wasm/crc32.js', 'hash-wasm/md5.js', 'hash-wasm/sha1.js', 'quorvel-v2gen.js'];
const GOAL_REFUSAL_MS = 2000;
const GOAL_BYTES = 150 * 1000;
const GOAL_MS = 100;

function transferSize(files) {
  let raw = 0;
  let gzipped = 0;
  for (const name of files) {
    const bytes = fs.readFileSync(path.join(site, name));
    raw += bytes.length;
    gzipped += zlib.gzipSync(bytes, { level: 9 }).length;
  }
  return { raw, gzipped };
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

// Milliseconds from the click on Run to the images offered, measured in the page.
async function pick(page, paths) {
  const input = await page.$('#files');
  await input.uploadFile(...paths);
}

async function timeRuns(page, paths, rounds) {
  await pick(page, paths);
  const times = [];
  for (let i = 0; i < rounds; i++) {
    await page.waitForSelector('#run:enabled');  // the files are read
    times.push(await page.evaluate(() => new Promise((resolve, reject) => {
      const outcome = document.getElementById('outcome');
      const images = document.getElementById('save-section');
      const started = performance.now();
      const observer = new MutationObserver(() => {
        if (outcome.classList.contains('failed')) reject(new Error(outcome.textContent));
        if (!images.hidden) {
          observer.disconnect();
          resolve(performance.now() - started);
        }
      });
      observer.observe(document.body, { subtree: true, attributes: true, childList: true });
      document.getElementById('run').click();
    })));
  }
  return times;
}

// The checksums of a chosen input: milliseconds from its choice until they
// are shown, and the longest that the page stopped answering meanwhile (a
// timer that should fire every 10 ms).
async function timeHashing(page, paths) {
  await page.evaluate(() => {
    window.benchHashing = new Promise((resolve) => {
      const started = performance.now();
      let last = started;
      let longest = 0;
      const timer = setInterval(() => {
        const now = performance.now();
        longest = Math.max(longest, now - last);
        last = now;
        const shown = document.querySelectorAll('#chosen dl.checksums').length > 0;
        if (shown && document.querySelectorAll('#chosen dl.checksums[data-pending]').length === 0) {
          clearInterval(timer);
          resolve({ total: now - started, longest });
        }
      }, 10);
    });
  });
  await pick(page, paths);
  return page.evaluate(() => window.benchHashing);
}

// Milliseconds from the choice of a .zip to the page's message about it.
async function timeRefusal(page, zipPath) {
  await page.evaluate(() => {
    window.benchProblems = new Promise((resolve) => {
      const list = document.getElementById('problems');
      const observer = new MutationObserver(() => {
        if (list.children.length > 0) {
          observer.disconnect();
          resolve(performance.now());
        }
      });
      observer.observe(list, { childList: true });
    });
  });
  const started = await page.evaluate(() => performance.now());
  await pick(page, [zipPath]);
  return (await page.evaluate(() => window.benchProblems)) - started;
}

// 40 entries of 64 MiB for one name, as a collection with a folder per machine holds them.
function manyEntriesZip(dir) {
  const zipPath = path.join(dir, 'collection.zip');
  const dump = new Uint8Array(64 * 1024 * 1024);
  const entries = {};
  for (let i = 0; i < 40; i++) entries['machine-' + i + '/SUBSYS_C.ROM'] = [dump, { level: 1 }];
  fs.writeFileSync(zipPath, fflate.zipSync(entries));
  return zipPath;
}

async function main() {
  const server = await serveSite(site);
  const browser = await launchBrowser(puppeteer, 'chrome', chromiumPath);
  const scratch = fs.mkdtempSync(path.join(process.env.TMPDIR || '/tmp', 'quorvel-bench-'));
  try {
    const page = await browser.newPage();
    await page.goto(server.url);
    const first = transferSize(FIRST);
    const { raw, gzipped } = transferSize([...FIRST, ...LATER]);
    console.log('page: ' + FIRST.join(', ') + '; when needed: ' + LATER.join(', '));
    console.log(`  first screen ${(first.gzipped / 1000).toFixed(1)} KB gzipped (${(first.raw / 1000).toFixed(1)} KB raw)`);
    console.log(`  transfer in all ${(gzipped / 1000).toFixed(1)} KB gzipped (${(raw / 1000).toFixed(1)} KB raw); goal at most ${GOAL_BYTES / 1000} KB: ${gzipped <= GOAL_BYTES ? 'met' : 'NOT met'}`);

    const inputs = usualInputs();
    const dir = writeFolder(scratch, inputs);
    const usual = Object.keys(inputs).map((name) => path.join(dir, name));
    const usualTimes = await timeRuns(page, usual, 30);
    console.log(`  usual inputs, click on Run to images offered: median ${median(usualTimes).toFixed(1)} ms, min ${Math.min(...usualTimes).toFixed(1)} ms (30 runs); goal within ${GOAL_MS} ms: ${median(usualTimes) <= GOAL_MS ? 'met' : 'NOT met'}`);

    const large = writeFolder(scratch, { 'INITIATE.BIN': Buffer.alloc(64 * 1024 * 1024, 0x5a) });
    await page.click('#clear');
    const hashing = await timeHashing(page, [path.join(large, 'INITIATE.BIN')]);
    console.log(`  64 MiB INITIATE.BIN chosen, checksums shown after ${hashing.total.toFixed(0)} ms; the page's longest pause meanwhile: ${hashing.longest.toFixed(0)} ms`);
    await pick(page, usual.filter((file) => !file.endsWith('INITIATE.BIN')));
    const largeTimes = await timeRuns(page, [path.join(large, 'INITIATE.BIN')], 5);
    console.log(`  64 MiB INITIATE.BIN, click on Run to images offered: median ${median(largeTimes).toFixed(0)} ms, min ${Math.min(...largeTimes).toFixed(0)} ms (5 runs)`);

    const collection = manyEntriesZip(scratch);
    const refusal = await timeRefusal(page, collection);
    console.log(`  .zip of ${(fs.statSync(collection).size / 1e6).toFixed(1)} MB with 40 entries of 64 MiB for SUBSYS_C.ROM, choice to message: ${refusal.toFixed(0)} ms; goal under ${GOAL_REFUSAL_MS} ms: ${refusal < GOAL_REFUSAL_MS ? 'met' : 'NOT met'}`);
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(scratch, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
