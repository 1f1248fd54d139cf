// SPDX-License-Identifier: MIT
// The web edition in headless Chromium: the page around the lesson. What a screen reader reads,
// the lesson inside another page, a fault or a browser that cannot run it, the start screen
// before the lesson runs, and the language it speaks. One case a run (lesson_support.mjs has the
// command line).

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';

import {
  kApart, kArea, kBlack, kBound, kFace, kHeard, kRed, kReleased, at, centre, expectPixels, focused, formToPage, heard, mouseDrag, open, press, run, shown, touchDrag, runCases,
} from './lesson_support.mjs';

const cases = {
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
    const french = await run.launch('chromium', { language: 'fr-FR' });
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
};

await runCases(cases, {
  oneEdition: {
    'before the lesson runs the page shows its start screen, says so if it takes long, and a failed download or a page opened from the disk says what to do': 'served site',
    'before the lesson runs the page shows the start screen in the language the lesson will, word for word and pixel for pixel': 'served site',
    'in another page, the README\'s iframe fits the lesson to any size, played by finger, mouse and keyboard': 'served site',
  },
});
