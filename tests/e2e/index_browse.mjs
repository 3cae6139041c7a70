// Opens a generated archive's index in headless Chromium and follows every
// link and image of the frame set, the domain list, every domain's pages and
// the archived pages. Fails on a local file that does not load, an image
// that does not decode, a link whose TARGET names no frame, and a forwarding
// page that does not land on the page it names.
//
//   node index_browse.mjs <make_e2e_archive program> <work folder>
//
// Screenshots of the frame set and of a thumbnail page go to
// docs/screenshots/ when WEBHOARD_SCREENSHOTS=1.
import { chromium } from 'playwright-core';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const [maker, work] = process.argv.slice(2);
if (!maker || !work) {
  console.error('usage: node index_browse.mjs <make_e2e_archive> <work folder>');
  process.exit(2);
}
const here = path.dirname(fileURLToPath(import.meta.url));
const screenshots = path.resolve(here, '../../docs/screenshots');
const problems = [];
const problem = (text) => { problems.push(text); console.error('PROBLEM: ' + text); };

fs.rmSync(work, { recursive: true, force: true });
fs.mkdirSync(work, { recursive: true });
const profile = fs.mkdtempSync(path.join(work, 'profile-'));

const context = await chromium.launchPersistentContext(profile, {
  executablePath: process.env.WEBHOARD_CHROMIUM || '/usr/bin/chromium',
  headless: true,
  viewport: { width: 1100, height: 700 },
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         '--allow-file-access-from-files'],
});
// Nothing leaves the machine: live links are checked for their form, never
// fetched.
await context.route(/^(?!file:)/, (route) => route.abort());
const page = context.pages()[0] || await context.newPage();

// A real JFIF picture from the browser's own encoder.
await page.setContent('<canvas id=c width=320 height=200></canvas>');
const jpegBase64 = await page.evaluate(() => {
  const c = document.getElementById('c');
  const g = c.getContext('2d');
  const sky = g.createLinearGradient(0, 0, 0, 200);
  sky.addColorStop(0, '#2050a0');
  sky.addColorStop(1, '#f0b060');
  g.fillStyle = sky;
  g.fillRect(0, 0, 320, 200);
  g.fillStyle = '#203010';
  g.fillRect(0, 150, 320, 50);
  g.fillStyle = '#fff0a0';
  g.beginPath();
  g.arc(220, 140, 30, 0, Math.PI * 2);
  g.fill();
  return c.toDataURL('image/jpeg', 0.9).split(',')[1];
});
const jpeg = Buffer.from(jpegBase64, 'base64');
if (!(jpeg[0] === 0xff && jpeg[1] === 0xd8 && jpeg[2] === 0xff && jpeg[3] === 0xe0 &&
      jpeg.toString('latin1', 6, 11) === 'JFIF\0')) {
  problem('the browser made no JFIF file');
}
const jpegPath = path.join(work, 'photo.jpg');
fs.writeFileSync(jpegPath, jpeg);

const made = spawnSync(maker, [work, jpegPath], { encoding: 'utf8' });
if (made.status !== 0) {
  console.error(made.stdout, made.stderr);
  process.exit(1);
}
const entry = made.stdout.trim();
const archive = path.dirname(entry);
const frameNames = new Set(['DOMAINS', 'FILES']);
const specialTargets = new Set(['', '_top', '_self', '_parent', '_blank']);

const isLocal = (url) => url.startsWith('file:');
const fileOf = (url) => fileURLToPath(url.split('#')[0].split('?')[0]);
const forwardOf = (file) => {
  const text = fs.readFileSync(file, 'latin1');
  const m = /<META HTTP-EQUIV=REFRESH CONTENT="0; URL=([^"]+)">/i.exec(text);
  return m ? path.join(path.dirname(file), m[1]) : null;
};
// Where a page ends up after its forwarding chain.
const chained = new Set();
const landing = (file) => {
  const seen = new Set();
  for (let f = file, next; ; f = next) {
    if (seen.has(f)) { problem('forwarding loop at ' + f); return f; }
    seen.add(f);
    chained.add(f);
    next = forwardOf(f);
    if (!next) return f;
  }
};

async function describe(frame) {
  return frame.evaluate(() => {
    const base = document.querySelector('base[target]');
    const baseTarget = base ? base.getAttribute('target') : '';
    return {
      links: [...document.querySelectorAll('a[href]')].map((a) => ({
        href: a.href,
        target: a.hasAttribute('target') ? a.getAttribute('target') : baseTarget,
      })),
      images: [...document.images].map((i) => ({ src: i.src, ok: i.complete && i.naturalWidth > 0 })),
      frames: [...document.querySelectorAll('frame')].map((f) => ({ src: f.src, name: f.name })),
    };
  });
}

// Crawl: every local page reachable from the entry page.
const queue = [pathToFileURL(entry).href];
const visited = new Set();
let pagesSeen = 0, imagesSeen = 0, linksSeen = 0;
while (queue.length > 0) {
  const url = queue.shift();
  const key = url.split('#')[0];
  if (visited.has(key)) continue;
  visited.add(key);
  const file = fileOf(url);
  if (!fs.existsSync(file)) { problem('missing local file ' + file); continue; }
  if (!/\.html?$/i.test(file)) {
    // Archived pictures, sounds and files: they exist; pictures are checked
    // where pages show them.
    continue;
  }
  const failed = [];
  const onFailed = (request) => { if (isLocal(request.url())) failed.push(request.url()); };
  page.on('requestfailed', onFailed);
  const expected = landing(file);
  await page.goto(url, { waitUntil: 'load' });
  if (expected !== file) {
    await page.waitForURL(pathToFileURL(expected).href, { timeout: 5000 }).catch(() => {});
    if (fileOf(page.url()) !== expected) {
      problem(`${file} forwards to ${fileOf(page.url())}, not ${expected}`);
    }
    await page.waitForLoadState('load');
  }
  page.off('requestfailed', onFailed);
  for (const f of failed) problem(`${f} did not load (from ${file})`);
  pagesSeen++;
  for (const frame of page.frames()) {
    const { links, images, frames } = await describe(frame);
    for (const fr of frames) {
      if (!frameNames.has(fr.name)) problem(`frame ${fr.name} in ${file}`);
      if (isLocal(fr.src)) queue.push(fr.src);
    }
    for (const img of images) {
      imagesSeen++;
      if (isLocal(img.src) && !img.ok) problem(`image ${img.src} does not decode (on ${frame.url()})`);
    }
    for (const link of links) {
      linksSeen++;
      if (!specialTargets.has(link.target) && !frameNames.has(link.target)) {
        problem(`link to ${link.href} on ${frame.url()} targets ${link.target}, no frame`);
      }
      if (isLocal(link.href)) queue.push(link.href);
      else if (!/^https?:\/\//.test(link.href)) problem(`link ${link.href} on ${frame.url()}`);
    }
  }
}

// The frame set as a user works it: each domain, then each type button.
await page.goto(pathToFileURL(entry).href, { waitUntil: 'load' });
const domains = page.frame({ name: 'DOMAINS' });
const files = () => page.frame({ name: 'FILES' });
if (!domains || !files()) problem('the frame set has no DOMAINS or FILES frame');
if (process.env.WEBHOARD_SCREENSHOTS === '1') {
  fs.mkdirSync(screenshots, { recursive: true });
}
let shotTaken = false;
const domainLinks = await domains.$$eval('a[href]', (as) => as.map((a) => a.href));
for (let i = 0; i < domainLinks.length; i++) {
  await domains.locator('a[href]').nth(i).click();
  const expected = landing(fileOf(domainLinks[i]));
  await files().waitForURL(pathToFileURL(expected).href, { timeout: 5000 }).catch(() => {});
  if (fileOf(files().url()) !== expected) {
    problem(`domain link ${domainLinks[i]} shows ${files().url()}, not ${expected}`);
    continue;
  }
  const buttons = await files().$$eval('a[target=FILES]', (as) => as.map((a) => a.href));
  for (let b = 0; b < buttons.length; b++) {
    const href = buttons[b];
    await files().locator('a[target=FILES]').nth(b).click();
    const want = landing(fileOf(href));
    await files().waitForURL(pathToFileURL(want).href, { timeout: 5000 }).catch(() => {});
    if (fileOf(files().url()) !== want) {
      problem(`button ${href} shows ${files().url()}, not ${want}`);
    }
    if (/thumbnail_index\.htm$/.test(want) && process.env.WEBHOARD_SCREENSHOTS === '1' &&
        /pics\.example\.net/.test(want) && !shotTaken) {
      await files().waitForLoadState('load');
      await page.screenshot({ path: path.join(screenshots, 'thumbnail_page.png') });
      shotTaken = true;
    }
  }
}
if (process.env.WEBHOARD_SCREENSHOTS === '1') {
  await page.goto(pathToFileURL(entry).href, { waitUntil: 'load' });
  await page.screenshot({ path: path.join(screenshots, 'frame_set.png') });
}

await context.close();
console.log(`${pagesSeen} pages, ${imagesSeen} images, ${linksSeen} links checked in ${archive}`);
// Every page with content must have been reached, directly or at the end of
// a forwarding chain. Unlinked are only the empty other and thumbnail pages
// and forwarding pages of empty types, whose buttons are grey.
const reached = new Set([...visited].filter(isLocal).map(fileOf));
const walk = (folder) => {
  for (const e of fs.readdirSync(folder, { withFileTypes: true })) {
    const f = path.join(folder, e.name);
    if (e.isDirectory()) { if (e.name !== 'images') walk(f); continue; }
    if (e.name === 'archive.dat' || fs.statSync(f).size === 0) continue;
    if (/\.htm$/.test(f) && forwardOf(f)) continue;
    if (!reached.has(f) && !chained.has(f)) problem(`${f} is never reached`);
  }
};
walk(archive);
if (problems.length > 0) {
  console.error(`${problems.length} problems`);
  process.exit(1);
}
