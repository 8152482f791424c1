// A won game and the computer's answer, played with the mouse on the real page.
import { assert, box, check, clickCell, dragTo, frame, main, notice, painted } from './game.mjs';

await check(process.argv[2], {}, async ({ page }) => {
  await dragTo(page, 400, 300); // room above for the notice
  for (const i of [0, 3, 1, 4]) await clickCell(page, i);
  await frame(page);
  assert.equal((await painted(page)).board, '##.##....');
  assert.equal((await painted(page)).red, 0);

  const won = Date.now(); // the notice's clock starts at the click, a little after this
  await clickCell(page, 2); // the first mark completes the top row
  await page.locator(notice).waitFor();
  await frame(page);
  const struck = await painted(page);
  assert.equal(struck.board, '#########'.slice(0, 3) + '##....');
  assert.ok(struck.red > 150, `red pixels: ${struck.red}`);
  const m = await box(page, main), n = await box(page, notice);
  assert.deepEqual([n.x, n.y + n.height, n.width, n.height], [m.x, m.y, 188, 58]);

  // The notice clears the board and closes about 1.5 s after it opened.
  await page.locator(notice).waitFor({ state: 'detached', timeout: 5000 });
  const after = Date.now() - won;
  assert.ok(after >= 1400 && after < 2500, `closed after ${after} ms`);
  await frame(page);
  assert.deepEqual(await painted(page), { board: '.........', red: 0 });

  // With "CPU" ticked the computer answers each move at once.
  await page.locator(`${main} [data-control="Check1"]`).click();
  await page.locator(notice).waitFor();
  await page.locator(notice).waitFor({ state: 'detached', timeout: 5000 });
  await clickCell(page, 4);
  await frame(page);
  const { board } = await painted(page);
  assert.equal(board[4], '#');
  assert.equal(board.replaceAll('.', '').length, 2, board);
});
