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
  // Polled: the page's content policy refuses Playwright's waitForFunction.
  for (const end = Date.now() + 150000; ; await new Promise((r) => setTimeout(r, 100))) {
    const exit = await session.page.evaluate(() => window.tkExitCode);
    if (exit !== undefined) {
      code = exit;
      break;
    }
    if (Date.now() > end) throw new Error('no exit code after 150 s');
  }
} catch (e) {
  console.log(`the suite did not finish: ${e.message}`);
} finally {
  await session.done();
}
process.exit(code);
