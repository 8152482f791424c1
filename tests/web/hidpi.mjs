// On a screen of ratio 2 the canvas has twice the pixels and paints the 2x artwork.
import { assert, box, check, clickCell, frame, main, painted } from './game.mjs';

await check(process.argv[2], { ratio: 2 }, async ({ page }) => {
  const size = await page.evaluate((s) => {
    const c = document.querySelector(s + ' canvas');
    return [c.width, c.height, performance.getEntriesByType('resource').map((r) => r.name)];
  }, main);
  assert.deepEqual(size.slice(0, 2), [376, 480]);
  assert.ok(size[2].some((n) => n.endsWith('/background@2x.png')), size[2].join(' '));
  assert.ok(!size[2].some((n) => n.endsWith('/background.png')), 'the 1x artwork too');
  const b = await box(page, main);
  assert.deepEqual([b.width, b.height], [188, 240]);
  await clickCell(page, 8);
  await frame(page);
  assert.equal((await painted(page)).board, '........#');
});
