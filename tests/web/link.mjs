// The link opens the maker's page in a new tab, which cannot reach back to the game.
import { assert, box, check, main } from './game.mjs';

await check(process.argv[2], {}, async ({ context, page }) => {
  const address = 'https://www.fernwick.example/';
  await context.route(address,
    (route) => route.fulfill({ contentType: 'text/html', body: 'maker' }));
  const link = await box(page, main);
  const [tab] = await Promise.all([
    context.waitForEvent('page'),
    page.mouse.click(link.x + (1920 + 60) / 15, link.y + (2880 + 60) / 15),
  ]);
  await tab.waitForLoadState();
  assert.equal(tab.url(), address);
  assert.equal(await tab.evaluate(() => window.opener), null);
});
