// Drives Chromium through the test site with a fresh profile so that its
// disk cache holds what a person's visit leaves there: the home page and
// everything it loads, both language versions of page2, the redirect, and a
// reload of the home page that the server answers with 304s.
//
//   node browse_with_chromium.mjs BASE_URL PROFILE_DIR
//
// Closes the browser cleanly so the cache is flushed to disk. Prints the
// browser's version on stdout.
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
// playwright-core is installed once, for the end-to-end tests.
const require = createRequire(path.join(here, '../e2e/package.json'));
const { chromium } = require('playwright-core');

const [base, profile] = process.argv.slice(2);
const context = await chromium.launchPersistentContext(profile, {
  executablePath: process.env.WEBHOARD_CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const page = context.pages()[0] || await context.newPage();
for (const address of ['/index.html', '/page2.html?lang=en', '/page2.html?lang=fr',
                       '/old.html']) {
  await page.goto(base + address, { waitUntil: 'load' });
}
await page.goto(base + '/index.html', { waitUntil: 'load' });
await page.reload({ waitUntil: 'load' });
// Give the cache a moment to write the last entries before the browser goes.
await page.waitForTimeout(1000);
console.log(`Chromium ${context.browser()?.version() ?? ''}`.trim());
await context.close();
