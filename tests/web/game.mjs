// What the end-to-end checks read off the page: windows' boxes and the main window's canvas.
import assert from 'node:assert/strict';
import { open } from './browser.mjs';

export const main = '[data-form="frmDarIzoDiv2"]';
export const notice = '[data-form="frmMessage"]';

// The page started, its first complete frame drawn.
export async function start(folder, options) {
  const session = await open(folder, 'gridlark.html', options);
  session.page.on('pageerror', (e) => console.log(`page error: ${e.message}`));
  await session.page.goto(session.url);
  await firstFrame(session.page);
  return session;
}

// Polls what `probe` returns in the page until it is truthy (a strict content policy refuses
// Playwright's waitForFunction).
export async function until(page, probe, arg, timeout = 10000) {
  for (const end = Date.now() + timeout; ; await new Promise((r) => setTimeout(r, 20))) {
    const seen = await page.evaluate(probe, arg);
    if (seen) return seen;
    if (Date.now() > end) assert.fail(`not seen in ${timeout} ms: ${probe}`);
  }
}

export async function firstFrame(page) {
  await until(page, () => performance.getEntriesByName('tk-first-frame').length > 0);
}

export async function box(page, selector) {
  return page.locator(selector).boundingBox();
}

// Centre of a cell, in page pixels.
export async function cell(page, i) {
  const b = await box(page, main);
  const columns = [246, 1108, 1971], rows = [240, 1080, 1920];
  return { x: b.x + (columns[i % 3] + 307) / 15, y: b.y + (rows[i / 3 | 0] + 300) / 15 };
}

export async function clickCell(page, i) {
  const p = await cell(page, i);
  await page.mouse.click(p.x, p.y);
}

// A point on the window's background, clear of every control.
export async function background(page) {
  const b = await box(page, main);
  return { x: b.x + 100, y: b.y + 178 };
}

// The board as painted: '#' where a cell shows a white mark, '.' where it is free; and the
// number of red strike-through pixels.
export async function painted(page) {
  return page.evaluate((selector) => {
    const canvas = document.querySelector(selector + ' canvas');
    const ratio = canvas.width / 188;
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    const at = (x, y) => 4 * (y * canvas.width + x);
    let board = '';
    for (let i = 0; i < 9; ++i) {
      const x0 = Math.round(([246, 1108, 1971][i % 3] / 15 + 4) * ratio);
      const y0 = Math.round(([240, 1080, 1920][i / 3 | 0] / 15 + 4) * ratio);
      let white = 0;
      for (let y = y0; y < y0 + 32 * ratio; ++y)
        for (let x = x0; x < x0 + 32 * ratio; ++x) {
          const p = at(x, y);
          if (data[p] === 255 && data[p + 1] === 255 && data[p + 2] === 255) ++white;
        }
      board += white > 20 * ratio * ratio ? '#' : '.';
    }
    let red = 0;
    for (let p = 0; p < data.length; p += 4)
      if (data[p] === 192 && data[p + 1] === 0 && data[p + 2] === 0) ++red;
    return { board, red };
  }, main);
}

// Waits for the next frame, so the canvas shows what the last event did.
export async function frame(page) {
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0))));
}

export async function dragTo(page, x, y) {
  const from = await background(page);
  const b = await box(page, main);
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  await page.mouse.move(from.x + (x - b.x) / 2, from.y + (y - b.y) / 2, { steps: 4 });
  await page.mouse.move(from.x + x - b.x, from.y + y - b.y, { steps: 4 });
  await page.mouse.up();
}

// Runs the checks, closing the browser whatever happens.
export async function check(folder, options, body) {
  const session = await start(folder, options);
  try {
    await body(session);
  } finally {
    await session.done();
  }
}

export { assert };
