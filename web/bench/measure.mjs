// SPDX-License-Identifier: MIT
// Measures the web edition against its floor pages in headless Chromium:
//   node measure.mjs SITE FLOOR [RUNS]
// FLOOR is bench/web_floor/: index.html, the start screen alone (the heading, the two pictures
// shown at the start, Reset), the floor the site is held to; and four-pictures.html, which this
// writes beside it, the same with the two pictures hidden at the start too. Each page is loaded
// RUNS times (15 unless given), alternately, each time as a first visit (a fresh browser
// context), from a plain static server, the site and the start-screen floor again from one that
// compresses with gzip, and the site once more in German (?lang=de) from the plain server. Prints
// medians (and the median of each round's ratio to its floor) of the time from navigation
// start to the first correct frame and to the first contentful paint, of when the page's response
// and its last start picture had arrived, of the bytes each server sent for the visit (the service
// worker's downloads included), and for the site the main thread's script time over a 300-step
// mouse drag of the substrate. Then Lighthouse's mobile performance audit of the site, served by
// Python's http.server, LIGHTHOUSE_RUNS times (3).

import { spawn } from 'node:child_process';
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { extname, join } from 'node:path';
import { gzipped, kCompressible, launch, pixels, serve } from '../tests/browser.mjs';

const [siteDir, floorSource, runsArg] = process.argv.slice(2);
const runs = Number(runsArg ?? 15);
const lighthouseRuns = Number(process.env.LIGHTHOUSE_RUNS ?? 3);
const kDragSteps = 300;

const median = (values) => {
  const v = [...values].sort((a, b) => a - b);
  return v.length % 2 ? v[(v.length - 1) / 2] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2;
};
// A path without an extension is a folder's index.html.
const gzipSize = (name, body) => (kCompressible.has(extname(name) || '.html') ? gzipped(body).length : body.length);

// Runs in the page from its first script on: waits for the frame after the one in which the form
// shows both start pictures, each whole (the site in another language lays images of its words
// over the English pictures and shows them once those have loaded), and the fonts are loaded, and
// keeps its time since navigation start; and the time at which the lesson plays (the page's
// body[data-ready]).
function firstFrameProbe() {
  new MutationObserver((changes, observer) => {
    if (!document.body?.dataset.ready) return;
    window.readyMs = performance.now();
    observer.disconnect();
  }).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-ready'] });
  const whole = (picture) => {
    const parts = [...picture.querySelectorAll('img, canvas')];
    return parts.length > 0 && parts.every((e) => e.tagName === 'CANVAS' ||
      (e.complete && e.naturalWidth > 0 && getComputedStyle(e).visibility === 'visible'));
  };
  const check = () => {
    const form = document.getElementById('Form1');
    const shown = [...document.querySelectorAll('#Form1 .picture')].filter((p) => p.offsetParent !== null);
    const ready = form !== null && form.offsetParent !== null && getComputedStyle(form).visibility === 'visible' &&
      shown.length === 2 && shown.every(whole) && document.fonts.status === 'loaded';
    if (ready) requestAnimationFrame(() => { window.firstFrameMs = performance.now(); });
    else requestAnimationFrame(check);
  };
  requestAnimationFrame(check);
}

// The floor pages need the pictures as PNGs (the start screen two, the earlier floor all four):
// the site's canvases, exactly as it drew them.
async function makeFloor(browser, siteUrl) {
  const floor = mkdtempSync(join(tmpdir(), 'velmora-floor-'));
  cpSync(floorSource, floor, { recursive: true });
  cpSync(join(siteDir, 'fonts'), join(floor, 'fonts'), { recursive: true });
  const page = await browser.newPage();
  await page.goto(siteUrl);
  await page.waitForSelector('body[data-ready]');
  // The page draws a picture when it shows it: all four shown, and the view a pixel wider (the
  // form still at one to one), which makes the page draw every shown picture.
  await page.$$eval('#Form1 [data-control]', (controls) => controls.forEach((c) => { c.hidden = false; }));
  const viewport = page.viewport();
  await page.setViewport({ ...viewport, width: viewport.width + 1 });
  await page.waitForFunction(() => [...document.querySelectorAll('#Form1 canvas')].every((c) => c.width === c.offsetWidth));
  const pngs = await page.$$eval('#Form1 canvas', (canvases) => canvases.map((c) => [c.closest('[data-control]').id, c.toDataURL('image/png')]));
  const files = { Picture1: 'enzyme.png', Picture2: 'substrate.png', Picture3: 'products.png', Picture4: 'complex.png' };
  for (const [control, url] of pngs) writeFileSync(join(floor, files[control]), Buffer.from(url.split(',')[1], 'base64'));
  // The earlier floor, four-pictures.html: the start screen with the two pictures hidden at the start too.
  const hidden = (control, left, top, width, height, alt) => `  <div id="${control}" class="picture" ` +
    `style="left:${left}px;top:${top}px;width:${width}px;height:${height}px;display:none"><img src="${files[control]}" ` +
    `width="203" height="203" alt="${alt}"></div>\n`;
  writeFileSync(join(floor, 'four-pictures.html'), readFileSync(join(floor, 'index.html'), 'utf8').replace('  <button',
    hidden('Picture3', 184, 48, 241, 217, 'Products') + hidden('Picture4', 216, 272, 257, 233, 'Enzyme–substrate complex') + '  <button'));
  await page.close();
  return floor;
}

// When the visit's page and its last PNG had arrived, and its first contentful paint, in ms since
// navigation start (the browser reports a paint a little after it, at times after the next frame).
const timings = async () => ({
  pageMs: performance.getEntriesByType('navigation')[0].responseEnd,
  picturesMs: Math.max(...performance.getEntriesByType('resource').filter((r) => r.name.endsWith('.png')).map((r) => r.responseEnd)),
  paintMs: await new Promise((resolve) => {
    new PerformanceObserver((list, observer) => {
      const paint = list.getEntriesByName('first-contentful-paint')[0];
      if (!paint) return;
      observer.disconnect();
      resolve(paint.startTime);
    }).observe({ type: 'paint', buffered: true });
  }),
});

// One first visit of `path` (a page and a query) on `server`.
async function loadOnce(browser, server, withDrag, path = '') {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.evaluateOnNewDocument(firstFrameProbe);
  const files = [];
  page.on('response', (response) => { if (!response.url().startsWith('data:')) files.push(new URL(response.url()).pathname); });
  const before = server.sent();
  await page.goto(server.url + path, { waitUntil: 'load' });
  await page.waitForFunction(() => window.firstFrameMs !== undefined, { timeout: 15000 });
  const firstFrameMs = await page.evaluate(() => window.firstFrameMs);
  const { pageMs, picturesMs, paintMs } = await page.evaluate(timings);
  // The floor page has no script: nothing to play.
  const plays = await page.evaluate(() => document.scripts.length > 0);
  const readyMs = plays ? await (await page.waitForFunction(() => window.readyMs, { timeout: 15000 })).jsonValue() : null;
  // The frame is correct: enzyme black in its block, substrate red, Reset's face light.
  const form = await page.evaluate(() => {
    const box = document.getElementById('Form1').getBoundingClientRect();
    return [box.left, box.top];
  });
  const [enzyme, substrate, reset] = await pixels(page, ([x, y]) => [form[0] + x, form[1] + y],
    [[232, 400], [230, 130], [520, 80]]);
  const correct = enzyme.join(',') === '0,0,0' && substrate.join(',') === '255,0,0' && reset.every((c) => c > 150);
  if (!correct) throw new Error(`${server.url}: the first frame is not the start screen`);
  // Everything the visit brings: the page's files and what its service worker keeps.
  await page.evaluate(() => (document.querySelector('link[rel="manifest"]') ? navigator.serviceWorker.ready : null));
  const sent = server.sent() - before;
  let scriptMsPerStep = null;
  if (withDrag) {
    const cdp = await page.createCDPSession();
    await cdp.send('Performance.enable');
    const box = await page.$eval('#Picture2', (e) => { const r = e.getBoundingClientRect(); return [r.left + 100, r.top + 100]; });
    const scriptSeconds = async () => (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'ScriptDuration').value;
    await page.mouse.move(...box);
    await page.mouse.down();
    const before = await scriptSeconds();
    for (let i = 1; i <= kDragSteps; ++i) {
      await cdp.send('Input.dispatchMouseEvent', { type: 'mouseMoved', x: box[0] + (i % 150) * 2, y: box[1] + (i % 100), button: 'left', buttons: 1 });
    }
    const after = await scriptSeconds();
    await page.mouse.up();
    scriptMsPerStep = ((after - before) * 1000) / kDragSteps;
  }
  await context.close();
  return { firstFrameMs, paintMs, pageMs, picturesMs, readyMs, sent, scriptMsPerStep, files };
}

// Lighthouse's mobile performance audit of the site served by Python's http.server: medians of
// the score and the largest contentful paint, with each run's figures.
async function lighthouse() {
  const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', siteDir],
    { stdio: ['ignore', 'pipe', 'ignore'] });
  try {
    const port = await new Promise((resolve, reject) => {
      server.stdout.on('data', (data) => { const m = /port (\d+)/.exec(String(data)); if (m) resolve(m[1]); });
      server.once('exit', () => reject(new Error('python3 -m http.server did not start')));
    });
    const cli = createRequire(import.meta.url).resolve('lighthouse/cli/index.js');
    const results = [];
    for (let i = 0; i < lighthouseRuns; ++i) {
      const report = await new Promise((resolve, reject) => {
        const run = spawn(process.execPath, [cli, `http://127.0.0.1:${port}/`, '--only-categories=performance',
          '--output=json', '--output-path=stdout', '--quiet', '--chrome-flags=--headless=new --no-sandbox --disable-gpu'],
        { env: { ...process.env, CHROME_PATH: process.env.CHROMIUM ?? '/usr/bin/chromium' }, stdio: ['ignore', 'pipe', 'inherit'] });
        let out = '';
        run.stdout.on('data', (data) => { out += data; });
        run.once('exit', (code) => (code === 0 ? resolve(JSON.parse(out)) : reject(new Error(`lighthouse ended with ${code}`))));
      });
      results.push({ score: report.categories.performance.score * 100, lcp: report.audits['largest-contentful-paint'].numericValue,
        version: report.lighthouseVersion });
    }
    return results;
  } finally {
    server.kill();
  }
}

const browser = await launch();
const plainSite = await serve(siteDir);
const floorDir = await makeFloor(browser, plainSite.url);
const servers = [plainSite, await serve(floorDir), await serve(siteDir, { gzip: true }), await serve(floorDir, { gzip: true })];
try {
  const results = { site: [], floor: [], floorFour: [], siteGzip: [], floorGzip: [], siteGerman: [] };
  for (let i = 0; i < runs; ++i) {
    results.site.push(await loadOnce(browser, servers[0], true));
    results.floor.push(await loadOnce(browser, servers[1], false));
    results.siteGzip.push(await loadOnce(browser, servers[2], false));
    results.floorGzip.push(await loadOnce(browser, servers[3], false));
    results.siteGerman.push(await loadOnce(browser, servers[0], false, '?lang=de'));
    results.floorFour.push(await loadOnce(browser, servers[1], false, 'four-pictures.html'));
  }
  const version = await browser.version();
  const m = (list, key) => median(list.map((r) => r[key]));
  // A figure the browser did not give (no paint entry, no PNG fetched) shows as n/a, not a crash.
  const ms = (value) => (Number.isFinite(value) ? `${value.toFixed(1)} ms` : 'n/a').padStart(9);
  console.log(`${version}, ${runs} first visits of each page, alternating, medians (ms since navigation start):`);
  console.log('                                     first frame      FCP   page in  pictures in   x floor   paired   x four-picture floor');
  // Paired: the median, over the rounds, of the page's first frame over its floor's in the same round.
  const paired = (key, floor) => median(results[key].map((r, i) => r.firstFrameMs / results[floor][i].firstFrameMs));
  const row = (name, key, floor = 'floor') => {
    const frame = m(results[key], 'firstFrameMs');
    const ratios = key.startsWith('floor') ? '' : `   ${(frame / m(results[floor], 'firstFrameMs')).toFixed(2).padStart(7)}` +
      `  ${paired(key, floor).toFixed(2).padStart(7)}` +
      (floor === 'floor' ? `   ${(frame / m(results.floorFour, 'firstFrameMs')).toFixed(2).padStart(7)}` : '');
    console.log(`  ${name.padEnd(34)} ${ms(frame)} ${ms(m(results[key], 'paintMs'))} ${ms(m(results[key], 'pageMs'))}    ` +
      `${ms(m(results[key], 'picturesMs'))}${ratios}`);
  };
  row('site, plain server', 'site');
  row('site in German (?lang=de), plain', 'siteGerman');
  row('start-screen floor, plain server', 'floor');
  row('four-picture floor, plain server', 'floorFour');
  row('site, gzip server', 'siteGzip', 'floorGzip');
  row('start-screen floor, gzip server', 'floorGzip');
  console.log(`the lesson plays (body[data-ready]), plain server  site ${m(results.site, 'readyMs').toFixed(1)} ms   ` +
    `gzip server ${m(results.siteGzip, 'readyMs').toFixed(1)} ms   in German ${m(results.siteGerman, 'readyMs').toFixed(1)} ms`);
  const kib = (list) => `${(m(list, 'sent') / 1024).toFixed(1)} KiB`;
  console.log(`sent, plain server    site ${kib(results.site)}   floor ${kib(results.floor)}`);
  console.log(`sent, gzip server     site ${kib(results.siteGzip)}   floor ${kib(results.floorGzip)}`);
  console.log(`drag, script per step site ${m(results.site, 'scriptMsPerStep').toFixed(3)} ms (${kDragSteps} steps)`);
  console.log(`files fetched         site ${results.site[0].files.join(' ')}`);
  console.log(`                      floor ${results.floor[0].files.join(' ')}`);
  console.log('site files on disk (KiB raw / gzip -6):');
  const walk = (dir, prefix = '') => readdirSync(dir).flatMap((name) => (statSync(join(dir, name)).isDirectory()
    ? walk(join(dir, name), `${prefix}${name}/`) : [[`${prefix}${name}`, readFileSync(join(dir, name))]]));
  let rawTotal = 0;
  let gzipTotal = 0;
  for (const [name, body] of walk(siteDir)) {
    const gz = gzipSize(name, body);
    rawTotal += body.length;
    gzipTotal += gz;
    console.log(`  ${name.padEnd(28)} ${(body.length / 1024).toFixed(1).padStart(7)} / ${(gz / 1024).toFixed(1).padStart(6)}`);
  }
  console.log(`  ${'all'.padEnd(28)} ${(rawTotal / 1024).toFixed(1).padStart(7)} / ${(gzipTotal / 1024).toFixed(1).padStart(6)}`);
  const single = join(siteDir, '..', 'velmora.html');
  console.log(`single file velmora.html: ${(statSync(single).size / 1024).toFixed(1)} KiB (${statSync(single).size} bytes)`);
  if (lighthouseRuns > 0) {
    const audits = await lighthouse();
    console.log(`Lighthouse ${audits[0].version}, mobile, Python http.server, ${audits.length} runs: performance median ` +
      `${median(audits.map((a) => a.score))} (${audits.map((a) => a.score).join(', ')}), largest contentful paint median ` +
      `${(median(audits.map((a) => a.lcp)) / 1000).toFixed(2)} s (${audits.map((a) => (a.lcp / 1000).toFixed(2)).join(', ')})`);
  }
} finally {
  await browser.close();
  for (const server of servers) server.close();
  rmSync(floorDir, { recursive: true, force: true });
}
