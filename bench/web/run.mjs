// The web page's footprint: the bytes it transfers and the time from navigation to its first
// complete frame, against a bare page that draws the same picture on a canvas, in one headless
// Chromium. Served by scripts/serve.py as scripts/web.sh serves it (Brotli or gzip, validators,
// the content policy); measured unthrottled and on emulated Slow 4G (150 ms, 1.6 Mbit/s down,
// 750 kbit/s up), the two pages alternating, in fresh contexts (empty caches).
// Usage: run.mjs build-page [runs]
import { spawn } from 'node:child_process';
import { copyFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { loadavg } from 'node:os';
import { launch } from '../../tests/web/browser.mjs';

const [folder, runsArg] = process.argv.slice(2);
const runs = Number(runsArg || process.env.RUNS || 31);
const here = dirname(fileURLToPath(import.meta.url));
copyFileSync(join(here, 'bare.html'), join(folder, 'bare.html'));
copyFileSync(join(here, 'bare.js'), join(folder, 'bare.js'));
const server = spawn('python3', [join(here, '../../scripts/serve.py'), folder, '0'],
  { stdio: ['ignore', 'pipe', 'inherit'] });
const base = (await new Promise((r) => server.stdout.once('data', r))).toString().trim();
const browser = await launch();

const networks = {
  unthrottled: null,
  'Slow 4G': { offline: false, latency: 150, downloadThroughput: 1.6e6 / 8,
    uploadThroughput: 750e3 / 8 },
};

// One load in a fresh context: when its frame was done, and what it fetched when.
async function load(page, mark, network) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 1024 } });
  // The page tells when its mark is set, so nothing runs in it meanwhile (polling would, and
  // more often in a page that takes longer). Both go in outside its content policy.
  const marked = new Promise((resolve) => context.exposeFunction('benchMarked', resolve));
  await context.addInitScript((m) => new PerformanceObserver((list) => {
    if (list.getEntriesByName(m).length) window.benchMarked();
  }).observe({ type: 'mark' }), mark);
  const tab = await context.newPage();
  if (network) {
    const cdp = await context.newCDPSession(tab);
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions', network);
  }
  await tab.goto(base + page);
  await Promise.race([marked, new Promise((_, reject) => setTimeout(reject, 10000,
    new Error(`no ${mark} in 10 s`)))]);
  const result = await tab.evaluate((m) => ({
    ms: performance.getEntriesByName(m)[0].startTime,
    files: performance.getEntriesByType('resource')
      .concat(performance.getEntriesByType('navigation'))
      .map((e) => ({ name: new URL(e.name).pathname, start: e.startTime, end: e.responseEnd,
        bytes: e.transferSize, size: e.decodedBodySize })),
  }), mark);
  await context.close();
  return result;
}

const quantile = (v, q) => [...v].sort((a, b) => a - b)[Math.floor((v.length - 1) * q)];
const median = (v) => quantile(v, 0.5);
const waterfall = (r) => {
  const rows = r.files.sort((a, b) => a.start - b.start).map((f) =>
    `  ${f.name.padEnd(22)} ${f.start.toFixed(0).padStart(5)} - ` +
    `${f.end.toFixed(0).padStart(5)} ms ` +
    `${String(f.bytes).padStart(7)} B sent (${f.size} B)`);
  return rows.concat(`  first complete frame   ${r.ms.toFixed(0).padStart(5)} ms`).join('\n');
};
try {
  await load('gridlark.html', 'tk-first-frame'); // the server compresses each file once
  for (const [name, network] of Object.entries(networks)) {
    const first = await load('gridlark.html', 'tk-first-frame', network);
    const sent = first.files.reduce((n, f) => n + f.bytes, 0);
    console.log(`${name}: one load of the page, ${(sent / 1024).toFixed(1)} KiB transferred:`);
    console.log(waterfall(first));
    const page = [], bare = [];
    await load('bare.html', 'bare-first-frame', network); // warm-up of the browser itself
    for (let i = 0; i < runs; ++i) {
      bare.push((await load('bare.html', 'bare-first-frame', network)).ms);
      page.push((await load('gridlark.html', 'tk-first-frame', network)).ms);
    }
    const p = median(page), b = median(bare);
    // On a busy machine single loads spread widely: the quartiles show how far.
    const spread = (v) => `${quantile(v, 0.25).toFixed(0)}-${quantile(v, 0.75).toFixed(0)}`;
    console.log(`${name}: navigation to the first complete frame, median of ${runs}: ` +
      `bare canvas ${b.toFixed(1)} ms (quartiles ${spread(bare)}), Gridlark ${p.toFixed(1)} ms ` +
      `(${spread(page)}), ratio ${(p / b).toFixed(2)}x; each load against the bare one before ` +
      `it, ${median(page.map((t, i) => t / bare[i])).toFixed(2)}x (load average ` +
      `${loadavg()[0].toFixed(1)})\n`);
  }
} finally {
  await browser.close();
  server.kill();
}
