// A page that cannot start says why within 5 s: the WebAssembly blocked, the page opened as a
// file from the disk.
import { resolve } from 'node:path';
import { assert, until } from './game.mjs';
import { open } from './browser.mjs';

const folder = process.argv[2];
const session = await open(folder);
try {
  const { context, page, url } = session;
  const sentence = () => until(page, () => {
    const p = document.querySelector('p[data-failure]:not([hidden])');
    return p && document.querySelector('[data-loading]').hidden && p.textContent;
  }, undefined, 5000);

  await context.route('**/gridlark.wasm', (route) => route.abort('blockedbyclient'));
  await page.goto(url);
  assert.match(await sentence(), /could not load its program, gridlark\.wasm/);

  await context.unroute('**/gridlark.wasm');
  await page.goto('file://' + resolve(folder, 'gridlark.html'));
  assert.match(await sentence(),
    /from a file opened on disk: serve its folder.*python3 -m http\.server/);
} finally {
  await session.done();
}
