// On a phone: a tap marks a cell, a touch drag on the background moves the window as the mouse
// does, and a long press opens the quit prompt as the right button does.
import { assert, background, box, cell, check, frame, main, painted } from './game.mjs';

await check(process.argv[2], { phone: true, viewport: { width: 412, height: 915 } },
  async ({ context, page }) => {
    const cdp = await context.newCDPSession(page);
    const touch = (type, p) => cdp.send('Input.dispatchTouchEvent',
      { type, touchPoints: p ? [{ x: p.x, y: p.y }] : [] });
    const pause = (ms) => new Promise((r) => setTimeout(r, ms));

    const c = await cell(page, 4);
    await page.touchscreen.tap(c.x, c.y);
    await frame(page);
    assert.equal((await painted(page)).board[4], '#');

    // Clear of every edge's snapping zone: it stays where it was dropped.
    const from = await background(page), b = await box(page, main);
    const to = { x: from.x + 100 - b.x, y: from.y + 300 - b.y };
    await touch('touchStart', from);
    for (let i = 1; i <= 5; ++i)
      await touch('touchMove',
        { x: from.x + (to.x - from.x) * i / 5, y: from.y + (to.y - from.y) * i / 5 });
    await touch('touchEnd');
    await frame(page);
    const moved = await box(page, main);
    assert.deepEqual([moved.x, moved.y], [100, 300]);

    const dialog = page.locator('dialog[data-messagebox]');
    const at = await background(page);
    await touch('touchStart', at);
    await pause(700);
    await touch('touchEnd');
    await dialog.waitFor({ timeout: 2000 });
    assert.match(await dialog.locator('p').textContent(), /Quit the game/);
    await dialog.getByText('No').tap();
    await dialog.waitFor({ state: 'detached' });
    const still = await box(page, main);
    assert.deepEqual([still.x, still.y], [100, 300]); // the hold moved nothing
  });
