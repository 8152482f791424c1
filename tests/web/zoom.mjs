// Inside a page that zooms it (CSS zoom: 2), a click lands on the cell under the pointer.
import { assert, box, check, frame, main, painted } from './game.mjs';

await check(process.argv[2], {}, async ({ page }) => {
  await page.evaluate(() => { document.body.style.zoom = '2'; });
  const b = await box(page, main);
  assert.equal(b.width, 2 * 188);
  // The bottom right cell's centre, in page pixels twice the window's own.
  await page.mouse.click(b.x + 2 * (1971 + 307) / 15, b.y + 2 * (1920 + 300) / 15);
  await frame(page);
  assert.equal((await painted(page)).board, '........#');
});
