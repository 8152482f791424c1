// The web page's footprint: the bytes it transfers (each file gzipped, as a server would send
// it) and the time from navigation to its first complete frame, against a bare page that draws
// the same picture on a canvas; both in one headless Chromium. Usage: run.mjs build-web [runs]
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { loadavg } from 'node:os';
import { gzipSync } from 'node:zlib';
import { launch, serve } from '../../tests/web/browser.mjs';

const [folder, runsArg] = process.argv.slice(2);
const runs = Number(runsArg || process.env.RUNS || 15);
const here = dirname(fileURLToPath(import.meta.url));
const server = await serve(folder, { '/bare.html': join(here, 'bare.html') });
const base = `http://127.0.0.1:${server.address().port}/`;
const browser = await launch();

// One load in a fresh context (an empty cache): what it fetched and when its frame was done.
async function load(page, mark, bodies) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 1024 } });
  const tab = await context.newPage();
  if (bodies) tab.on('response', async (r) => bodies.push([r.url(), await r.body()]));
  await tab.goto(base + page);
  await tab.waitForFunction((m) => performance.getEntriesByName(m).length > 0, mark);
  const ms = await tab.evaluate((m) => performance.getEntriesByName(m)[0].startTime, mark);
  await context.close();
  return ms;
}

const median = (v) => [...v].sort((a, b) => a - b)[v.length >> 1];
try {
  const bodies = [];
  await load('gridlark.html', 'gridlark-first-frame', bodies);
  let raw = 0, gz = 0;
  for (const [url, body] of bodies) {
    const packed = gzipSync(body, { level: 9 }).length;
    raw += body.length;
    gz += packed;
    const name = new URL(url).pathname.padEnd(24);
    console.log(`  ${name} ${String(body.length).padStart(8)} B  gzip ${String(packed).padStart(7)} B`);
  }
  const kib = (n) => (n / 1024).toFixed(1);
  console.log(`page transfers ${kib(gz)} KiB gzipped (${kib(raw)} KiB as files)`);

  const page = [], bare = [];
  await load('bare.html', 'bare-first-frame'); // warm-up of the browser itself
  for (let i = 0; i < runs; ++i) {
    bare.push(await load('bare.html', 'bare-first-frame'));
    page.push(await load('gridlark.html', 'gridlark-first-frame'));
  }
  const p = median(page), b = median(bare);
  console.log(`navigation to the first complete frame, median of ${runs}: ` +
    `bare canvas ${b.toFixed(1)} ms, Gridlark ${p.toFixed(1)} ms, ratio ${(p / b).toFixed(2)}x ` +
    `(load average ${loadavg()[0].toFixed(1)})`);
} finally {
  await browser.close();
  server.close();
}
