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
import { join, resolve } from 'node:path';
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

// Where form point `p` is on the page, the form being scaled to fit.
async function formToPage(page) {
  const [left, top, scale] = await page.$eval('#Form1', (e) => {
    const r = e.getBoundingClientRect();
    return [r.left, r.top, r.width / e.offsetWidth];
  });
  return ([x, y]) => [left + x * scale, top + y * scale];
}

async function open(browser, url, { withoutWebAssembly = false, viewport = null, page = null } = {}) {
  page ??= await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  if (viewport) await page.setViewport(viewport);
  if (withoutWebAssembly) await page.evaluateOnNewDocument(() => { delete window.WebAssembly; });
  await page.goto(url);
  if (!withoutWebAssembly) await page.waitForSelector('body[data-ready]', { timeout: 15000 });
  return { page, errors, toPage: await formToPage(page) };
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
// module has loaded; and the engine the case runs in.
let pixels;
let launchBrowser;
let engine;

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

// A touch event with `fingers` ({ id: form point }): touchStart puts the new ids among them down,
// touchMove moves them, touchEnd lifts them (all fingers when none is named), touchCancel takes
// all away.
async function touches(cdp, toPage, type, fingers = {}) {
  const touchPoints = Object.entries(fingers).map(([id, p]) => {
    const [x, y] = toPage(p);
    return { x, y, id: Number(id) };
  });
  await cdp.send('Input.dispatchTouchEvent', { type, touchPoints });
}

// A quick tap. In Chromium both halves are sent at once, as the browser then takes it for a tap
// and follows it with its copies of mouse events, as on a real touch screen (sent one after the
// other, often not); the other engines' drivers send them as they come.
async function tap({ page, toPage }, p) {
  const [x, y] = toPage(p);
  if (engine === 'chromium') {
    const cdp = await page.createCDPSession();
    await Promise.all([
      cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y, id: 2 }] }),
      cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] }),
    ]);
  } else {
    await page.touchscreen.touchStart(x, y);
    await page.touchscreen.touchEnd();
  }
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
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
    // Escape gives a drag up: the outline goes at once, and the release over the enzyme drops nothing.
    const { page, toPage } = lesson;
    await page.$eval('#announcer', (e) => { e.textContent = ''; });
    await page.mouse.move(...toPage(from));
    await page.mouse.down();
    await page.mouse.move(...toPage(centre('Picture1')));
    await press(page, 'Escape');
    assert.equal(await page.$eval('#outline', (e) => e.hidden), true, 'Escape: the outline is gone');
    assert.match(await heard(page), kHeard.cancelled);
    assert.doesNotMatch(await heard(page), kHeard.missed);
    await page.mouse.up();
    assert.deepEqual(await shown(page), kApart, 'Escape: the release over the enzyme binds nothing');
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

  async 'a finger binds and a tap releases the products, the focus moving to the complex, then to Reset'(browser, url) {
    const lesson = await open(browser, url);
    const { page, toPage } = lesson;
    await touchDrag(lesson, centre('Picture2'), centre('Picture1'));
    assert.deepEqual(await shown(page), kBound);
    assert.equal(await focused(page), 'Picture4');
    assert.equal(await page.evaluate(() => window.scrollY), 0, 'the page did not scroll');
    await tap(lesson, centre('Picture4'));
    assert.deepEqual(await shown(page), kReleased);
    assert.match(await heard(page), kHeard.released);
    assert.equal(await focused(page), 'Command1');
    await expectPixels(page, toPage, [
      ['products, left bar', at(kArea.Picture3, 40, 80), kRed],
      ['enzyme back below', at(kArea.Picture1, 30, 120), kBlack],
    ]);
    await tap(lesson, centre('Command1'));
    assert.deepEqual(await shown(page), kApart);
    assert.match(await heard(page), kHeard.reset);
  },

  async 'on phones either way up, tablets, whiteboards and at 200 % zoom the whole form shows and a finger binds'(browser, url) {
    const touch = { isMobile: true, hasTouch: true, deviceScaleFactor: 2 };
    const screens = [
      // A phone turned to landscape in the middle of the drag: the drag goes on.
      ['phone', { width: 360, height: 640, ...touch }, { width: 640, height: 360, ...touch }],
      ['phone, landscape', { width: 640, height: 360, ...touch }],
      ['tablet', { width: 768, height: 1024, ...touch }],
      ['tablet, landscape', { width: 1024, height: 768, ...touch }],
      ['laptop', { width: 1280, height: 800, hasTouch: true }],
      ['200 % zoom on the laptop', { width: 640, height: 400, deviceScaleFactor: 2, hasTouch: true }],
      ['whiteboard', { width: 1920, height: 1080, hasTouch: true }],
      ['whiteboard, twice the form', { width: 1326, height: 1020, hasTouch: true }],
    ];
    for (const [name, viewport, turned] of screens) {
      const lesson = await open(browser, url, { viewport });
      const { page } = lesson;
      const fit = await page.evaluate(() => {
        const r = document.getElementById('Form1').getBoundingClientRect();
        const root = document.documentElement;
        return {
          margins: [r.left, r.top, innerWidth - r.right, innerHeight - r.bottom],
          fills: Math.max(r.width / innerWidth, r.height / innerHeight),
          scrolls: scrollX !== 0 || scrollY !== 0 || root.scrollWidth > innerWidth || root.scrollHeight > innerHeight,
        };
      });
      const [left, top, right, bottom] = fit.margins;
      assert.ok(Math.min(left, top, right, bottom) > -0.5, `${name}: the whole form is on screen (${fit.margins})`);
      assert.ok(Math.abs(left - right) <= 1 && Math.abs(top - bottom) <= 1, `${name}: centred (${fit.margins})`);
      assert.ok(fit.fills > 0.99, `${name}: the form fills the limiting side (${fit.fills})`);
      assert.equal(fit.scrolls, false, `${name}: nothing scrolls`);
      if (viewport.width > 1000 && !viewport.deviceScaleFactor) {
        // Sharp pictures: across the enzyme's edge from white ground to black block, a whole-number
        // scale blends no device pixel, and any other one pixel at most.
        const scale = lesson.toPage([1, 0])[0] - lesson.toPage([0, 0])[0];
        const [x0, y] = lesson.toPage(at(kArea.Picture1, 20, 150)).map(Math.floor);
        const row = await pixels(page, (p) => p, Array.from({ length: Math.ceil(8 * scale) }, (_, i) => [x0 + i, y]));
        const pure = (c, v) => c.every((channel) => Math.abs(channel - v) < 8);
        assert.ok(pure(row[0], 255) && pure(row.at(-1), 0), `${name}: white ground, then the black block`);
        const blended = row.filter((c) => !pure(c, 0) && !pure(c, 255)).length;
        assert.ok(blended <= (Math.abs(scale - Math.round(scale)) < 1e-3 ? 0 : 1), `${name}: ${blended} blended pixels at scale ${scale}`);
        await expectPixels(page, (p) => p, [['the form\'s back colour around it', [left / 2, 100], kBlack]]);
      }
      const cdp = await page.createCDPSession();
      const from = centre('Picture2');
      await touches(cdp, lesson.toPage, 'touchStart', { 1: from });
      await touches(cdp, lesson.toPage, 'touchMove', { 1: [from[0], from[1] + 60] });
      let { toPage } = lesson;
      if (turned) {
        await page.setViewport(turned);
        await page.waitForFunction((width) => document.getElementById('Form1').getBoundingClientRect().height === width,
          {}, turned.height);
        toPage = await formToPage(page);
        assert.equal(await page.$eval('#outline', (e) => e.offsetTop), kArea.Picture2.y + 60, `${name}: turned, the outline stays`);
      }
      await touches(cdp, toPage, 'touchMove', { 1: centre('Picture1') });
      await touches(cdp, toPage, 'touchEnd');
      assert.deepEqual(await shown(page), kBound, `${name}: a finger drag binds`);
      await page.close();
    }
  },

  async 'a second finger drags while a first one rests, and no other finger moves or ends the drag'(browser, url) {
    const { page, toPage } = await open(browser, url);
    const cdp = await page.createCDPSession();
    const palm = [60, 400];
    const from = centre('Picture2');
    const outline = () => page.$eval('#outline', (e) => (e.hidden ? null : [e.offsetLeft, e.offsetTop]));
    await touches(cdp, toPage, 'touchStart', { 1: palm });
    await touches(cdp, toPage, 'touchStart', { 1: palm, 2: from });
    await touches(cdp, toPage, 'touchMove', { 1: palm, 2: [from[0] + 10, from[1] + 40] });
    const held = [kArea.Picture2.x + 10, kArea.Picture2.y + 40];
    assert.deepEqual(await outline(), held, 'the second finger drags');
    // A third finger taps the enzyme, and the palm slides: the drag neither ends nor moves.
    await touches(cdp, toPage, 'touchStart', { 1: palm, 2: [from[0] + 10, from[1] + 40], 3: centre('Picture1') });
    await touches(cdp, toPage, 'touchEnd', { 3: centre('Picture1') });
    await touches(cdp, toPage, 'touchMove', { 1: [palm[0] + 30, palm[1] - 50], 2: [from[0] + 10, from[1] + 40] });
    assert.deepEqual(await outline(), held, 'other fingers do nothing');
    assert.deepEqual(await shown(page), kApart);
    await touches(cdp, toPage, 'touchMove', { 1: palm, 2: centre('Picture1') });
    await touches(cdp, toPage, 'touchEnd', { 2: centre('Picture1') });
    assert.deepEqual(await shown(page), kBound, 'the second finger binds');
    assert.match(await heard(page), kHeard.bound);
    await touches(cdp, toPage, 'touchEnd');
    // A drag the system takes away over the enzyme drops nothing.
    await page.click('#Command1');
    await touches(cdp, toPage, 'touchStart', { 4: from });
    await touches(cdp, toPage, 'touchMove', { 4: centre('Picture1') });
    await touches(cdp, toPage, 'touchCancel');
    assert.deepEqual(await shown(page), kApart);
    assert.match(await heard(page), kHeard.cancelled);
    assert.equal(await outline(), null);
  },

  async 'in forced colours, light or dark, the focus mark and the outline show as in normal colours'(browser, url) {
    // How much of the mark stands out (contrast 3:1 or more) from what it is drawn over: the
    // substrate focused against the enzyme focused, the outline held over the enzyme against put down.
    const luminance = (c) => {
      const [r, g, b] = c.map((v) => { const s = v / 255; return s <= 0.04045 ? s / 12.92 : ((s + 0.055) / 1.055) ** 2.4; });
      return 0.2126 * r + 0.7152 * g + 0.0722 * b;
    };
    const contrast = (a, b) => { const [x, y] = [luminance(a), luminance(b)].sort(); return (y + 0.05) / (x + 0.05); };
    // The colours of a rectangle of the form (shown one to one), row by row.
    const area = async (page, r) => {
      const [x, y] = (await formToPage(page))([r.x, r.y]);
      const png = await page.screenshot({ encoding: 'base64', clip: { x, y, width: r.width, height: r.height } });
      return page.evaluate(async (data) => {
        const image = new Image();
        image.src = `data:image/png;base64,${data}`;
        await image.decode();
        const context = new OffscreenCanvas(image.width, image.height).getContext('2d');
        context.drawImage(image, 0, 0);
        const rgba = context.getImageData(0, 0, image.width, image.height).data;
        return Array.from({ length: rgba.length / 4 }, (_, i) => [rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2]]);
      }, png);
    };
    const standingOut = async (page, where, show, hide) => {
      await show();
      const marked = await area(page, where);
      await hide();
      const plain = await area(page, where);
      return marked.filter((c, i) => contrast(c, plain[i]) >= 3).length;
    };
    const seen = {};
    for (const mode of ['normal', 'light', 'dark']) {
      const page = await browser.newPage();
      if (mode !== 'normal') {
        const cdp = await page.createCDPSession();
        await cdp.send('Emulation.setEmulatedMedia', { features: [
          { name: 'forced-colors', value: 'active' }, { name: 'prefers-color-scheme', value: mode }] });
      }
      await page.goto(url);
      await page.waitForSelector('body[data-ready]');
      const toPage = await formToPage(page);
      const ring = await standingOut(page, kArea.Picture2, () => press(page, 'Tab'), async () => {
        await page.keyboard.down('Shift');
        await press(page, 'Tab');
        await page.keyboard.up('Shift');
      });
      await press(page, 'Tab');
      const held = { ...kArea.Picture2, x: kArea.Picture2.x - 12, y: kArea.Picture1.y - 12, width: kArea.Picture2.width + 24, height: kArea.Picture2.height + 24 };
      const outline = await standingOut(page, held, () => press(page, ' ').then(() => press(page, 'ArrowDown', 21)),
        () => press(page, 'Escape'));
      seen[mode] = { ring, outline };
      await expectPixels(page, toPage, [
        ['the form keeps its colour', [20, 200], kBlack],
        ['the substrate keeps its colours', at(kArea.Picture2, 30, 60), kRed],
        ['and its ground', at(kArea.Picture2, 5, 5), kWhite],
      ]);
      await page.close();
    }
    for (const mode of ['light', 'dark']) {
      assert.ok(seen[mode].ring >= 0.9 * seen.normal.ring, `${mode}: the focus mark shows (${JSON.stringify(seen)})`);
      assert.ok(seen[mode].outline >= 0.9 * seen.normal.outline, `${mode}: the outline shows (${JSON.stringify(seen)})`);
    }
  },

  async 'a double-click on the complex acts as one click'(browser, url) {
    const lesson = await open(browser, url);
    const { page, toPage } = lesson;
    await mouseDrag(lesson, centre('Picture2'), centre('Picture1'));
    assert.deepEqual(await shown(page), kBound);
    // The first press released off the complex, the second back on it: no click at all. Only
    // Chromium's driver takes the click count from the test; Firefox's counts clicks only within
    // one call, WebKit's by its own clock, which a loaded machine outruns.
    if (engine === 'chromium') {
      const edge = [kArea.Picture4.x + 1, centre('Picture4')[1]];
      await page.mouse.move(...toPage(edge));
      await page.mouse.down();
      await page.mouse.move(...toPage([edge[0] - 3, edge[1]]));
      await page.mouse.up();
      await page.mouse.move(...toPage(edge));
      await page.mouse.down({ clickCount: 2 });
      await page.mouse.up({ clickCount: 2 });
      assert.deepEqual(await shown(page), kBound, 'a double-click\'s second press is no click on the complex');
    }
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
    // Enter held on: its repeats find the focus on Reset, which a key held since before does not press.
    await page.keyboard.down('Enter');
    await page.keyboard.down('Enter');
    await page.keyboard.up('Enter');
    assert.deepEqual(await shown(page), kReleased);
    assert.match(await heard(page), kHeard.released);
    assert.equal(await focused(page), 'Command1');
    await press(page, ' ');
    assert.deepEqual(await shown(page), kApart);
    assert.match(await heard(page), kHeard.reset);
  },

  async 'a screen reader reads the heading, the shown pictures and Reset, and nothing of the hidden ones'(browser, url) {
    const { page, toPage } = await open(browser, url);
    const tree = async (interestingOnly) => {
      const nodes = [];
      const walk = (node) => { nodes.push(node); (node.children ?? []).forEach(walk); };
      walk(await page.accessibility.snapshot({ interestingOnly }));
      return nodes;
    };
    const named = async () => Object.fromEntries((await tree(true)).filter((n) => n.name).map((n) => [n.name, n]));
    // What is read in order: a heading, picture or button by its name, other text as it stands.
    const kNamed = ['heading', 'image', 'button'];
    const reading = async () => {
      const read = [];
      const walk = (node, insideNamed) => {
        if (kNamed.includes(node.role)) read.push(`${node.role}${node.level ? ` ${node.level}` : ''}: ${node.name}`);
        else if (node.role === 'StaticText' && !insideNamed) read.push(node.name);
        (node.children ?? []).forEach((child) => walk(child, insideNamed || kNamed.includes(node.role)));
      };
      walk(await page.accessibility.snapshot({ interestingOnly: false }), false);
      return read.filter((text) => !kSwitches.includes(text)); // the switches beside the form, checked below
    };
    const kSwitches = ['Read each step aloud', 'Play sounds'];
    let read = await reading();
    assert.deepEqual(read.slice(0, 4), ['heading 1: Tessivar', 'image: Enzyme', 'image: Substrate', 'button: Reset']);
    assert.equal(read.length, 5, read.join(' | '));
    assert.match(read[4], /apart/);
    let nodes = await named();
    assert.match(nodes.Enzyme.description, /notch/);
    assert.match(nodes.Substrate.description, /press Space to pick it up/i);
    assert.match(nodes.Reset.description, /starts the lesson again/i);
    const boxes = (await tree(true)).filter((node) => node.role === 'checkbox').map((node) => [node.name, node.checked]);
    assert.deepEqual(boxes, kSwitches.map((name) => [name, false]));
    assert.equal(await page.$eval('#announcer', (e) => e.getAttribute('aria-live')), 'polite');
    await mouseDrag({ page, toPage }, centre('Picture2'), centre('Picture1'));
    await heard(page);
    read = await reading();
    assert.deepEqual(read.slice(0, 3), ['heading 1: Tessivar', 'button: Complex of enzyme and substrate', 'button: Reset']);
    assert.equal(read.length, 5, read.join(' | '));
    assert.match(read[3], /bound/);
    assert.match(read[4], kHeard.bound);
    nodes = await named();
    assert.match(nodes['Complex of enzyme and substrate'].description, /release the products/);
  },

  async 'in another page, the README\'s iframe fits the lesson to any size, played by finger, mouse and keyboard'(browser, url) {
    const readme = readFileSync(new URL('../../README.md', import.meta.url), 'utf8');
    const snippet = readme.match(/```html\n(<iframe[^]*?)```/)?.[1];
    assert.ok(snippet, 'the README shows how to embed the lesson');
    assert.match(snippet, /title="[^"]+"/);
    assert.match(snippet, /allow="fullscreen"/);
    assert.match(snippet, /aspect-ratio: 663 \/ 510/);
    const page = await browser.newPage();
    await page.setViewport({ width: 900, height: 800, hasTouch: true });
    await page.setContent(`<!doctype html><body style="margin: 30px"><h1>A course</h1><div style="width: 500px">
      ${snippet.replace(/src="[^"]*"/, `src="${url}"`)}</div>`);
    const iframe = await page.$('iframe');
    const frame = await iframe.contentFrame();
    await frame.waitForSelector('body[data-ready]');
    // Whether the form fills the iframe's limiting side, and the iframe's point of form point p.
    const fits = () => frame.evaluate(() => {
      const r = document.getElementById('Form1').getBoundingClientRect();
      return Math.max(r.width / innerWidth, r.height / innerHeight) > 0.99 && r.left >= 0 && r.top >= 0 &&
        r.right <= innerWidth + 0.5 && r.bottom <= innerHeight + 0.5;
    });
    const toPage = async () => {
      const box = await iframe.boundingBox();
      const inFrame = await formToPage(frame);
      return (p) => { const [x, y] = inFrame(p); return [box.x + x, box.y + y]; };
    };
    assert.equal(await fits(), true, 'fits the iframe of the snippet');
    const frameShown = () => shown(frame);
    await touchDrag({ page, toPage: await toPage() }, centre('Picture2'), centre('Picture1'));
    assert.deepEqual(await frameShown(), kBound, 'a finger binds');
    await page.mouse.click(...(await toPage())(centre('Picture4')));
    assert.deepEqual(await frameShown(), kReleased, 'a click releases');
    assert.equal(await focused(frame), 'Command1');
    await press(page, ' ');
    assert.deepEqual(await frameShown(), kApart, 'Space on Reset');
    await page.keyboard.down('Shift');
    await press(page, 'Tab');
    await page.keyboard.up('Shift');
    await press(page, ' ');
    await press(page, 'ArrowDown', 11);
    await press(page, ' ');
    assert.deepEqual(await frameShown(), kBound, 'the keyboard binds');
    // Another shape: the lesson fits again.
    await iframe.evaluate((e) => { e.style.cssText = 'width: 300px; height: 520px; border: 0'; });
    await frame.waitForFunction(() => document.getElementById('Form1').getBoundingClientRect().width === innerWidth);
    assert.equal(await fits(), true, 'fits a tall narrow iframe');
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

  async 'a browser that cannot run the lesson gets a plain sentence, not a blank page'(browser, url) {
    const kBrowsers = {
      'no JavaScript': (page) => page.setJavaScriptEnabled(false),
      'no WebAssembly': (page) => page.evaluateOnNewDocument(() => { delete window.WebAssembly; }),
      'no DecompressionStream': (page) => page.evaluateOnNewDocument(() => { delete window.DecompressionStream; }),
      // WebAssembly, but older than what the lesson's is built with (its exception handling).
      'a WebAssembly too old for the lesson': (page) => page.evaluateOnNewDocument(() => {
        WebAssembly.instantiate = () => Promise.reject(new WebAssembly.CompileError('invalid opcode'));
      }),
    };
    for (const [which, make] of Object.entries(kBrowsers)) {
      const page = await browser.newPage();
      await make(page);
      await page.goto(url);
      await page.waitForFunction(() => !document.getElementById('Form1').checkVisibility(), { timeout: 5000 });
      const text = await page.evaluate(() => document.body.innerText);
      assert.match(text, /needs a browser with JavaScript and WebAssembly/, which);
      assert.doesNotMatch(text, /loading|connection/, which);
      await page.close();
    }
  },

  async 'before the lesson runs the page shows its start screen, says so if it takes long, and a failed download or a page opened from the disk says what to do'(browser, url, { site }) {
    const page = await browser.newPage();
    const said = () => page.evaluate(() => document.body.innerText.trim());
    const saysSomething = () => page.waitForFunction(() => {
      const notice = document.getElementById('notice');
      return !notice.hidden && getComputedStyle(notice).visibility === 'visible';
    }, { timeout: 5000 });
    // The start screen as shown, pixel for pixel.
    const form = async () => {
      const r = await page.$eval('#Form1', (e) => { const b = e.getBoundingClientRect(); return { x: b.left, y: b.top, width: b.width, height: b.height }; });
      return page.screenshot({ encoding: 'base64', clip: r });
    };
    // The WebAssembly is held back, then refused, then let through; no service worker fetches it
    // behind the test's back.
    await page.evaluateOnNewDocument(() => { delete Navigator.prototype.serviceWorker; });
    let wasm = 'hold';
    const held = [];
    await page.setRequestInterception(true);
    const route = (request) => {
      if (!/wasm/.test(new URL(request.url()).pathname) || wasm === 'pass') request.continue();
      else if (wasm === 'hold') held.push(request);
      else request.abort();
    };
    page.on('request', route);
    await page.goto(url, { waitUntil: 'load' });
    // No sentence in the first second: hidden until its animation's delay has run (a loaded
    // machine may take longer than that to reach the page's load event).
    const first = await page.$eval('#notice', (e) => ({
      visibility: getComputedStyle(e).visibility,
      elapsed: Math.max(0, ...e.getAnimations().map((a) => a.currentTime ?? 0)),
    }));
    assert.ok(first.visibility === 'hidden' || first.elapsed >= 1000, `no sentence at first (${first.visibility} after ${first.elapsed} ms)`);
    // The start screen is looked at with the loading sentence out of the way, which under load may
    // already show and take room from the form, as it is once the lesson has hidden the sentence.
    const aside = await page.addStyleTag({ content: '#notice { display: none !important; }' });
    await expectPixels(page, await formToPage(page), [
      ['enzyme block', at(kArea.Picture1, 30, 120), kBlack],
      ['substrate block', at(kArea.Picture2, 30, 60), kRed],
      ['Reset face', [kArea.Command1.x + 6, kArea.Command1.y + 16], kFace],
    ]);
    const before = await form();
    await aside.evaluate((e) => e.remove());
    await saysSomething();
    assert.match(await said(), /^The lesson is loading/);
    wasm = 'pass';
    held.forEach((request) => request.continue());
    await page.waitForSelector('body[data-ready]');
    assert.doesNotMatch(await said(), /loading/);
    assert.equal(await form(), before, 'the lesson draws the start screen the page showed, unchanged');
    // Nothing of the lesson is asked for before the start screen is on the screen (Chromium gives
    // the time of a paint in steps of 4 ms).
    const [painted, asked] = await page.evaluate(() => [performance.getEntriesByName('first-contentful-paint')[0].startTime,
      performance.getEntriesByName(new URL('lesson.js', location.href).href)[0].startTime]);
    assert.ok(asked > painted - 4, `the lesson's script asked for at ${asked} ms, the start screen painted at ${painted} ms`);

    wasm = 'refuse';
    await page.reload({ waitUntil: 'domcontentloaded' });
    await saysSomething();
    assert.match(await said(), /^The lesson could not be loaded\..*\s+Try again$/s);
    wasm = 'pass';
    await Promise.all([page.waitForNavigation(), page.click('#try-again')]);
    await page.waitForSelector('body[data-ready]');

    page.off('request', route);
    await page.setRequestInterception(false);
    await page.goto(`file://${site}/index.html`);
    await saysSomething();
    assert.match(await said(), /^This browser does not run the lesson from a file .* velmora\.html .* web server/);
    assert.doesNotMatch(await said(), /WebAssembly|Try again/);
    },

  async 'with ?lang= the lesson speaks that language in its script and direction, draws its words, and the form stays in place'(browser, url) {
    const enzyme = (p) => p.$eval('#Picture1 canvas', (c) => Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data));
    // Where each control and its picture are on the page, and each one's writing direction.
    const places = (p) => p.$$eval('#Form1 [data-control], #Form1 canvas', (all) => all.map((e) => {
      const r = e.getBoundingClientRect();
      return [e.id || e.parentElement.parentElement.id, r.left, r.top, r.width, r.height];
    }));
    const directions = (p) => p.evaluate(() => ['#Form1', '#Command1', '#Picture1', '#Picture1 .inner']
      .map((selector) => getComputedStyle(document.querySelector(selector)).direction));
    const englishPage = (await open(browser, url)).page;
    const [english, englishPlaces] = [await enzyme(englishPage), await places(englishPage)];
    await englishPage.close();
    for (const [tag, dir, caption, enzymeName, pickedUp, script] of [
      ['es', 'ltr', 'Repetir', 'Enzima', /^Sustrato levantado\. La enzima está/, /^\p{Script=Latin}+$/u],
      ['ar', 'rtl', 'إعادة', 'الإنزيم', /^التقطت الركيزة\./, /^[\p{Script=Arabic} ]+$/u],
      ['zh-CN', 'ltr', '重来', '酶', /^已拿起底物/, /^\p{Script=Han}+$/u],
      ['uk', 'ltr', 'Заново', 'Фермент', /^Субстрат узято\./, /^\p{Script=Cyrillic}+$/u]]) {
      const lesson = await open(browser, `${url}?lang=${tag}`);
      const { page } = lesson;
      assert.deepEqual(await page.evaluate(() => [document.documentElement.lang, document.documentElement.dir]), [tag, dir]);
      assert.deepEqual(await directions(page), ['ltr', dir, dir, 'ltr'], `${tag}: the texts go ${dir}, the form and its pictures not`);
      assert.deepEqual(await places(page), englishPlaces, `${tag}: every control and picture where it is in English`);
      const shownCaption = await page.$eval('#Command1', (e) => e.textContent);
      assert.ok(shownCaption === caption && script.test(caption), `${tag}: the button says ${shownCaption}`);
      assert.equal(await page.$eval('#Picture1', (e) => e.getAttribute('aria-label')), enzymeName);
      // The enzyme's picture differs from the English one on its word's panel (x 58-151, y 159-185), and only there.
      const translated = await enzyme(page);
      const changed = { panel: 0, elsewhere: 0 };
      for (let i = 0; i < translated.length; i += 4) {
        const [x, y] = [(i / 4) % 203, Math.floor(i / 4 / 203)];
        if (translated[i + 1] !== english[i + 1]) ++changed[x >= 58 && x <= 151 && y >= 159 && y <= 185 ? 'panel' : 'elsewhere'];
      }
      assert.ok(changed.panel > 30 && changed.elsewhere === 0, `${tag}: ${JSON.stringify(changed)}`);
      await press(page, 'Tab'); // from the enzyme to the substrate
      await press(page, ' ');
      assert.match(await heard(page), pickedUp, tag);
      // The arrows keep their meaning in every language: Down moves the outline down, Left left.
      const outlineAt = () => page.$eval('#outline', (e) => [e.offsetLeft, e.offsetTop]);
      const [left, top] = await outlineAt();
      await press(page, 'ArrowDown');
      await press(page, 'ArrowLeft');
      assert.deepEqual(await outlineAt(), [left - 10, top + 10], `${tag}: Down moves the substrate down, Left left`);
      assert.deepEqual(lesson.errors, []);
      await page.close();
    }
  },

  async 'a browser whose language is French gets the lesson in French'(browser, url) {
    const french = await launchBrowser('chromium', { language: 'fr-FR' });
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

  async 'before the lesson runs the page shows the start screen in the language the lesson will, word for word and pixel for pixel'(browser, url) {
    const kLoading = {
      en: /^The lesson is loading/, de: /^Die Lektion wird geladen/, es: /^La lección se está cargando/,
      fr: /^La leçon se charge/, it: /^La lezione si sta caricando/, 'pt-BR': /^A lição está carregando/,
      ar: /^جار تحميل الدرس/, 'zh-CN': /^正在加载这一课/, uk: /^Урок завантажується/,
    };
    // Opens `query` in a fresh context of a browser that asks for Swedish, then Canadian French
    // (a ?lang= comes first), with the WebAssembly held back (`wasm` 'hold') or refused.
    const opened = async (query, wasm) => {
      const context = await browser.createBrowserContext();
      const page = await context.newPage();
      await page.evaluateOnNewDocument(() => Object.defineProperty(navigator, 'languages', { get: () => ['sv-SE', 'fr-CA'] }));
      const held = [];
      const pictures = [];
      let holding = true;
      await page.setRequestInterception(true);
      page.on('request', (request) => {
        if (request.url().endsWith('.png')) pictures.push(new URL(request.url()).pathname.slice(1));
        if (!/wasm/.test(request.url()) || (wasm === 'hold' && !holding)) request.continue();
        else if (wasm === 'hold') held.push(request);
        else request.abort();
      });
      await page.goto(`${url}${query}`, { waitUntil: 'domcontentloaded' });
      // The loading sentence, which shows after a second, takes room from the form, which then
      // fits smaller: out of the way, the form is drawn at one size before and after the lesson.
      if (wasm === 'hold') await page.addStyleTag({ content: '#notice { display: none !important; }' });
      const release = () => {
        holding = false;
        held.forEach((request) => request.continue());
      };
      return { context, page, release, pictures };
    };
    // What the pupil sees and a screen reader is given of the start screen: the title, the stage
    // sentence, and each shown control's text, name, role and description; and the form as drawn,
    // once every picture on it and every font it uses has loaded (a caption's font still loading
    // is drawn as nothing).
    const seen = (page) => page.evaluate(() => [document.title, document.getElementById('stage').textContent,
      ...[...document.querySelectorAll('#Form1 [data-control]')].filter((e) => !e.hidden).map((e) => [e.id,
        e.dataset.control === 'picture' ? '' : e.textContent, e.getAttribute('aria-label'),
        e.getAttribute('aria-roledescription'), document.getElementById(`${e.id}-description`)?.textContent ?? null])]);
    const drawn = async (page) => {
      await page.waitForFunction(() => document.fonts.status === 'loaded' && [...document.querySelectorAll('#Form1 img')]
        .every((e) => e.complete && e.naturalWidth > 0 && getComputedStyle(e).visibility === 'visible'));
      const r = await page.$eval('#Form1', (e) => { const b = e.getBoundingClientRect(); return { x: b.left, y: b.top, width: b.width, height: b.height }; });
      return page.screenshot({ encoding: 'base64', clip: r });
    };
    for (const [asked, language] of [['', 'fr'], ['DE-at', 'de'], ['pt_PT', 'pt-BR'], ['es-419', 'es'],
      ['ja-JP', 'fr'], ['x-private', 'fr'], ['C', 'en'], ['it', 'it'], ['en-GB', 'en'], ['ar-EG', 'ar'],
      ['zh-CN', 'zh-CN'], ['uk', 'uk']]) {
      const { context, page, release, pictures } = await opened(`?lang=${encodeURIComponent(asked)}`, 'hold');
      const early = await page.evaluate(() => ({ lang: document.documentElement.lang,
        loading: document.getElementById('notice-text').textContent,
        form: getComputedStyle(document.getElementById('Form1')).visibility }));
      const earlyWords = await seen(page);
      const earlyForm = await drawn(page);
      const words = await page.evaluate(() => [...document.querySelectorAll('#Form1 img.word')].map((e) => new URL(e.src).pathname.slice(1)));
      assert.equal(await page.$('#Form1 canvas'), null, `?lang=${asked}: the lesson has not drawn yet`);
      release();
      await page.waitForSelector('body[data-ready]');
      const lesson = await page.evaluate(() => ({ lang: document.documentElement.lang,
        form: getComputedStyle(document.getElementById('Form1')).visibility }));
      assert.deepEqual([early.lang, lesson.lang], [language, language], `?lang=${asked}: the page's choice, then the lesson's`);
      assert.match(early.loading, kLoading[language], `?lang=${asked}`);
      assert.deepEqual([early.form, lesson.form], ['visible', 'visible'], `?lang=${asked}: the form shows at once`);
      assert.deepEqual(earlyWords, await seen(page), `?lang=${asked}: the lesson kept the start screen's words`);
      assert.ok(earlyForm === await drawn(page), `?lang=${asked}: the lesson drew the start screen the page showed`);
      // The words' images each once (the head's request and the image laid on the picture are one),
      // and no other language's.
      assert.deepEqual(pictures.sort(), ['enzyme.png', 'substrate.png', ...words].sort(), `?lang=${asked}`);
      await context.close();
    }
    const { context, page } = await opened('?lang=de', 'refuse');
    await page.waitForFunction(() => getComputedStyle(document.getElementById('notice')).visibility === 'visible');
    assert.match(await page.evaluate(() => document.body.innerText.trim()),
      /^Die Lektion konnte nicht geladen werden\..*\s+Noch einmal versuchen$/s);
    await context.close();
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

  async 'after one visit the lesson loads and binds in its language with the server gone, and a new version is the one kept'(browser, url, { site, serve }) {
    const dir = mkdtempSync(join(tmpdir(), 'velmora-offline-'));
    cpSync(site, dir, { recursive: true });
    const server = await serve(dir);
    const german = `${server.url}?lang=de`;
    try {
      const first = await open(browser, german);
      assert.equal(await first.page.evaluate(async () => (await navigator.serviceWorker.ready).active !== null), true);
      // The first visit alone keeps its language's files (fetched before the worker came).
      const keptGerman = () => first.page.evaluate(async () => {
        for (let tries = 0; tries < 100 && !(await caches.match('lang-de.bin')); ++tries) await new Promise(requestAnimationFrame);
        return Boolean(await caches.match('lang-de.bin'));
      });
      assert.equal(await keptGerman(), true, 'lang-de.bin is kept');
      // A new version of the page on the server (newer than the kept copy).
      const index = join(dir, 'index.html');
      writeFileSync(index, readFileSync(index, 'utf8').replace('<title>', '<meta name="edition" content="second">\n<title>'));
      utimesSync(index, new Date(), new Date(Date.now() + 10_000));
      const edition = (page) => page.evaluate(() => document.querySelector('meta[name="edition"]')?.content ?? 'first');
      const second = await open(browser, german);
      assert.equal(await edition(second.page), 'second', 'the next visit shows the new version');
      await server.close();
      const offline = await open(browser, german);
      assert.equal(await edition(offline.page), 'second', 'the new version replaced the kept one');
      assert.equal(await offline.page.evaluate(() => document.title), await second.page.evaluate(() => document.title));
      assert.equal(await offline.page.evaluate(() => document.documentElement.lang), 'de');
      await mouseDrag(offline, centre('Picture2'), centre('Picture1'));
      assert.deepEqual(await shown(offline.page), kBound);
      assert.deepEqual([...first.errors, ...second.errors, ...offline.errors], []);
    } finally {
      await server.close();
      rmSync(dir, { recursive: true, force: true });
    }
  },

  async 'a first visit transfers at most 150 KB from a plain server, and Chromium can install the lesson as Tessivar'(browser, url, { site, serve }) {
    // A teacher's link in another language too: the page is not sent twice for the worker.
    for (const query of ['', '?lang=de']) {
      const server = await serve(site);
      try {
        const { page } = await open(browser, server.url + query);
        await page.evaluate(() => navigator.serviceWorker.ready);
        const cdp = await page.createCDPSession();
        assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
        assert.equal(JSON.parse((await cdp.send('Page.getAppManifest')).data).name, 'Tessivar');
        assert.ok(server.sent() <= 150_000, `${query}: ${server.sent()} bytes, the service worker's included`);
        await page.close();
      } finally {
        await server.close();
      }
    }
  },
};

// Where each case runs: the lesson's own cases in every engine; the rest in Chromium only. Each
// case runs against the served site and the single file, but for those about one of them.
const kEveryEngine = new Set([
  'the start screen shows the heading, the substrate above the enzyme and Reset, drawn 1:1',
  'a mouse drop anywhere on the enzyme binds, its background strips included',
  'a finger binds and a tap releases the products, the focus moving to the complex, then to Reset',
  'a double-click on the complex acts as one click',
  'the keyboard plays the whole lesson and the live region says each step',
]);
const kOneEdition = {
  'before the lesson runs the page shows its start screen, says so if it takes long, and a failed download or a page opened from the disk says what to do': 'served site',
  'before the lesson runs the page shows the start screen in the language the lesson will, word for word and pixel for pixel': 'served site',
  'in another page, the README\'s iframe fits the lesson to any size, played by finger, mouse and keyboard': 'served site',
  'the single file asks for nothing but data: URLs, from the disk and inside a frame of a served page': 'single file',
  'after one visit the lesson loads and binds in its language with the server gone, and a new version is the one kept': 'served site',
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
  const [site, singleFile, engineName, edition, name] = args;
  if (!cases[name] || !kEngineNames[engineName]) {
    console.error(`no such case: ${engineName} ${name}`);
    process.exit(2);
  }
  const browserModule = await import('./browser.mjs').catch((error) => {
    console.error(`puppeteer-core is not installed: run "npm ci" in web/ (scripts/setup test does)\n${error.message}`);
    process.exit(1);
  });
  const { serve, launch, runCase } = browserModule;
  pixels = browserModule.pixels;
  launchBrowser = launch;
  engine = engineName;
  const server = await serve(site);
  const url = edition.endsWith('single file') ? pathToFileURL(singleFile).href : server.url;
  try {
    await runCase(name, engineName, (browser) => cases[name](browser, url, { site: resolve(site), singleFile, serve }));
  } finally {
    await server.close();
  }
}
