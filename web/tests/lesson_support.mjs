// SPDX-License-Identifier: MIT
// What the web edition's browser cases share: where the form's controls are and what they show,
// how a case opens the lesson and plays it by mouse, finger and keyboard, and the runner that
// lists the cases of a file or runs one of them in a fresh browser.

import assert from 'node:assert/strict';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

// Where the controls are (form pixels) and what the pictures show there, read off the stored
// form and its pictures: a picture pixel (x, y) sits at the area's corner + frame + (x, y).
export const kFrame = 2;
export const at = (area, x, y) => [area.x + kFrame + x, area.y + kFrame + y];
export const kArea = {
  Label1: { x: 192, y: 0, width: 281, height: 33 },
  Picture1: { x: 200, y: 272, width: 273, height: 233 },
  Picture2: { x: 192, y: 64, width: 209, height: 201 },
  Picture3: { x: 184, y: 48, width: 241, height: 217 },
  Picture4: { x: 216, y: 272, width: 257, height: 233 },
  Command1: { x: 512, y: 72, width: 81, height: 33 },
};
export const centre = (name) => [kArea[name].x + (kArea[name].width >> 1), kArea[name].y + (kArea[name].height >> 1)];

export const kBlack = [0, 0, 0];
export const kWhite = [255, 255, 255];
export const kRed = [255, 0, 0];
export const kFace = [212, 208, 200];

// What the live region says, by the words that carry the meaning.
export const kHeard = {
  bound: /substrate is bound.*complex/i,
  released: /products are released.*enzyme is back.*unchanged/i,
  reset: /starts again/i,
  missed: /not on the enzyme.*nothing changed/i,
  cancelled: /nothing changed/i,
  pickedUp: /substrate picked up.*enzyme is below.*down arrow/i,
  over: /over the enzyme.*space/i,
};

// Where form point `p` is on the page, the form being scaled to fit.
export async function formToPage(page) {
  const [left, top, scale] = await page.$eval('#Form1', (e) => {
    const r = e.getBoundingClientRect();
    return [r.left, r.top, r.width / e.offsetWidth];
  });
  return ([x, y]) => [left + x * scale, top + y * scale];
}

export async function open(browser, url, { withoutWebAssembly = false, viewport = null, page = null } = {}) {
  page ??= await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  if (viewport) await page.setViewport(viewport);
  if (withoutWebAssembly) await page.evaluateOnNewDocument(() => { delete window.WebAssembly; });
  await page.goto(url);
  if (!withoutWebAssembly) await page.waitForSelector('body[data-ready]', { timeout: 15000 });
  return { page, errors, toPage: await formToPage(page) };
}

export const shown = (page) => page.$$eval('#Form1 [data-control]', (all) => all.filter((e) => !e.hidden).map((e) => e.id).sort());
export const heard = async (page) => {
  await page.waitForFunction(() => document.getElementById('announcer').textContent !== '', { timeout: 2000 });
  return page.$eval('#announcer', (e) => e.textContent);
};
export const kApart = ['Command1', 'Label1', 'Picture1', 'Picture2'];
export const kBound = ['Command1', 'Label1', 'Picture4'];
export const kReleased = ['Command1', 'Label1', 'Picture1', 'Picture3'];

// What the case runs with, set once browser.mjs has loaded: `engine` its engine's name, `pixels`
// the colours of page points from a screenshot, `launch` another browser.
export const run = { engine: '', pixels: null, launch: null };

export async function expectPixels(page, toPage, table) {
  const got = await run.pixels(page, toPage, table.map((row) => row[1]));
  table.forEach(([what, , colour], i) => assert.deepEqual(got[i], colour, `${what} at ${table[i][1]}`));
}

export async function mouseDrag({ page, toPage }, from, to) {
  await page.mouse.move(...toPage(from));
  await page.mouse.down();
  const steps = 8;
  for (let i = 1; i <= steps; ++i) {
    await page.mouse.move(...toPage([from[0] + (to[0] - from[0]) * i / steps, from[1] + (to[1] - from[1]) * i / steps]));
  }
  await page.mouse.up();
}

export async function touchDrag({ page, toPage }, from, to) {
  await page.touchscreen.touchStart(...toPage(from));
  for (let i = 1; i <= 8; ++i) {
    await page.touchscreen.touchMove(...toPage([from[0] + (to[0] - from[0]) * i / 8, from[1] + (to[1] - from[1]) * i / 8]));
  }
  await page.touchscreen.touchEnd();
}

// A touch event with `fingers` ({ id: form point }): touchStart puts the new ids among them down,
// touchMove moves them, touchEnd lifts them (all fingers when none is named), touchCancel takes
// all away.
export async function touches(cdp, toPage, type, fingers = {}) {
  const touchPoints = Object.entries(fingers).map(([id, p]) => {
    const [x, y] = toPage(p);
    return { x, y, id: Number(id) };
  });
  await cdp.send('Input.dispatchTouchEvent', { type, touchPoints });
}

// A quick tap. In Chromium both halves are sent at once, as the browser then takes it for a tap
// and follows it with its copies of mouse events, as on a real touch screen (sent one after the
// other, often not); the other engines' drivers send them as they come.
export async function tap({ page, toPage }, p) {
  const [x, y] = toPage(p);
  if (run.engine === 'chromium') {
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
export const press = async (page, key, times = 1) => { for (let i = 0; i < times; ++i) await page.keyboard.press(key); };
export const focused = (page) => page.evaluate(() => document.activeElement?.id ?? '');


const kEngineNames = { chromium: 'Chromium', firefox: 'Firefox', webkit: 'WebKit' };

// The command line of a file of `cases`, each a function (browser, url, { site, singleFile, serve }):
//   node FILE --list                                 ENGINE, EDITION and CASE a line
//   node FILE SITE SINGLE_FILE ENGINE EDITION "CASE"  runs one
// Every case runs in Chromium, those of `everyEngine` also in Firefox and WebKit; each against the
// served site and the single file, but for those `oneEdition` names the one edition of.
export async function runCases(cases, { everyEngine = new Set(), oneEdition = {} } = {}) {
  const args = process.argv.slice(2);
  if (args[0] === '--list') {
    for (const engine of Object.keys(kEngineNames)) {
      for (const edition of ['served site', 'single file']) {
        for (const name of Object.keys(cases)) {
          if ((engine === 'chromium' || everyEngine.has(name)) && (oneEdition[name] ?? edition) === edition) {
            console.log(`${engine}\t${kEngineNames[engine]}, ${edition}\t${name}`);
          }
        }
      }
    }
    return;
  }
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
  Object.assign(run, { engine: engineName, pixels: browserModule.pixels, launch });
  const server = await serve(site);
  const url = edition.endsWith('single file') ? pathToFileURL(singleFile).href : server.url;
  try {
    await runCase(name, engineName, (browser) => cases[name](browser, url, { site: resolve(site), singleFile, serve }));
  } finally {
    await server.close();
  }
}
