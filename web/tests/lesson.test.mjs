// SPDX-License-Identifier: MIT
// The web edition in headless Chromium: what the pupil sees, hears and can do, by mouse,
// finger and keyboard. One case a run, so each shows in the ctest log under its own sentence.
//   node lesson.test.mjs --list          the cases, one a line
//   node lesson.test.mjs SITE "CASE"     runs one case against the built site in SITE

import assert from 'node:assert/strict';

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

async function open(browser, url, { withoutWebAssembly = false } = {}) {
  const page = await browser.newPage();
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

// The colours of page points from a screenshot, and another browser (browser.mjs), set once that
// module has loaded.
let pixels;
let launchBrowser;

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
  const cdp = await page.createCDPSession();
  const point = (p) => { const [x, y] = toPage(p); return [{ x, y, id: 1 }]; };
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: point(from) });
  for (let i = 1; i <= 8; ++i) {
    const p = [from[0] + (to[0] - from[0]) * i / 8, from[1] + (to[1] - from[1]) * i / 8];
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: point(p) });
  }
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  return cdp;
}

async function tap(cdp, toPage, p) {
  const [x, y] = toPage(p);
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y, id: 2 }] });
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}

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
    assert.match(await page.$eval('#Label1', (e) => getComputedStyle(e).fontFamily), /^"Comic Sans MS", "Comic Neue", cursive$/);
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
    const cdp = await touchDrag(lesson, centre('Picture2'), centre('Picture1'));
    assert.deepEqual(await shown(page), kBound);
    assert.equal(await page.evaluate(() => window.scrollY), 0, 'the page did not scroll');
    await tap(cdp, toPage, centre('Picture4'));
    assert.deepEqual(await shown(page), kReleased);
    assert.match(await heard(page), kHeard.released);
    await expectPixels(page, toPage, [
      ['products, left bar', at(kArea.Picture3, 40, 80), kRed],
      ['enzyme back below', at(kArea.Picture1, 30, 120), kBlack],
    ]);
    await tap(cdp, toPage, centre('Command1'));
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
    await press(page, 'Space');
    assert.match(await heard(page), kHeard.pickedUp);
    await press(page, 'Escape');
    assert.match(await heard(page), kHeard.cancelled);
    assert.equal(await page.$eval('#outline', (e) => e.hidden), true);
    await press(page, 'Space');
    await press(page, 'ArrowDown', 2);
    await page.keyboard.down('Shift');
    await press(page, 'ArrowDown', 3);
    await page.keyboard.up('Shift');
    assert.equal(await page.$eval('#outline', (e) => e.offsetTop), kArea.Picture2.y + 23, '10 px, and 1 px with Shift');
    await press(page, 'ArrowDown', 20);
    assert.match(await heard(page), kHeard.over);
    await press(page, 'Space');
    assert.deepEqual(await shown(page), kBound);
    assert.match(await heard(page), kHeard.bound);
    assert.equal(await focused(page), 'Picture4');
    await press(page, 'Enter');
    assert.deepEqual(await shown(page), kReleased);
    assert.match(await heard(page), kHeard.released);
    assert.equal(await focused(page), 'Command1');
    await press(page, 'Space');
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

  async 'with ?lang=es the lesson speaks Spanish, draws the Spanish words and says lang="es"'(browser, url) {
    const enzyme = (p) => p.$eval('#Picture1 canvas', (c) => Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data));
    const englishPage = (await open(browser, url)).page;
    const english = await enzyme(englishPage);
    await englishPage.close();
    const lesson = await open(browser, `${url}?lang=es`);
    const { page } = lesson;
    assert.deepEqual(await page.evaluate(() => [document.documentElement.lang, document.documentElement.dir]), ['es', 'ltr']);
    assert.equal(await page.$eval('#Command1', (e) => e.textContent), 'Repetir');
    assert.equal(await page.$eval('#Picture1', (e) => e.getAttribute('aria-label')), 'Enzima');
    // The enzyme's picture differs from the English one on its word's panel (x 58-151, y 159-185), and only there.
    const spanish = await enzyme(page);
    const changed = { panel: 0, elsewhere: 0 };
    for (let i = 0; i < spanish.length; i += 4) {
      const [x, y] = [(i / 4) % 203, Math.floor(i / 4 / 203)];
      if (spanish[i + 1] !== english[i + 1]) ++changed[x >= 58 && x <= 151 && y >= 159 && y <= 185 ? 'panel' : 'elsewhere'];
    }
    assert.ok(changed.panel > 50 && changed.elsewhere === 0, JSON.stringify(changed));
    await mouseDrag(lesson, centre('Picture2'), centre('Picture1'));
    assert.match(await heard(page), /^El sustrato se ha unido a la enzima\./);
    assert.deepEqual(lesson.errors, []);
  },

  async 'a browser whose language is French gets the lesson in French'(browser, url) {
    const french = await launchBrowser({ language: 'fr-FR' });
    try {
      const { page, errors } = await open(french, url);
      assert.equal(await page.evaluate(() => document.documentElement.lang), 'fr');
      assert.equal(await page.$eval('#Command1', (e) => e.textContent), 'Rejouer');
      await press(page, 'F1');
      assert.match(await heard(page), /^L'enzyme et le substrat sont séparés\./);
      assert.deepEqual(errors, []);
    } finally {
      await french.close();
    }
  },

  async 'a browser without WebAssembly gets a plain sentence, not a blank page'(browser, url) {
    const { page } = await open(browser, url, { withoutWebAssembly: true });
    await page.waitForFunction(() => !document.getElementById('notice').classList.contains('pending'), { timeout: 5000 });
    const text = await page.$eval('#notice', (e) => (e.hidden ? '' : e.innerText));
    assert.match(text, /needs a browser with .*WebAssembly/);
    assert.equal(await page.$eval('#Form1', (e) => e.hidden), true);
  },
};

const [site, name] = process.argv.slice(2);
if (site === '--list') {
  for (const caseName of Object.keys(cases)) console.log(caseName);
} else {
  if (!cases[name]) {
    console.error(`no such case: ${name}`);
    process.exit(2);
  }
  const browserModule = await import('./browser.mjs').catch((error) => {
    console.error(`puppeteer-core is not installed: run "npm ci" in web/ (scripts/setup test does)\n${error.message}`);
    process.exit(1);
  });
  const { serve, launch } = browserModule;
  pixels = browserModule.pixels;
  launchBrowser = launch;
  const server = await serve(site);
  const browser = await launch();
  try {
    await cases[name](browser, server.url);
    console.log(`passed: ${name}`);
  } catch (error) {
    console.error(`failed: ${name}\n${error.stack ?? error}`);
    process.exitCode = 1;
  } finally {
    await browser.close();
    server.close();
  }
}
