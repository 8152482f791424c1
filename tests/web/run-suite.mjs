// Runs a GoogleTest page in headless Chromium and passes on its output and exit code.
// Usage: run-suite.mjs [--ratio N] build-folder page [test arguments]
import { open } from './browser.mjs';

const args = process.argv.slice(2);
let ratio = 1;
if (args[0] === '--ratio') {
  ratio = Number(args[1]);
  args.splice(0, 2);
}
const [folder, page, ...testArgs] = args;
const session = await open(folder, page, { ratio });
let code = 1;
try {
  session.page.on('console', (m) => console.log(m.text()));
  session.page.on('pageerror', (e) => console.log(`page error: ${e.message}`));
  const query = testArgs.map((a) => 'arg=' + encodeURIComponent(a)).join('&');
  await session.page.goto(session.url + (query ? '?' + query : ''));
  await session.page.waitForFunction(() => window.gridlarkExitCode !== undefined, null,
    { timeout: 150000, polling: 100 });
  code = await session.page.evaluate(() => window.gridlarkExitCode);
} catch (e) {
  console.log(`the suite did not finish: ${e.message}`);
} finally {
  await session.done();
}
process.exit(code);
