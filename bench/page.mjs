// The page's figures: what a browser downloads (gzip), and the time from the
// click on Run to the images offered, in headless Chromium.
// usage: node bench/page.mjs SITE NODE_MODULES CHROMIUM
import { createRequire } from 'node:module';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';

const [site, nodeModules, chromiumPath] = process.argv.slice(2).map((p) => path.resolve(p));
const require = createRequire(path.join(nodeModules, 'index.js'));
const { chromium } = require('playwright-core');

// The files that the page loads (the licences are links, fetched only when opened).
const PAGE = ['index.html', 'style.css', 'icon.svg', 'fflate.js', 'quorvel-v2gen.js', 'app.js'];
const GOAL_BYTES = 150 * 1000;
const GOAL_MS = 100;

function transferSize() {
  let raw = 0;
  let gzipped = 0;
  for (const name of PAGE) {
    const bytes = fs.readFileSync(path.join(site, name));
    raw += bytes.length;
    gzipped += zlib.gzipSync(bytes, { level: 9 }).length;
  }
  return { raw, gzipped };
}

function pattern(size, seed) {
  const bytes = Buffer.alloc(size);
  for (let i = 0; i < size; i++) bytes[i] = (i * 131 + seed * 29 + (i >> 8)) & 0xff;
  return bytes;
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

// Milliseconds from the click on Run to the images offered, measured in the page.
async function timeRuns(page, files, rounds) {
  await page.setInputFiles('#files', files);
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

async function main() {
  const server = http.createServer((request, response) => {
    const name = request.url === '/' ? 'index.html' : decodeURIComponent(request.url.slice(1));
    if (!PAGE.includes(name)) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.end(fs.readFileSync(path.join(site, name)));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const browser = await chromium.launch({
    executablePath: chromiumPath,
    args: ['--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = await browser.newPage();
    await page.goto('http://127.0.0.1:' + server.address().port + '/');
    const { raw, gzipped } = transferSize();
    console.log('page: ' + PAGE.join(', '));
    console.log(`  transfer ${(gzipped / 1000).toFixed(1)} KB gzipped (${(raw / 1000).toFixed(1)} KB raw); goal at most ${GOAL_BYTES / 1000} KB: ${gzipped <= GOAL_BYTES ? 'met' : 'NOT met'}`);

    const usual = [['SUBSYS_C.ROM', 10240], ['INITIATE.BIN', 4000], ['BOOT_BAS.ROM', 512], ['BOOT_DOS.ROM', 512]]
      .map(([name, size], seed) => ({ name, mimeType: 'application/octet-stream', buffer: pattern(size, seed + 1) }));
    const usualTimes = await timeRuns(page, usual, 30);
    console.log(`  usual inputs, click on Run to images offered: median ${median(usualTimes).toFixed(1)} ms, min ${Math.min(...usualTimes).toFixed(1)} ms (30 runs); goal within ${GOAL_MS} ms: ${median(usualTimes) <= GOAL_MS ? 'met' : 'NOT met'}`);

    const large = path.join(fs.mkdtempSync(path.join(process.env.TMPDIR || '/tmp', 'quorvel-bench-')), 'INITIATE.BIN');
    fs.writeFileSync(large, Buffer.alloc(64 * 1024 * 1024, 0x5a));
    await page.setInputFiles('#files', usual.filter((file) => file.name !== 'INITIATE.BIN'));
    const largeTimes = await timeRuns(page, large, 5);
    fs.rmSync(path.dirname(large), { recursive: true });
    console.log(`  64 MiB INITIATE.BIN, click on Run to images offered: median ${median(largeTimes).toFixed(0)} ms, min ${Math.min(...largeTimes).toFixed(0)} ms (5 runs)`);
  } finally {
    await browser.close();
    server.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
