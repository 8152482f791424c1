// The quit prompt: a modal dialog that blocks the game; No keeps the board, Yes ends the program.
import { assert, background, check, clickCell, frame, main, painted } from './game.mjs';

await check(process.argv[2], {}, async ({ page }) => {
  await clickCell(page, 4);
  const dialog = page.locator('dialog[data-messagebox]');
  const bg = await background(page);
  await page.mouse.click(bg.x, bg.y, { button: 'right' });
  await dialog.waitFor();
  assert.equal(await dialog.locator('h1').textContent(), 'Attention');
  assert.equal(await dialog.locator('p').textContent(),
    'Are you sure you want to Quit the game?\nAll Game progress will get lost if you proceed!');

  // While it is open nothing else takes input.
  await clickCell(page, 0);
  await dialog.getByText('No').click();
  await dialog.waitFor({ state: 'detached' });
  await frame(page);
  assert.equal((await painted(page)).board, '....#....');

  await page.mouse.click(bg.x, bg.y, { button: 'right' });
  await dialog.getByText('Yes').click();
  await page.locator('[data-ended]').waitFor();
  assert.match(await page.locator('[data-ended]').textContent(), /Gridlark has ended/);
  assert.equal(await page.locator(main).count(), 0);
  assert.equal(await page.evaluate(() => window.tkExitCode), 0);
});
