// Browses our test site in a real Chromium, archives that Chromium's own disk
// cache with `webhoard archive --chromium`, and opens the archived pages
// offline (every request that is not file: is aborted). Fails on a style
// sheet or @import that does not apply, a picture that does not decode or is
// not the archived one, a background that leads nowhere, a frame or script
// that does not load, and a link to an archived page that does not open with
// its style sheet; prints where each link to something not archived leads.
//
//   node modern_offline.mjs <webhoard program> <work folder>
import { chromium } from 'playwright-core';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { serveBrowserSite } from '../interop/serve_browser_site.mjs';

const [webhoard, work] = process.argv.slice(2);
if (!webhoard || !work) {
  console.error('usage: node modern_offline.mjs <webhoard> <work folder>');
  process.exit(2);
}
const problems = [];
const problem = (text) => { problems.push(text); console.error('PROBLEM: ' + text); };
const note = (text) => console.log('note: ' + text);

fs.rmSync(work, { recursive: true, force: true });
const home = path.join(work, 'home');
fs.mkdirSync(home, { recursive: true });
const profile = path.join(work, 'profile');
const archive = path.join(work, 'archive');
const launchOptions = {
  executablePath: process.env.WEBHOARD_CHROMIUM || '/usr/bin/chromium',
  headless: true,
  env: { ...process.env, HOME: home },
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         '--allow-file-access-from-files'],
};

// 1. A user's visit. No request interception here: it would turn the
// browser's cache off.
const answered = new Set();
const revalidated = new Set();
const server = await serveBrowserSite(0, {
  log: (line) => {
    const [status, , address] = line.split(' ');
    if (status === '200') answered.add(address);
    if (status === '304') revalidated.add(address);
  },
});
const site = `http://127.0.0.1:${server.address().port}/`;
const browsing = await chromium.launchPersistentContext(profile, launchOptions);
const tab = browsing.pages()[0] || await browsing.newPage();
for (const address of ['index.html', 'page2.html?lang=en', 'page2.html?lang=fr', 'old.html',
                       'page3.html']) {
  await tab.goto(site + address, { waitUntil: 'load' });
}
// A reload asks again with the ETag: the answers are 304 and the cache keeps
// its 200 responses, now with the headers merged in.
await tab.goto(site + 'index.html', { waitUntil: 'load' });
await tab.reload({ waitUntil: 'load' });
await browsing.close();

// 2. The archive run, with settings and home of its own.
const env = { ...process.env, HOME: home, WEBHOARD_CONFIG_DIR: path.join(work, 'config') };
const run = spawnSync(webhoard, ['archive', '--chromium', profile, '--to', archive, '--yes'],
                      { encoding: 'utf8', env });
server.close();
process.stderr.write(run.stderr);
if (run.status !== 0) {
  console.error(`webhoard archive ended with ${run.status}`);
  process.exit(1);
}
const indexPage = run.stdout.trim();

// Every answer of 200 the browser got is archived; the catalogue names its
// copy, and pages lie in the domain's text folder.
const catalogue = spawnSync(webhoard, ['catalog', archive], { encoding: 'utf8', env });
const copies = new Map(catalogue.stdout.split('\n').filter(Boolean).map((line) => {
  const [, , , url, , name] = line.split('\t');
  return [url.replace(/^http:\/\/127\.0\.0\.1:\d+/, ''), name];
}));
note(`archived: ${[...copies.keys()].sort().join(' ')}`);
note(`revalidated (304): ${[...revalidated].sort().join(' ')}`);
for (const address of answered) {
  if (!copies.has(address)) problem(`${address} was answered with 200 but is not in the archive`);
}
const index = copies.has('/index.html') && path.join(archive, '127.0.0.1', 'text',
                                                      copies.get('/index.html'));

// 3. The archive offline.
const browser = await chromium.launch(launchOptions);
const context = await browser.newContext({ viewport: { width: 1000, height: 700 } });
await context.route(/^(?!file:)/, (route) => route.abort());
const page = await context.newPage();
const isLocal = (url) => url.startsWith('file:');
const fileOf = (url) => fileURLToPath(url.split('#')[0].split('?')[0]);
const notFound = (url) => /\/images\/notfound\.gif$|\/notfound\.htm$/.test(url);

async function open(file) {
  const failed = [];
  // A load the next page cut short (the favicon) is no fault of the archive.
  const onFailed = (request) => {
    const error = request.failure()?.errorText;
    if (isLocal(request.url()) && error !== 'net::ERR_ABORTED') {
      failed.push(`${request.url()} (${error})`);
    }
  };
  page.on('requestfailed', onFailed);
  const opened = await page.goto(pathToFileURL(file).href, { waitUntil: 'load' })
    .then(() => true, (error) => { problem(`${file} does not open: ${error.message}`); });
  page.off('requestfailed', onFailed);
  for (const url of failed) problem(`${url} did not load (from ${file})`);
  return opened;
}

// What a frame of an archived page shows and links to.
const describe = (frame) => frame.evaluate(() => {
  const style = (selector, property) => {
    const e = document.querySelector(selector);
    return e ? getComputedStyle(e)[property] : null;
  };
  return {
    text: document.body.innerText,
    background: style('body', 'backgroundColor'),
    heading: style('h1', 'color'),
    scripted: document.body.dataset.scripted || null,
    scripts: [...document.scripts].map((s) => s.src).filter(Boolean),
    images: [...document.images].map((i) => ({ id: i.id, src: i.currentSrc,
                                               ok: i.complete && i.naturalWidth > 0 })),
    backgrounds: [...document.querySelectorAll('body, [class], [style]')].map((e) => ({
      where: e.id || e.className || e.tagName, image: getComputedStyle(e).backgroundImage })),
    links: [...document.querySelectorAll('a[href]')].map((a) => ({
      id: a.id, text: a.textContent, href: a.href, struck: !!a.querySelector('strike') })),
  };
});

// Checks one archived page and answers its links.
async function checkPage(file, frame, wanted) {
  const where = path.relative(archive, file);
  const seen = await describe(frame);
  if (seen.background !== 'rgb(250, 240, 230)') {
    problem(`${where}: style sheet not applied (body background ${seen.background})`);
  }
  if (wanted.heading && seen.heading !== wanted.heading) {
    problem(`${where}: @import not applied (h1 colour ${seen.heading})`);
  }
  if (wanted.text && !seen.text.includes(wanted.text)) problem(`${where}: no "${wanted.text}"`);
  for (const img of seen.images) {
    if (!img.ok) problem(`${where}: picture ${img.id} (${img.src}) does not decode`);
    else if (!isLocal(img.src) || notFound(img.src)) {
      problem(`${where}: picture ${img.id} shows ${img.src}, not its archived copy`);
    }
  }
  for (const bg of seen.backgrounds) {
    for (const [, url] of bg.image.matchAll(/url\("([^"]*)"\)/g)) {
      if (!isLocal(url) || !fs.existsSync(fileOf(url)) || notFound(url)) {
        problem(`${where}: background of ${bg.where} is ${url}`);
      }
    }
  }
  for (const src of seen.scripts) {
    if (isLocal(src) && fs.existsSync(fileOf(src)) && seen.scripted !== 'yes') {
      problem(`${where}: script ${src} is archived but did not run`);
    }
  }
  for (const link of seen.links) {
    if (isLocal(link.href) && !notFound(link.href)) {
      if (!fs.existsSync(fileOf(link.href))) problem(`${where}: link ${link.href} leads nowhere`);
    } else {
      note(`${where}: link "${link.text}" to something not archived is ${link.href}` +
           (link.struck ? ', struck out' : ''));
      if (!notFound(link.href) && !link.href.startsWith(site)) {
        problem(`${where}: link "${link.text}" leads to ${link.href}`);
      }
    }
  }
  return seen;
}

if (!index) problem('index.html is not in the archive');
if (index) {
  await open(index);
  const seen = await checkPage(index, page.mainFrame(),
                               { heading: 'rgb(0, 51, 102)', text: 'Tide tables' });
  if (seen.scripts.length === 0) note('the archived index.html has no script');
  for (const id of ['sized', 'pictured']) {
    if (!seen.images.some((i) => i.id === id)) problem(`index.html: no picture ${id}`);
  }
  const frame = page.frames().find((f) => f !== page.mainFrame());
  if (!frame || !isLocal(frame.url())) problem(`index.html: frame shows ${frame?.url()}`);
  else await checkPage(fileOf(frame.url()), frame, { text: 'Wind south-west' });

  // The archived pages the index links to, each opened as a reader would.
  const wanted = {
    english: { text: 'High water' }, french: { text: 'Pleine mer' }, news: { text: 'east quay' },
    // old.html is a 301 to page3.html that the cache keeps: the link follows it.
    moved: { text: 'east quay' },
  };
  const followed = new Set([index]);
  const targets = new Map(seen.links.map((l) => [l.id, l.href]));
  if (targets.get('english') === targets.get('french')) {
    problem(`both languages of page2.html lead to ${targets.get('english')}`);
  }
  for (const [id, want] of Object.entries(wanted)) {
    const href = targets.get(id);
    if (!href || !isLocal(href) || notFound(href)) {
      problem(`index.html: link ${id} leads to ${href}, not the archived page`);
      continue;
    }
    if (!await open(fileOf(href))) continue;
    const linked = await checkPage(fileOf(href), page.mainFrame(), want);
    // Their own links (page3.html's root-relative ones too) open as well.
    for (const link of linked.links.filter((l) => isLocal(l.href) && !notFound(l.href))) {
      if (!followed.has(fileOf(link.href))) await open(fileOf(link.href));
      followed.add(fileOf(link.href));
    }
  }
}

// On a screen of twice the density the browser picks other srcset
// candidates: the one not archived must not win over the archived one.
if (index) {
  const sharp = await browser.newContext({ deviceScaleFactor: 2 });
  await sharp.route(/^(?!file:)/, (route) => route.abort());
  const view = await sharp.newPage();
  await view.goto(pathToFileURL(index).href, { waitUntil: 'load' });
  for (const img of await view.$$eval('img', (all) => all.map((i) => ({
    id: i.id, src: i.currentSrc, ok: i.complete && i.naturalWidth > 0 })))) {
    if (!img.ok || notFound(img.src)) problem(`index.html at 2x: ${img.id} shows ${img.src}`);
  }
  await sharp.close();
}

// The archive's own index opens with its frames.
if (!indexPage || !fs.existsSync(indexPage)) {
  problem(`webhoard archive printed no index page (${indexPage})`);
} else {
  await open(indexPage);
  if (page.frames().length < 2) problem(`${indexPage} shows no frames`);
}

await browser.close();
console.log(`${copies.size} archived items checked in ${archive}`);
if (problems.length > 0) {
  console.error(`${problems.length} problems`);
  process.exit(1);
}
