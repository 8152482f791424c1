// A game won with the keyboard alone, as Chromium's accessibility tree tells it: the focus and its
// outline, the polite region after each move, the alert, and the focus back on the board once
// the notice has gone.
import { assert, box, check, main, notice } from './game.mjs';

await check(process.argv[2], {}, async ({ context, page }) => {
  const cdp = await context.newCDPSession(page);
  const tree = async () => {
    const { nodes } = await cdp.send('Accessibility.getFullAXTree');
    const byId = new Map(nodes.map((n) => [n.nodeId, n]));
    const text = (n) => n.name?.value || (n.childIds ?? []).map((c) => text(byId.get(c))).join('');
    return nodes.filter((n) => !n.ignored).map((n) => ({ role: n.role?.value, text: text(n),
      focused: !!n.properties?.some((p) => p.name === 'focused' && p.value.value) }));
  };
  const focused = async () => (await tree()).findLast((n) => n.focused); // past the document
  const until = async (what, probe, timeout = 3000) => {
    for (const end = Date.now() + timeout; ; await new Promise((r) => setTimeout(r, 20))) {
      const seen = await probe();
      if (seen === true) return;
      if (Date.now() > end) assert.fail(`${what}: ${JSON.stringify(seen)}`);
    }
  };
  const said = async () => (await tree()).filter((n) => n.role === 'status' && n.text)
    .map((n) => n.text);

  const focusOn = (role, name) => until(`the focus on ${name}`, async () => {
    const f = await focused();
    return (f?.role === role && f.text === name) || f;
  });

  // Reset has the focus; Tab goes to CPU, then to the board.
  await page.keyboard.press('Tab');
  await focusOn('checkbox', 'CPU');
  await page.keyboard.press('Tab');
  await focusOn('gridcell', 'top left');

  // The outline is the page's own, drawn without the canvas: black all round the cell, where
  // the canvas paints its indicator, and nothing else of the overlay shows.
  const cell = await box(page, `${main} [role=gridcell][tabindex="0"]`);
  await page.locator(`${main} canvas`).evaluate((c) => { c.style.visibility = 'hidden'; });
  const png = (await page.screenshot({ clip: cell })).toString('base64');
  await page.locator(`${main} canvas`).evaluate((c) => { c.style.visibility = ''; });
  const colours = await page.evaluate(async (data) => {
    // From bytes, not a data: address, which the page's content policy refuses.
    const bytes = Uint8Array.from(atob(data), (c) => c.charCodeAt(0));
    const img = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    const ctx = new OffscreenCanvas(img.width, img.height).getContext('2d');
    ctx.drawImage(img, 0, 0);
    const px = ctx.getImageData(0, 0, img.width, img.height).data, seen = {};
    for (let p = 0; p < px.length; p += 4) {
      const c = px.slice(p, p + 3).join();
      seen[c] = (seen[c] ?? 0) + 1;
    }
    return seen;
  }, png);
  const ring = 4 * (cell.width + cell.height) - 32; // 2 pixels wide, 1 inside the cell's box
  assert.ok(Math.abs((colours['0,0,0'] ?? 0) - ring) < 10, JSON.stringify(colours));
  assert.equal(Object.keys(colours).length, 2, JSON.stringify(colours)); // and the page behind

  // Whoever starts, the first mark takes the top row; Enter and Space play the current cell.
  const turn = (await tree()).find((n) => /^[XO]'s turn$/.test(n.text)).text[0];
  const other = turn === 'X' ? 'O' : 'X';
  const moves = [['Enter', 'top left'], ['ArrowDown', 'Enter', 'middle left'],
    ['ArrowUp', 'ArrowRight', ' ', 'top middle'], ['ArrowDown', 'Enter', 'centre'],
    ['ArrowUp', 'ArrowRight', 'Enter', 'top right']];
  for (const [n, keys] of moves.entries()) {
    const place = keys.pop(), [mark, next] = n % 2 ? [other, turn] : [turn, other];
    for (const key of keys) await page.keyboard.press(key);
    const expected = `${mark} in ${place}. ${next}'s turn.`;
    await until(`heard after ${place}`, async () => {
      const now = await said();
      return (now.length === 1 && now[0] === expected) || now;
    });
  }

  // The result first, though the notice paints it second.
  const result = `${turn} wins!\nGame will now reset\nGridlark by Fernwick`;
  await until('the alert, and the notice named by it', async () => {
    const nodes = (await tree()).filter((n) => n.role === 'alert' || n.role === 'region');
    return (nodes.some((n) => n.role === 'alert' && n.text === result) &&
      nodes.some((n) => n.role === 'region' && n.text === result.replaceAll('\n', ' '))) || nodes;
  }, 1000);

  await page.locator(notice).waitFor({ state: 'detached', timeout: 5000 });
  await focusOn('gridcell', 'top right');
  // The grid's one tab stop followed the focus.
  const stop = page.locator(`${main} [role=gridcell][tabindex="0"]`);
  assert.equal(await stop.getAttribute('aria-label'), 'top right');
});
