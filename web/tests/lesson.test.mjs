// SPDX-License-Identifier: MIT
// The web edition in headless browsers: the lesson played by mouse, finger and keyboard, from the
// served site and from the single file, and what the pupil then sees and hears. Every case runs
// in Chromium; the lesson's own cases also in Firefox and WebKit. One case a run, so each shows in
// the ctest log under its own sentence (lesson_support.mjs has the command line).

import assert from 'node:assert/strict';

import {
  kApart, kArea, kBlack, kBound, kFace, kHeard, kRed, kReleased, kWhite, at, centre, expectPixels, focused, formToPage, heard, mouseDrag, open, press, run, shown, tap, touchDrag, touches, runCases,
} from './lesson_support.mjs';

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
    const caption = await run.pixels(page, toPage, Array.from({ length: 60 }, (_, i) => [200 + i, 16]));
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
        const row = await run.pixels(page, (p) => p, Array.from({ length: Math.ceil(8 * scale) }, (_, i) => [x0 + i, y]));
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
    if (run.engine === 'chromium') {
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
};

await runCases(cases, {
  everyEngine: new Set([
    'the start screen shows the heading, the substrate above the enzyme and Reset, drawn 1:1',
    'a mouse drop anywhere on the enzyme binds, its background strips included',
    'a finger binds and a tap releases the products, the focus moving to the complex, then to Reset',
    'a double-click on the complex acts as one click',
    'the keyboard plays the whole lesson and the live region says each step',
  ]),
});
