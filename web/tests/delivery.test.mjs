// SPDX-License-Identifier: MIT
// The web edition in headless Chromium: how the lesson reaches the pupil. The single file on its
// own, the offline copy after one visit, and what a first visit transfers. One case a run
// (lesson_support.mjs has the command line).

import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, readFileSync, rmSync, statSync, utimesSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import {
  kBound, at, centre, mouseDrag, open, shown, runCases,
} from './lesson_support.mjs';

const cases = {
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

await runCases(cases, {
  oneEdition: {
    'the single file asks for nothing but data: URLs, from the disk and inside a frame of a served page': 'single file',
    'after one visit the lesson loads and binds in its language with the server gone, and a new version is the one kept': 'served site',
    'a first visit transfers at most 150 KB from a plain server, and Chromium can install the lesson as Tessivar': 'served site',
  },
});
