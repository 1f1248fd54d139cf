// SPDX-License-Identifier: MIT
// The SCORM package on a learning platform, in headless Chromium: the package unzipped next to a
// platform page that shows its SCO in an iframe, with scorm-again's SCORM 1.2 API (which checks
// every call) or with an API that refuses or throws. One case a run, each under its sentence.
//   node scorm.test.mjs --list                                ENGINE, WHERE and CASE a line
//   node scorm.test.mjs PACKAGE ENGINE WHERE "CASE"           runs one

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const kCalls = ['LMSInitialize', 'LMSGetValue', 'LMSSetValue', 'LMSCommit', 'LMSFinish', 'LMSGetLastError'];

// The platform page: window.API as ?platform= asks, each of its calls recorded in `calls` with
// its arguments and its answer; the SCO in an iframe. scorm-again's API is `lms`; "new attempts"
// is scorm-again taking a new attempt (a fresh API) on LMSInitialize after LMSFinish.
const kPlatformPage = `<!doctype html>
<meta charset="utf-8"><title>A course</title>
<script src="scorm12.min.js"></script>
<script>
  window.calls = [];
  const platform = new URLSearchParams(location.search).get('platform');
  const down = () => { throw new Error('the platform is down'); };
  const failing = { refusing: () => 'false', throwing: down,
    'throwing at the end': (name, args) => (args.includes('completed') || name === 'LMSFinish' ? down() : name === 'LMSGetValue' ? '' : 'true') };
  window.lms = new Scorm12API({ logLevel: 5 });
  const again = (name, args) => {
    if (platform === 'new attempts' && name === 'LMSInitialize' && lms.isTerminated()) lms = new Scorm12API({ logLevel: 5 });
    return lms[name](...args);
  };
  const call = ['scorm-again', 'new attempts'].includes(platform) ? again : (name, args) => failing[platform](name, args);
  window.API = {};
  for (const name of ${JSON.stringify(kCalls)}) {
    API[name] = (...args) => {
      const entry = [name, ...args];
      calls.push(entry);
      const answer = call(name, args);
      entry.push(String(answer));
      return answer;
    };
  }
  addEventListener('pageshow', (event) => { window.keptByBrowser = event.persisted; });
</script>
<iframe src="sco/index.html" title="Lesson" style="width: 663px; height: 510px; border: 0"></iframe>`;

// The package unzipped under a fresh directory with the platform page and scorm-again beside it.
function platformDir(zip) {
  const dir = mkdtempSync(join(tmpdir(), 'velmora-scorm-'));
  execFileSync('unzip', ['-q', zip, '-d', join(dir, 'sco')]);
  copyFileSync(createRequire(import.meta.url).resolve('scorm-again/scorm12/min'), join(dir, 'scorm12.min.js'));
  writeFileSync(join(dir, 'platform.html'), kPlatformPage);
  writeFileSync(join(dir, 'elsewhere.html'), '<!doctype html><title>Elsewhere</title>');
  return dir;
}

// The platform page with the lesson started in its iframe.
async function openPlatform(browser, server, platform) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(`${server.url}platform.html?platform=${encodeURIComponent(platform)}`);
  const frame = await (await page.$('iframe')).contentFrame();
  await frame.waitForSelector('body[data-ready]', { timeout: 15000 });
  return { page, frame, errors };
}

// The lesson's frame reached through the platform page, for a page the browser kept and showed
// again, whose frames puppeteer no longer sees: $eval and evaluate as a puppeteer frame has them.
const lessonFrame = (page) => ({
  $eval: (selector, action) => page.evaluate(`(${action})(document.querySelector('iframe').contentDocument` +
    `.querySelector(${JSON.stringify(selector)}))`),
  evaluate: (action) => page.evaluate(`document.querySelector('iframe').contentWindow.eval(${JSON.stringify(`(${action})()`)})`),
});
const status = (page) => page.evaluate(() => lms.cmi.core.lesson_status);
const shown = (frame, name) => frame.$eval(`#${name}`, (e) => !e.hidden);

// The lesson played from the keyboard: Tab to the substrate, Space, down onto the enzyme, Space,
// and Space on the complex, where the focus has gone; `whenBound` is called in between.
async function playByKeyboard({ page, frame }, whenBound = async () => {}) {
  await frame.$eval('#Picture1', (e) => e.focus());
  await page.keyboard.press('Tab');
  await page.keyboard.press(' ');
  for (let i = 0; i < 11; ++i) await page.keyboard.press('ArrowDown');
  await page.keyboard.press(' ');
  assert.equal(await shown(frame, 'Picture4'), true, 'the complex is shown');
  await whenBound();
  await page.keyboard.press(' ');
  assert.equal(await shown(frame, 'Picture3'), true, 'the products are shown');
}

const cases = {
  async 'the package lists its every file, and on a platform a keyboard lesson is completed and leaving ends the attempt'(browser, server, dir) {
    const manifest = readFileSync(join(dir, 'sco', 'imsmanifest.xml'), 'utf8');
    const listed = [...manifest.matchAll(/<file href="([^"]+)"\/>/g)].map((m) => m[1]).sort();
    const packed = execFileSync('unzip', ['-Z1', join(dir, 'package.zip')], { encoding: 'utf8' })
      .split('\n').filter((name) => name && name !== 'imsmanifest.xml').sort();
    assert.deepEqual(listed, packed, 'the manifest lists every file of the package');
    assert.match(manifest, /<schemaversion>1\.2<\/schemaversion>/);
    assert.match(manifest, /adlcp:scormtype="sco" href="index.html"/);

    const lesson = await openPlatform(browser, server, 'scorm-again');
    const { page, frame } = lesson;
    const [title, start] = await frame.evaluate(() => [document.title, document.getElementById('stage').textContent]);
    assert.equal(manifest.match(/<organization [^>]*>\s*<title>([^<]*)</)?.[1], title, 'the platform shows the page\'s title');
    assert.ok(manifest.includes(`<imsmd:langstring xml:lang="en">${start} `), 'the description begins where the pupil does');
    assert.equal(await status(page), 'incomplete', 'begun');
    await playByKeyboard(lesson, async () => assert.equal(await status(page), 'incomplete', 'bound is not completed'));
    assert.equal(await status(page), 'completed');
    await frame.goto('about:blank');
    await page.waitForFunction(() => calls.some(([name]) => name === 'LMSFinish'), { timeout: 5000 });
    const calls = await page.evaluate(() => calls);
    const names = calls.map(([name]) => name);
    assert.equal(names[0], 'LMSInitialize');
    assert.deepEqual(names.slice(-2), ['LMSCommit', 'LMSFinish'], 'committed, then the attempt ends');
    const completedAt = calls.findIndex(([, element, value]) => element === 'cmi.core.lesson_status' && value === 'completed');
    assert.ok(names.indexOf('LMSCommit', completedAt) > completedAt, 'committed once completed');
    for (const call of calls.filter(([name]) => name !== 'LMSGetValue')) assert.equal(call.at(-1), 'true', `${call} accepted`);
    const times = calls.filter(([name, element]) => name === 'LMSSetValue' && element === 'cmi.core.session_time');
    assert.ok(times.length > 0, 'the session time is told');
    for (const [, , time] of times) assert.match(time, /^\d{4}:[0-5]\d:[0-5]\d\.\d\d$/);
    assert.equal(await page.evaluate(() => lms.isTerminated()), true);
    assert.deepEqual(lesson.errors, []);
  },

  async 'a page shown again by Back begins a new attempt where the platform takes one, else plays on unrecorded'(browser, server) {
    for (const [platform, taken] of [['new attempts', true], ['scorm-again', false]]) {
      const lesson = await openPlatform(browser, server, platform);
      const { page } = lesson;
      await playByKeyboard(lesson);
      const atLeaving = await page.evaluate(() => calls.length);
      await page.goto(`${server.url}elsewhere.html`);
      await page.goBack();
      assert.equal(await page.evaluate(() => window.keptByBrowser), true, `${platform}: the browser kept the page`);
      const frame = lessonFrame(page);
      await frame.$eval('#Command1', (e) => e.click());
      await playByKeyboard({ page, frame });
      const calls = (await page.evaluate(() => calls)).slice(atLeaving);
      const names = calls.map(([name]) => name);
      const again = names.indexOf('LMSInitialize');
      assert.notEqual(again, -1, `${platform}: asked to begin again`);
      assert.deepEqual(names.slice(0, again), ['LMSSetValue', 'LMSCommit', 'LMSFinish'], `${platform}: leaving ended the attempt`);
      assert.equal(calls[again].at(-1), String(taken), `${platform}: a new attempt taken or refused`);
      const after = names.slice(again + 1);
      assert.equal(after.includes('LMSSetValue'), taken, `${platform}: recorded only in a new attempt`);
      assert.equal(after.includes('LMSFinish'), false, `${platform}: not finished twice`);
      if (taken) assert.equal(await status(page), 'completed', `${platform}: the new attempt is completed`);
      assert.deepEqual(await frame.evaluate(() => [document.getElementById('notice').hidden,
        document.querySelectorAll('dialog[open]').length]), [true, 0], `${platform}: nothing is shown`);
      assert.deepEqual(lesson.errors, [], platform);
      await page.close();
    }
  },

  async 'a platform that refuses or throws on every call still lets the pupil bind and release, and is not shown'(browser, server) {
    for (const platform of ['refusing', 'throwing', 'throwing at the end']) {
      const lesson = await openPlatform(browser, server, platform);
      await playByKeyboard(lesson);
      const calls = await lesson.page.evaluate(() => calls.map(([name]) => name));
      assert.equal(calls[0], 'LMSInitialize', `${platform}: the platform was found`);
      assert.deepEqual(await lesson.frame.evaluate(() => [document.getElementById('notice').hidden,
        document.querySelectorAll('dialog[open]').length]), [true, 0], `${platform}: nothing is shown`);
      await lesson.frame.goto('about:blank');
      assert.deepEqual(lesson.errors, [], platform);
      await lesson.page.close();
    }
  },
};

const kWhere = 'Chromium, SCORM package';
const args = process.argv.slice(2);
if (args[0] === '--list') {
  for (const name of Object.keys(cases)) console.log(`chromium\t${kWhere}\t${name}`);
} else {
  const [zip, engine, where, name] = args;
  if (!cases[name] || engine !== 'chromium' || where !== kWhere) {
    console.error(`no such case: ${engine} ${where} ${name}`);
    process.exit(2);
  }
  const { serve, runCase } = await import('./browser.mjs');
  const dir = platformDir(zip);
  copyFileSync(zip, join(dir, 'package.zip'));
  const server = await serve(dir);
  try {
    await runCase(name, engine, (browser) => cases[name](browser, server, dir));
  } finally {
    await server.close();
    rmSync(dir, { recursive: true, force: true });
  }
}
