// The frameless window: dragged by its background, snapped to each edge of the viewport on
// release (the bottom keeps the taskbar's strip free), kept there when the viewport changes size
// or the page is zoomed, minimised to the taskbar and restored.
import { assert, background, box, check, dragTo, main } from './game.mjs';

await check(process.argv[2], {}, async ({ page }) => {
  const at = async () => {
    const b = await box(page, main);
    return [b.x, b.y];
  };
  await dragTo(page, 500, 400); // in the middle: it stays where it was dropped
  assert.deepEqual(await at(), [500, 400]);
  await dragTo(page, 20, 20); // within 400 twips of the left and top edges
  assert.deepEqual(await at(), [0, 0]);
  // 1280 x 1024: right from 19200 - 400 - 2820 twips on, bottom from 15360 - 800 - 3600.
  await dragTo(page, 1070, 740);
  assert.deepEqual(await at(), [1280 - 188, Math.round((15360 - 400 - 3600) / 15)]);
  // The browser window shrinks and grows again: the window keeps to the edges it was snapped to.
  const settles = async (want) => {
    for (let i = 0; i < 40 && String(await at()) !== String(want); ++i)
      await new Promise((r) => setTimeout(r, 50));
    assert.deepEqual(await at(), want);
  };
  await page.setViewportSize({ width: 800, height: 600 });
  await settles([800 - 188, 600 - 240 - 27]);
  await page.setViewportSize({ width: 1280, height: 1024 });
  await settles([1280 - 188, Math.round((15360 - 400 - 3600) / 15)]);
  // A browser zoom of 200% halves the viewport's CSS size and doubles the pixel ratio.
  const cdp = await page.context().newCDPSession(page);
  const zoom = (ratio) => cdp.send('Emulation.setDeviceMetricsOverride',
    { width: 1280 / ratio, height: 1024 / ratio, deviceScaleFactor: ratio, mobile: false });
  await zoom(2);
  await settles([640 - 188, 512 - 240 - 27]);
  await zoom(1);
  await settles([1280 - 188, Math.round((15360 - 400 - 3600) / 15)]);
  const strip = await box(page, '[data-taskbar]');
  assert.ok(strip.y >= 1024 - 400 / 15 && strip.y + strip.height === 1024, JSON.stringify(strip));

  // A double click minimises to the taskbar; its button brings the window back in place.
  const bg = await background(page);
  await page.mouse.dblclick(bg.x, bg.y);
  await page.locator(main).waitFor({ state: 'hidden' });
  await page.locator('[data-taskbar] button', { hasText: 'DarIzoDiv' }).click();
  await page.locator(main).waitFor({ state: 'visible' });
  assert.deepEqual(await at(), [1280 - 188, Math.round((15360 - 400 - 3600) / 15)]);
});
