// SPDX-License-Identifier: MIT
// The web edition in headless browsers: what the pupil sees, hears and can do, by mouse, finger
// and keyboard, from the served site and from the single file. Every case runs in Chromium; the
// lesson's own cases also in Firefox and WebKit. One case a run, so each shows in the ctest log
// under its own sentence.
//   node lesson.test.mjs --list                                 ENGINE, EDITION and CASE a line
//   node lesson.test.mjs SITE SINGLE_FILE ENGINE EDITION "CASE"  runs one

import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, readFileSync, rmSync, statSync, utimesSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

// Where the controls are (form pixels) and what the pictures show there, read off the stored
// form and its pictures: a picture pixel (x, y) sits at the area's corner + frame + (x, y).
const kFrame = 2;
const at = (area, x, y) => [area.x + kFrame + x, area.y + kFrame + y];
const kArea = {
  Label1: { x: 192, y: 0, width: 281, height: 33 },
  Picture1: { x: 200, y: 272, width: 273, height: 233 },
  Picture2: { x: 192, y: 64, width: 209, height: 201 },
  Picture3: { x: 184, y: 48, width: 241, height: 217 },
  Picture4: { x: 216, y: 272, width: 257, height: 233 },
  Command1: { x: 512, y: 72, width: 81, height: 33 },
};
const centre = (name) => [kArea[name].x + (kArea[name].width >> 1), kArea[name].y + (kArea[name].height >> 1)];

const kBlack = [0, 0, 0];
const kWhite = [255, 255, 255];
const kRed = [255, 0, 0];
const kFace = [212, 208, 200];

// What the live region says, by the words that carry the meaning.
const kHeard = {
  bound: /substrate is bound.*complex/i,
  released: /products are released.*enzyme is back.*unchanged/i,
  reset: /starts again/i,
  missed: /not on the enzyme.*nothing changed/i,
  cancelled: /nothing changed/i,
  pickedUp: /substrate picked up.*enzyme is below.*down arrow/i,
  over: /over the enzyme.*space/i,
};

async function open(browser, url, { withoutWebAssembly = false, page = null } = {}) {
  page ??= await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  if (withoutWebAssembly) await page.evaluateOnNewDocument(() => { delete window.WebAssembly; });
  await page.goto(url);
  if (!withoutWebAssembly) await page.waitForSelector('body[data-ready]', { timeout: 15000 });
  const box = await page.$eval('#Form1', (e) => { const r = e.getBoundingClientRect(); return [r.left, r.top]; });
  const toPage = ([x, y]) => [box[0] + x, box[1] + y];
  return { page, errors, toPage };
}

const shown = (page) => page.$$eval('#Form1 [data-control]', (all) => all.filter((e) => !e.hidden).map((e) => e.id).sort());
const heard = async (page) => {
  await page.waitForFunction(() => document.getElementById('announcer').textContent !== '', { timeout: 2000 });
  return page.$eval('#announcer', (e) => e.textContent);
};
const kApart = ['Command1', 'Label1', 'Picture1', 'Picture2'];
const kBound = ['Command1', 'Label1', 'Picture4'];
const kReleased = ['Command1', 'Label1', 'Picture1', 'Picture3'];

// The colours of page points from a screenshot (browser.mjs), set once that module has loaded.
let pixels;

async function expectPixels(page, toPage, table) {
  const got = await pixels(page, toPage, table.map((row) => row[1]));
  table.forEach(([what, , colour], i) => assert.deepEqual(got[i], colour, `${what} at ${table[i][1]}`));
}

async function mouseDrag({ page, toPage }, from, to) {
  await page.mouse.move(...toPage(from));
  await page.mouse.down();
  const steps = 8;
  for (let i = 1; i <= steps; ++i) {
    await page.mouse.move(...toPage([from[0] + (to[0] - from[0]) * i / steps, from[1] + (to[1] - from[1]) * i / steps]));
  }
  await page.mouse.up();
}

async function touchDrag({ page, toPage }, from, to) {
  await page.touchscreen.touchStart(...toPage(from));
  for (let i = 1; i <= 8; ++i) {
    await page.touchscreen.touchMove(...toPage([from[0] + (to[0] - from[0]) * i / 8, from[1] + (to[1] - from[1]) * i / 8]));
  }
  await page.touchscreen.touchEnd();
}

async function tap({ page, toPage }, p) {
  await page.touchscreen.touchStart(...toPage(p));
  await page.touchscreen.touchEnd();
}

// A key by its name (' ' for Space, which every driver knows by that).
const press = async (page, key, times = 1) => { for (let i = 0; i < times; ++i) await page.keyboard.press(key); };
const focused = (page) => page.evaluate(() => document.activeElement?.id ?? '');

const cases = {
  async 'the start screen shows the heading, the substrate above the enzyme and Reset, drawn 1:1'(browser, url) {
    const lesson = await open(browser, url);
    const { page, toPage } = lesson;
    assert.equal(await page.title(), 'Tessivar');
    const layout = await page.evaluate(() => {
      const form = document.getElementById('Form1').getBoundingClientRect();
      return Object.fromEntries([...document.querySelectorAll('#Form1 [data-control]')].map((e) => {
        const hidden = e.hidden;
        e.hidden = false;
        const r = e.getBoundingClientRect();
        e.hidden = hidden;
        return [e.id, { x: r.left - form.left, y: r.top - form.top, width: r.width, height: r.height }];
      }).concat([['Form1', { width: form.width, height: form.height }]]));
    });
    assert.deepEqual(layout, { ...kArea, Form1: { width: 663, height: 510 } });
    assert.deepEqual(await shown(page), kApart);
    assert.equal(await page.$eval('#Command1', (e) => `${e.tagName} ${e.textContent}`), 'BUTTON Reset');
    assert.match(await page.$eval('#Label1', (e) => getComputedStyle(e).fontFamily), /^"?Comic Sans MS"?, "?Comic Neue"?, cursive$/);
    assert.equal(await focused(page), 'Picture1');
    await expectPixels(page, toPage, [
      ['form background', [20, 20], kBlack],
      ['heading background', [190 + 281, 30], kBlack],
      ['substrate ground', at(kArea.Picture2, 5, 5), kWhite],
      ['substrate block', at(kArea.Picture2, 30, 60), kRed],
      ['substrate tab', at(kArea.Picture2, 100, 190), kRed],
      ['substrate white strip right of its picture', at(kArea.Picture2, 204, 100), kWhite],
      ['enzyme block, lower half of its picture', at(kArea.Picture1, 30, 120), kBlack],
      ['enzyme notch', at(kArea.Picture1, 100, 140), kWhite],
      ['enzyme ground above the block', at(kArea.Picture1, 100, 50), kWhite],
      ['enzyme strip right of its picture', at(kArea.Picture1, 230, 100), kFace],
      ['enzyme strip below its picture', at(kArea.Picture1, 100, 215), kFace],
      ['where the products would be, hidden', [kArea.Picture3.x + 10, kArea.Picture3.y + 10], kBlack],
      ['Reset face', [kArea.Command1.x + 6, kArea.Command1.y + 16], kFace],
    ]);
    // The heading's caption is drawn in white on the black band.
    const caption = await pixels(page, toPage, Array.from({ length: 60 }, (_, i) => [200 + i, 16]));
    assert.ok(caption.some((c) => c[0] > 200), 'white caption pixels in the heading');
    assert.deepEqual(lesson.errors, []);
  },

  async 'a mouse drop on the background, heading, Reset or the substrate itself changes nothing'(browser, url) {
    const lesson = await open(browser, url);
    const from = centre('Picture2');
    for (const [where, to] of [['background', [60, 400]], ['heading', [300, 15]], ['Reset', centre('Command1')],
      ['substrate itself', from], ['outside the page', [700, 560]]]) {
      await mouseDrag(lesson, from, to);
      assert.deepEqual(await shown(lesson.page), kApart, `drop on the ${where}`);
      assert.match(await heard(lesson.page), kHeard.missed, `drop on the ${where}`);
    }
    assert.equal(await lesson.page.$eval('#outline', (e) => e.hidden), true);
  },

  async 'a mouse drop anywhere on the enzyme binds, its background strips included'(browser, url) {
    for (const [where, picturePoint] of [['right strip', [240, 20]], ['strip below', [20, 220]], ['block', [40, 130]]]) {
      const lesson = await open(browser, url);
      const { page, toPage } = lesson;
      const from = centre('Picture2');
      const to = at(kArea.Picture1, ...picturePoint);
      // Half way the outline follows the pointer at the grab offset, and the substrate stays put.
      await page.mouse.move(...toPage(from));
      await page.mouse.down();
      await page.mouse.move(...toPage([from[0] + 7, from[1] + 33]));
      const ring = await page.$eval('#outline', (e) => [e.hidden, e.offsetLeft, e.offsetTop, e.offsetWidth, e.offsetHeight]);
      assert.deepEqual(ring, [false, kArea.Picture2.x + 7, kArea.Picture2.y + 33, kArea.Picture2.width, kArea.Picture2.height]);
      assert.deepEqual(await shown(page), kApart);
      await page.mouse.move(...toPage(to));
      await page.mouse.up();
      assert.deepEqual(await shown(page), kBound, `drop on the enzyme's ${where}`);
      assert.match(await heard(page), kHeard.bound);
      assert.equal(await focused(page), 'Picture4', 'a bind by the mouse puts the focus on the complex');
      await expectPixels(page, toPage, [
        ['complex where the enzyme was', at(kArea.Picture4, 30, 130), kBlack],
        ['substrate seated on it', at(kArea.Picture4, 60, 50), kRed],
        ['upper area, only the background', centre('Picture2'), kBlack],
      ]);
      await page.close();
    }
  },

  async 'a finger drags the substrate onto the enzyme, and a tap on the complex releases the products'(browser, url) {
    const lesson = await open(browser, url);
    const { page, toPage } = lesson;
    await touchDrag(lesson, centre('Picture2'), centre('Picture1'));
    assert.deepEqual(await shown(page), kBound);
    assert.equal(await page.evaluate(() => window.scrollY), 0, 'the page did not scroll');
    await tap(lesson, centre('Picture4'));
    assert.deepEqual(await shown(page), kReleased);
    assert.match(await heard(page), kHeard.released);
    await expectPixels(page, toPage, [
      ['products, left bar', at(kArea.Picture3, 40, 80), kRed],
      ['enzyme back below', at(kArea.Picture1, 30, 120), kBlack],
    ]);
    await tap(lesson, centre('Command1'));
    assert.deepEqual(await shown(page), kApart);
    assert.match(await heard(page), kHeard.reset);
  },

  async 'a double-click on the complex acts as one click'(browser, url) {
    const lesson = await open(browser, url);
    const { page, toPage } = lesson;
    await mouseDrag(lesson, centre('Picture2'), centre('Picture1'));
    assert.deepEqual(await shown(page), kBound);
    await page.mouse.click(...toPage(centre('Picture4')), { count: 2 });
    assert.deepEqual(await shown(page), kReleased);
    await page.mouse.click(...toPage(centre('Command1')));
    assert.deepEqual(await shown(page), kApart);
  },

  async 'the keyboard plays the whole lesson and the live region says each step'(browser, url) {
    const { page } = await open(browser, url);
    const order = [await focused(page)];
    for (let i = 0; i < 2; ++i) { await press(page, 'Tab'); order.push(await focused(page)); }
    await page.keyboard.down('Shift');
    await press(page, 'Tab');
    await page.keyboard.up('Shift');
    order.push(await focused(page));
    assert.deepEqual(order, ['Picture1', 'Picture2', 'Command1', 'Picture2'], 'Tab skips the hidden pictures');
    await press(page, ' ');
    assert.match(await heard(page), kHeard.pickedUp);
    await press(page, 'Escape');
    assert.match(await heard(page), kHeard.cancelled);
    assert.equal(await page.$eval('#outline', (e) => e.hidden), true);
    await press(page, ' ');
    await press(page, 'ArrowDown', 2);
    await page.keyboard.down('Shift');
    await press(page, 'ArrowDown', 3);
    await page.keyboard.up('Shift');
    assert.equal(await page.$eval('#outline', (e) => e.offsetTop), kArea.Picture2.y + 23, '10 px, and 1 px with Shift');
    await press(page, 'ArrowDown', 20);
    assert.match(await heard(page), kHeard.over);
    await press(page, ' ');
    assert.deepEqual(await shown(page), kBound);
    assert.match(await heard(page), kHeard.bound);
    assert.equal(await focused(page), 'Picture4');
    await press(page, 'Enter');
    assert.deepEqual(await shown(page), kReleased);
    assert.match(await heard(page), kHeard.released);
    assert.equal(await focused(page), 'Command1');
    await press(page, ' ');
    assert.deepEqual(await shown(page), kApart);
    assert.match(await heard(page), kHeard.reset);
  },

  async 'screen readers find the shown pictures by name and not the hidden ones'(browser, url) {
    const { page, toPage } = await open(browser, url);
    const tree = async () => {
      const nodes = [];
      const walk = (node) => { nodes.push(node); (node.children ?? []).forEach(walk); };
      walk(await page.accessibility.snapshot({ interestingOnly: true }));
      return nodes;
    };
    const named = async () => Object.fromEntries((await tree()).filter((n) => n.name).map((n) => [n.name, n]));
    let nodes = await named();
    assert.equal(nodes.Enzyme?.role, 'image');
    assert.match(nodes.Enzyme.description, /notch/);
    assert.equal(nodes.Substrate?.role, 'button');
    assert.equal(nodes.Substrate.roledescription ?? await page.$eval('#Picture2', (e) => e.getAttribute('aria-roledescription')), 'draggable item');
    assert.match(nodes.Substrate.description, /press Space to pick it up/i);
    assert.equal(nodes.Reset?.role, 'button');
    assert.equal(nodes.Products, undefined);
    assert.equal(nodes['Enzyme\u2013substrate complex'], undefined);
    assert.equal(await page.$eval('#announcer', (e) => e.getAttribute('aria-live')), 'polite');
    await mouseDrag({ page, toPage }, centre('Picture2'), centre('Picture1'));
    nodes = await named();
    assert.equal(nodes['Enzyme\u2013substrate complex']?.role, 'button');
    assert.equal(nodes.Enzyme, undefined);
    assert.equal(nodes.Substrate, undefined);
  },

  async 'a handler that fails shows the Velmora error box and ends the lesson'(browser, url) {
    const lesson = await open(browser, url);
    const { page, toPage } = lesson;
    await mouseDrag(lesson, centre('Picture2'), centre('Picture1'));
    // The products' element refuses to be shown: releasing them fails half-way.
    await page.$eval('#Picture3', (e) => Object.defineProperty(e, 'hidden', {
      get() { return true; }, set() { throw new Error('refused'); },
    }));
    await page.mouse.click(...toPage(centre('Picture4')));
    const box = await page.$eval('#error-box', (e) => [e.open, e.querySelector('h2').textContent, e.querySelector('p').textContent]);
    assert.equal(box[0], true, 'the box is open');
    assert.equal(box[1], 'Velmora');
    assert.match(box[2], /^Run-time error '-?\d+':\s+.*Visible/);
    assert.equal(await page.$$eval('dialog[open]', (d) => d.length), 1, 'one box');
    await page.keyboard.press('Enter');
    assert.equal(await page.$eval('#error-box', (e) => e.open), false);
    assert.equal(await page.$eval('#Form1', (e) => e.inert), true, 'the form is disabled');
    assert.match(await page.$eval('#notice', (e) => (e.hidden ? '' : e.textContent)), /stopped/);
    const before = await shown(page);
    await page.evaluate(() => document.getElementById('Command1').click());
    assert.deepEqual(await shown(page), before, 'nothing works after the error');
    assert.deepEqual(lesson.errors, []);
  },

  async 'a browser without WebAssembly gets a plain sentence, not a blank page'(browser, url) {
    const { page } = await open(browser, url, { withoutWebAssembly: true });
    await page.waitForFunction(() => !document.getElementById('notice').classList.contains('pending'), { timeout: 5000 });
    const text = await page.$eval('#notice', (e) => (e.hidden ? '' : e.innerText));
    assert.match(text, /needs a browser with .*WebAssembly/);
    assert.equal(await page.$eval('#Form1', (e) => e.hidden), true);
  },

  async 'the single file asks for nothing but data: URLs, from the disk and inside a frame of a served page'(browser, url, { singleFile, serve }) {
    assert.ok(statSync(singleFile).size <= 200_000, `velmora.html is ${statSync(singleFile).size} bytes`);
    const foreign = (asked, own) => asked.filter((u) => !own.includes(u) && !/^(data|blob):/.test(u));
    const fromDisk = await browser.newPage();
    const askedFromDisk = [];
    fromDisk.on('request', (request) => askedFromDisk.push(request.url()));
    await open(browser, url, { page: fromDisk });
    assert.deepEqual(foreign(askedFromDisk, [url]), []);

    const dir = mkdtempSync(join(tmpdir(), 'velmora-frame-'));
    cpSync(singleFile, join(dir, 'lesson.html'));
    writeFileSync(join(dir, 'index.html'), '<!doctype html><title>A course</title><link rel="icon" href="data:,"><p>The lesson:</p>\n' +
      '<iframe src="lesson.html" width="700" height="560"></iframe>\n');
    const server = await serve(dir);
    try {
      const page = await browser.newPage();
      const asked = [];
      page.on('request', (request) => asked.push(request.url()));
      await page.goto(server.url);
      const frame = await (await page.$('iframe')).contentFrame();
      await frame.waitForSelector('body[data-ready]', { timeout: 15000 });
      const inFrame = await page.$eval('iframe', (e) => { const r = e.getBoundingClientRect(); return [r.left + e.clientLeft, r.top + e.clientTop]; });
      const form = await frame.$eval('#Form1', (e) => { const r = e.getBoundingClientRect(); return [r.left, r.top]; });
      const toPage = ([x, y]) => [inFrame[0] + form[0] + x, inFrame[1] + form[1] + y];
      await mouseDrag({ page, toPage }, centre('Picture2'), centre('Picture1'));
      assert.deepEqual(await shown(frame), kBound);
      assert.deepEqual(foreign(asked, [server.url, `${server.url}lesson.html`]), []);
    } finally {
      await server.close();
      rmSync(dir, { recursive: true, force: true });
    }
  },

  async 'after one visit the lesson loads and binds with the server gone, and a new version is the one kept'(browser, url, { site, serve }) {
    const dir = mkdtempSync(join(tmpdir(), 'velmora-offline-'));
    cpSync(site, dir, { recursive: true });
    const server = await serve(dir);
    try {
      const first = await open(browser, server.url);
      assert.equal(await first.page.evaluate(async () => (await navigator.serviceWorker.ready).active !== null), true);
      // A new version of the page on the server (newer than the kept copy).
      const index = join(dir, 'index.html');
      writeFileSync(index, readFileSync(index, 'utf8').replace('<title>', '<meta name="edition" content="second">\n<title>'));
      utimesSync(index, new Date(), new Date(Date.now() + 10_000));
      const edition = (page) => page.evaluate(() => document.querySelector('meta[name="edition"]')?.content ?? 'first');
      const second = await open(browser, server.url);
      assert.equal(await edition(second.page), 'second', 'the next visit shows the new version');
      await server.close();
      const offline = await open(browser, server.url);
      assert.equal(await edition(offline.page), 'second', 'the new version replaced the kept one');
      await mouseDrag(offline, centre('Picture2'), centre('Picture1'));
      assert.deepEqual(await shown(offline.page), kBound);
      assert.deepEqual([...first.errors, ...second.errors, ...offline.errors], []);
    } finally {
      await server.close();
      rmSync(dir, { recursive: true, force: true });
    }
  },

  async 'a first visit transfers at most 150 KB from a plain server, and Chromium can install the lesson as Tessivar'(browser, url, { site, serve }) {
    const server = await serve(site);
    try {
      const { page } = await open(browser, server.url);
      await page.evaluate(() => navigator.serviceWorker.ready);
      const cdp = await page.createCDPSession();
      assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
      assert.equal(JSON.parse((await cdp.send('Page.getAppManifest')).data).name, 'Tessivar');
      assert.ok(server.sent() <= 150_000, `${server.sent()} bytes, the service worker's included`);
    } finally {
      await server.close();
    }
  },
};

// Where each case runs: the lesson's own cases in every engine; the rest in Chromium only. Each
// case runs against the served site and the single file, but for those about one of them.
const kEveryEngine = new Set([
  'the start screen shows the heading, the substrate above the enzyme and Reset, drawn 1:1',
  'a mouse drop anywhere on the enzyme binds, its background strips included',
  'a finger drags the substrate onto the enzyme, and a tap on the complex releases the products',
  'a double-click on the complex acts as one click',
  'the keyboard plays the whole lesson and the live region says each step',
]);
const kOneEdition = {
  'the single file asks for nothing but data: URLs, from the disk and inside a frame of a served page': 'single file',
  'after one visit the lesson loads and binds with the server gone, and a new version is the one kept': 'served site',
  'a first visit transfers at most 150 KB from a plain server, and Chromium can install the lesson as Tessivar': 'served site',
};
const kEngineNames = { chromium: 'Chromium', firefox: 'Firefox', webkit: 'WebKit' };

const args = process.argv.slice(2);
if (args[0] === '--list') {
  for (const engine of Object.keys(kEngineNames)) {
    for (const edition of ['served site', 'single file']) {
      for (const name of Object.keys(cases)) {
        if ((engine === 'chromium' || kEveryEngine.has(name)) && (kOneEdition[name] ?? edition) === edition) {
          console.log(`${engine}\t${kEngineNames[engine]}, ${edition}\t${name}`);
        }
      }
    }
  }
} else {
  const [site, singleFile, engine, edition, name] = args;
  if (!cases[name] || !kEngineNames[engine]) {
    console.error(`no such case: ${engine} ${name}`);
    process.exit(2);
  }
  const browserModule = await import('./browser.mjs').catch((error) => {
    console.error(`puppeteer-core is not installed: run "npm ci" in web/ (scripts/setup test does)\n${error.message}`);
    process.exit(1);
  });
  const { serve, launch } = browserModule;
  pixels = browserModule.pixels;
  const server = await serve(site);
  let browser;
  try {
    browser = await launch(engine);
    const url = edition.endsWith('single file') ? pathToFileURL(singleFile).href : server.url;
    await cases[name](browser, url, { site, singleFile, serve });
    console.log(`passed: ${name}`);
  } catch (error) {
    console.error(`failed: ${name}\n${error.stack ?? error}`);
    process.exitCode = 1;
  } finally {
    await browser?.close();
    await server.close();
  }
}
