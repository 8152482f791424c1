// A screen reader's game: the board found by role and name, read from Chromium's own
// accessibility tree and played through its cells alone, the mouse never on the page.
import { assert, cell, check, frame, painted } from './game.mjs';

const places = ['top left', 'top middle', 'top right', 'middle left', 'centre', 'middle right',
  'bottom left', 'bottom middle', 'bottom right'];

await check(process.argv[2], {}, async ({ context, page }) => {
  // What assistive technology is told: the tree Chromium exposes, not the page's markup.
  const cdp = await context.newCDPSession(page);
  const tree = async () => {
    const { nodes } = await cdp.send('Accessibility.getFullAXTree');
    return nodes.filter((n) => !n.ignored).map((n) => ({
      role: n.role?.value, name: n.name?.value ?? '', description: n.description?.value ?? '',
    }));
  };
  const read = async (role, name) => (await tree()).find((n) => n.role === role && n.name === name);
  const values = async () => {
    const nodes = await tree();
    return places.map((p) => nodes.find((n) => n.role === 'gridcell' && n.name === p).description);
  };
  const until = async (what, probe, timeout = 3000) => {
    for (const end = Date.now() + timeout; ; await new Promise((r) => setTimeout(r, 20))) {
      const seen = await probe();
      if (seen === true) return;
      if (Date.now() > end) assert.fail(`${what}: ${JSON.stringify(seen)}`);
    }
  };

  const window = page.getByRole('region', { name: 'DarIzoDiv' });
  await window.getByRole('button', { name: 'Reset' }).waitFor();
  await window.getByRole('checkbox', { name: 'CPU' }).waitFor();
  const board = window.getByRole('grid', { name: 'Board' });
  const cells = places.map((name) => board.getByRole('gridcell', { name, exact: true }));
  const turn = window.getByText(/^[XO]'s turn$/);
  assert.deepEqual(await values(), Array(9).fill('empty'));
  assert.equal((await read('grid', 'Board')).description, '');
  assert.ok(await read('link', 'More at Fernwick'));

  // Laid over the painted cells, but the real mouse reaches the canvas through them.
  const over = await cell(page, 4), box = await cells[4].boundingBox();
  assert.ok(Math.abs(box.x + box.width / 2 - over.x) < 3 && Math.abs(box.y + box.height / 2 - over.y) < 3);
  assert.equal(await page.evaluate(({ x, y }) => document.elementFromPoint(x, y).tagName, over),
    'CANVAS');

  // Whoever starts, this order wins the top row for the first mark: Enter and Space on a cell,
  // and assistive technology's click, are each the mouse's move. Chromium's click sends the
  // press and release too, which the window leaves alone (here aimed at another cell).
  const first = (await turn.textContent())[0];
  const elsewhere = await cell(page, 8);
  const click = (c) => c.evaluate((el, at) => {
    for (const type of ['mousedown', 'mouseup', 'click'])
      el.dispatchEvent(new MouseEvent(type, { bubbles: true, cancelable: true, detail: 1,
        clientX: at.x, clientY: at.y, buttons: type === 'mousedown' ? 1 : 0 }));
  }, elsewhere);
  const ways = [(c) => c.press('Enter'), (c) => c.press(' '), click];
  for (const [n, i] of [0, 3, 1, 4, 2].entries()) {
    const mark = (await turn.textContent())[0];
    await ways[n % 3](cells[i]);
    await until(`${places[i]} after ${mark}'s move`,
      async () => (await values())[i] === mark || (await values()));
    if (n === 3) {
      await frame(page);
      assert.deepEqual(await painted(page), { board: '##.##....', red: 0 });
      assert.equal((await turn.textContent())[0], first);
    }
  }
  const won = Date.now();

  assert.equal((await read('grid', 'Board')).description, `top row struck through, ${first} wins!`);
  await page.getByRole('alert').waitFor();
  assert.ok((await tree()).find((n) => n.role === 'alert'), 'the notice is an alert');
  await frame(page);
  assert.ok((await painted(page)).red > 150);

  // The notice empties the board about 1.5 s after it opened.
  await until('the board after the notice', async () =>
    (await values()).every((v) => v === 'empty') || (await values()), 5000);
  const after = Date.now() - won;
  assert.ok(after >= 1200 && after < 2500, `emptied after ${after} ms`);
  assert.equal((await read('grid', 'Board')).description, `${first} wins!`); // till a move
  assert.equal(await page.getByRole('alert').count(), 0);

  // The link's action opens the maker's page.
  const address = 'https://www.fernwick.example/';
  await context.route(address, (route) => route.fulfill({ contentType: 'text/html', body: 'x' }));
  const [tab] = await Promise.all([context.waitForEvent('page'),
    window.getByRole('link', { name: 'More at Fernwick' }).press('Enter')]);
  await tab.waitForLoadState();
  assert.equal(tab.url(), address);
});
