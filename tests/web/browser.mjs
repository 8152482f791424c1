// Serves a build folder on 127.0.0.1 and starts Debian's Chromium on it, headless, with no
// network of its own and a fresh profile each time (Playwright makes one per launch).
import { spawn } from 'node:child_process';
import { createServer } from 'node:http';
import { readFile } from 'node:fs';
import { dirname, extname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const types = {
  '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.jpg': 'image/jpeg', '.png': 'image/png',
};

// `extra` maps more addresses to files elsewhere.
export function serve(folder, extra = {}) {
  const server = createServer((req, res) => {
    const path = normalize(decodeURIComponent(new URL(req.url, 'http://x').pathname));
    readFile(extra[path] || join(folder, path), (err, data) => {
      if (err) {
        res.writeHead(404).end();
        return;
      }
      res.writeHead(200, { 'Content-Type': types[extname(path)] || 'application/octet-stream' });
      res.end(data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The folder served as scripts/web.sh serves it (compressed, validators, the content policy
// as a header): resolves to { base, close }.
export async function host(folder) {
  const script = join(dirname(fileURLToPath(import.meta.url)), '../../scripts/serve.py');
  const server = spawn('python3', [script, folder, '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  const base = (await new Promise((r) => server.stdout.once('data', r))).toString().trim();
  return { base, close: () => server.kill() };
}

export function launch() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: false, // the flag below instead: the only headless mode this Chromium has
    args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
}

// A page of the build, with a server of its own; `done` closes both.
// `options.host` serves it as scripts/web.sh does; `options.phone` emulates a touch screen.
export async function open(folder, page = 'gridlark.html', options = {}) {
  const server = options.host ? await host(folder) : await serve(folder);
  const browser = await launch();
  const context = await browser.newContext({
    viewport: options.viewport || { width: 1280, height: 1024 },
    deviceScaleFactor: options.ratio || 1,
    ...(options.phone ? { isMobile: true, hasTouch: true } : {}),
  });
  const tab = await context.newPage();
  const base = options.host ? server.base : `http://127.0.0.1:${server.address().port}/`;
  const done = async () => {
    await browser.close();
    server.close();
  };
  return { browser, context, page: tab, base, url: base + page, done };
}
