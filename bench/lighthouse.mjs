// Lighthouse's view of the page: its four scores, layout shift, largest
// contentful paint and transfer, for mobile and desktop, in each language, the
// site served gzipped from 127.0.0.1 (no other server setting), in headless
// Chromium. The Japanese page is opened as index.ja.html, as a Japanese link
// or the installed app opens it. Each row is the median of five runs, beside the figures of 0.6.0.
// usage: node bench/lighthouse.mjs SITE LIGHTHOUSE_NODE_MODULES CHROMIUM
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { serveSite } from '../tests/web/harness.mjs';

const [site, nodeModules, chromiumPath] = process.argv.slice(2).map((p) => path.resolve(p));
const load = async (file) => (await import(pathToFileURL(path.join(nodeModules, file)).href)).default;
const RUNS = 5;

// What Lighthouse 12.8 gave 0.6.0's page, served the same way.
const BEFORE = {
  'en mobile': { performance: 72, accessibility: 100, 'best-practices': 100, seo: 82, cls: 0.738, lcp: 2700 },
  'en desktop': { performance: 86, accessibility: 100, 'best-practices': 100, seo: 82, cls: 0.287, lcp: 560 },
  'ja mobile': { performance: 72, accessibility: 100, 'best-practices': 100, seo: 82, cls: 0.738, lcp: 2700 },
};
const GOALS = 'goals: performance >= 95 on mobile and 100 on desktop, accessibility and best practices 100, SEO >= 91, CLS < 0.01, LCP < 2.3 s on mobile';

const CATEGORIES = ['performance', 'accessibility', 'best-practices', 'seo'];

function figures(lhr) {
  const row = {};
  for (const name of CATEGORIES) row[name] = Math.round(lhr.categories[name].score * 100);
  row.cls = lhr.audits['cumulative-layout-shift'].numericValue;
  row.lcp = lhr.audits['largest-contentful-paint'].numericValue;
  row.transfer = lhr.audits['total-byte-weight'].numericValue;
  // Lighthouse marks an audit that it could not judge rather than failing it.
  row.failed = Object.values(lhr.audits)
    .filter((audit) => audit.score !== null && audit.score < 1 && audit.scoreDisplayMode === 'binary')
    .map((audit) => audit.id);
  return row;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

function show(name, rows) {
  const row = {};
  for (const key of [...CATEGORIES, 'cls', 'lcp', 'transfer']) row[key] = median(rows.map((r) => r[key]));
  const scores = CATEGORIES.map((key) => `${key} ${row[key]}`).join(', ');
  console.log(`  ${name}: ${scores}; CLS ${row.cls.toFixed(3)}, LCP ${(row.lcp / 1000).toFixed(2)} s, transfer ${(row.transfer / 1000).toFixed(1)} KB`);
  const failed = [...new Set(rows.flatMap((r) => r.failed))];
  if (failed.length > 0) console.log(`    audits not passed: ${failed.join(', ')}`);
  const before = BEFORE[name];
  if (before) {
    const was = CATEGORIES.map((key) => `${key} ${before[key]}`).join(', ');
    console.log(`    0.6.0: ${was}; CLS ${before.cls.toFixed(3)}, LCP ${(before.lcp / 1000).toFixed(2)} s`);
  }
}

async function main() {
  const lighthouse = await load('lighthouse/core/index.js');
  const desktop = await load('lighthouse/core/config/desktop-config.js');
  const { launch } = await import(pathToFileURL(path.join(nodeModules, 'chrome-launcher/dist/index.js')).href);
  const server = await serveSite(site, { gzip: true });
  const cases = [
    ['en mobile', 'index.html', undefined],
    ['en desktop', 'index.html', desktop],
    ['ja mobile', 'index.ja.html', undefined],
    ['ja desktop', 'index.ja.html', desktop],
  ];
  console.log('lighthouse: ' + GOALS);
  try {
    for (const [name, file, config] of cases) {
      const rows = [];
      for (let run = 0; run < RUNS; run++) {
        // A fresh browser each run: nothing cached, no service worker yet.
        const chrome = await launch({
          chromePath: chromiumPath,
          chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
            '--disable-background-networking', '--disable-component-update', '--disable-sync'],
        });
        try {
          const result = await lighthouse(server.url + file, { port: chrome.port, logLevel: 'error', onlyCategories: CATEGORIES, locale: 'en-US' }, config);
          rows.push(figures(result.lhr));
        } finally {
          await chrome.kill();
        }
      }
      show(name, rows);
    }
  } finally {
    server.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
