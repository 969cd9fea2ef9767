// The page's figures: what a browser downloads (gzip), and the time from the
// click on Run to the images offered, in headless Chromium.
// usage: node bench/page.mjs SITE NODE_MODULES CHROMIUM
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { launchChromium, requireFrom, serveSite, usualInputs } from '../tests/web/harness.mjs';

const [site, nodeModules, chromiumPath] = process.argv.slice(2).map((p) => path.resolve(p));
const { chromium } = requireFrom(nodeModules)('playwright-core');

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
  const server = await serveSite(site);
  const browser = await launchChromium(chromium, chromiumPath);
  try {
    const page = await browser.newPage();
    await page.goto(server.url);
    const { raw, gzipped } = transferSize();
    console.log('page: ' + PAGE.join(', '));
    console.log(`  transfer ${(gzipped / 1000).toFixed(1)} KB gzipped (${(raw / 1000).toFixed(1)} KB raw); goal at most ${GOAL_BYTES / 1000} KB: ${gzipped <= GOAL_BYTES ? 'met' : 'NOT met'}`);

    const usual = Object.entries(usualInputs())
      .map(([name, buffer]) => ({ name, mimeType: 'application/octet-stream', buffer }));
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
