// Served as scripts/web.sh serves it, with the strict content policy as a header: the page
// plays, drags, quits and starts again, and the browser refuses nothing of it.
import { assert, box, check, clickCell, dragTo, firstFrame, frame, main, painted }
  from './game.mjs';

await check(process.argv[2], { host: true }, async ({ page, url }) => {
  const refused = [];
  page.on('console', (m) => {
    if (/Content.Security.Policy/i.test(m.text())) refused.push(m.text());
  });
  const policy = (await page.request.get(url)).headers()['content-security-policy'];
  assert.equal(policy, "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'");
  await page.reload();
  await firstFrame(page);

  await dragTo(page, 500, 400);
  const b = await box(page, main);
  assert.deepEqual([b.x, b.y], [500, 400]);
  await clickCell(page, 4);
  await frame(page);
  assert.equal((await painted(page)).board, '....#....');

  await page.mouse.click(b.x + 100, b.y + 178, { button: 'right' });
  await page.locator('dialog[data-messagebox]').getByText('Yes').click();
  await Promise.all([page.waitForEvent('load'),
    page.locator('[data-ended]').getByText('Start again').click()]);
  await firstFrame(page);
  await frame(page);
  assert.equal((await painted(page)).board, '.........');
  assert.deepEqual(refused, []);
});
