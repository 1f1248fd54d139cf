// SPDX-License-Identifier: MIT
// Measures the web edition against the floor page (bench/web_floor/) in headless Chromium:
//   node measure.mjs SITE FLOOR [RUNS]
// Each page is loaded RUNS times (15 unless given), alternately, from a plain static server and
// again from one that compresses with gzip. Prints medians of the time from navigation start to the first correct frame, the bytes
// transferred (raw, and as a server compressing with gzip level 6 would send them), and for the
// site the main thread's script time over a 300-step mouse drag of the substrate.

import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join } from 'node:path';
import { gzipped, kCompressible, launch, pixels, serve } from '../tests/browser.mjs';

const [siteDir, floorSource, runsArg] = process.argv.slice(2);
const runs = Number(runsArg ?? 15);
const kDragSteps = 300;

const median = (values) => {
  const v = [...values].sort((a, b) => a - b);
  return v.length % 2 ? v[(v.length - 1) / 2] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2;
};
// A path without an extension is a folder's index.html.
const gzipSize = (name, body) => (kCompressible.has(extname(name) || '.html') ? gzipped(body).length : body.length);

// Runs in the page from its first script on: waits for the frame after the one in which both
// shown pictures and the fonts are in place, and keeps its time since navigation start.
function firstFrameProbe() {
  const shownPictures = () => [...document.querySelectorAll('#Form1 img, #Form1 canvas')]
    .filter((e) => e.offsetParent !== null && (e.tagName === 'CANVAS' || (e.complete && e.naturalWidth > 0)));
  const check = () => {
    const ready = document.getElementById('Form1')?.offsetParent !== null && shownPictures().length === 2 &&
      document.fonts.status === 'loaded';
    if (ready) requestAnimationFrame(() => { window.firstFrameMs = performance.now(); });
    else requestAnimationFrame(check);
  };
  requestAnimationFrame(check);
}

// The floor page needs the four pictures as PNGs: the site's canvases, exactly as it drew them.
async function makeFloor(browser, siteUrl) {
  const floor = mkdtempSync(join(tmpdir(), 'velmora-floor-'));
  cpSync(floorSource, floor, { recursive: true });
  cpSync(join(siteDir, 'fonts'), join(floor, 'fonts'), { recursive: true });
  const page = await browser.newPage();
  await page.goto(siteUrl);
  await page.waitForSelector('body[data-ready]');
  const pngs = await page.$$eval('#Form1 canvas', (canvases) => canvases.map((c) => [c.closest('[data-control]').id, c.toDataURL('image/png')]));
  const files = { Picture1: 'enzyme.png', Picture2: 'substrate.png', Picture3: 'products.png', Picture4: 'complex.png' };
  for (const [control, url] of pngs) writeFileSync(join(floor, files[control]), Buffer.from(url.split(',')[1], 'base64'));
  await page.close();
  return floor;
}

async function loadOnce(browser, url, withDrag) {
  const page = await browser.newPage();
  await page.setCacheEnabled(false);
  await page.evaluateOnNewDocument(firstFrameProbe);
  const bodies = [];
  page.on('response', async (response) => {
    if (response.status() !== 200 || response.url().startsWith('data:')) return;
    const name = new URL(response.url()).pathname;
    bodies.push(response.buffer().then((body) => [name, body]).catch(() => [name, Buffer.alloc(0)]));
  });
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.firstFrameMs !== undefined, { timeout: 15000 });
  const firstFrameMs = await page.evaluate(() => window.firstFrameMs);
  // The frame is correct: enzyme black in its block, substrate red, Reset's face light.
  const form = await page.evaluate(() => {
    const box = document.getElementById('Form1').getBoundingClientRect();
    return [box.left, box.top];
  });
  const [enzyme, substrate, reset] = await pixels(page, ([x, y]) => [form[0] + x, form[1] + y],
    [[232, 400], [230, 130], [520, 80]]);
  const correct = enzyme.join(',') === '0,0,0' && substrate.join(',') === '255,0,0' && reset.every((c) => c > 150);
  if (!correct) throw new Error(`${url}: the first frame is not the start screen`);
  const files = await Promise.all(bodies);
  const raw = files.reduce((sum, [, body]) => sum + body.length, 0);
  const gzip = files.reduce((sum, [name, body]) => sum + gzipSize(name, body), 0);
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
  await page.close();
  return { firstFrameMs, raw, gzip, scriptMsPerStep, files: files.map(([name]) => name) };
}

const browser = await launch();
const plainSite = await serve(siteDir);
const floorDir = await makeFloor(browser, plainSite.url);
const servers = [plainSite, await serve(floorDir), await serve(siteDir, { gzip: true }), await serve(floorDir, { gzip: true })];
try {
  const results = { site: [], floor: [], siteGzip: [], floorGzip: [] };
  for (let i = 0; i < runs; ++i) {
    results.site.push(await loadOnce(browser, servers[0].url, true));
    results.floor.push(await loadOnce(browser, servers[1].url, false));
    results.siteGzip.push(await loadOnce(browser, servers[2].url, false));
    results.floorGzip.push(await loadOnce(browser, servers[3].url, false));
  }
  const version = await browser.version();
  const m = (list, key) => median(list.map((r) => r[key]));
  const frames = (site, floor) => {
    const a = m(results[site], 'firstFrameMs');
    const b = m(results[floor], 'firstFrameMs');
    return `site ${a.toFixed(1)} ms   floor ${b.toFixed(1)} ms   ratio ${(a / b).toFixed(2)}`;
  };
  console.log(`${version}, ${runs} loads of each page from each server, medians:`);
  console.log(`first correct frame, plain server  ${frames('site', 'floor')}`);
  console.log(`first correct frame, gzip server   ${frames('siteGzip', 'floorGzip')}`);
  console.log(`transferred, raw      site ${(m(results.site, 'raw') / 1024).toFixed(1)} KiB   floor ${(m(results.floor, 'raw') / 1024).toFixed(1)} KiB`);
  console.log(`transferred, gzip -6  site ${(m(results.site, 'gzip') / 1024).toFixed(1)} KiB   floor ${(m(results.floor, 'gzip') / 1024).toFixed(1)} KiB`);
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
} finally {
  await browser.close();
  for (const server of servers) server.close();
  rmSync(floorDir, { recursive: true, force: true });
}
