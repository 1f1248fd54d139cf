// SPDX-License-Identifier: MIT
// The program's own voice and sounds on the page, in headless browsers whose speech and audio
// are stood in for: the stand-ins record what the page asks of them (which sentence, in which
// language and voice; which sound starts), and when, against the time of the pupil's input.
//   node voice.test.mjs --list                                 ENGINE, EDITION and CASE a line
//   node voice.test.mjs SITE SINGLE_FILE ENGINE EDITION "CASE"  runs one

import assert from 'node:assert/strict';
import { pathToFileURL } from 'node:url';

// The browser's speech and Web Audio as recorders, with `voices` ([lang, name, whether it is the
// default] each) for the speech's voices; installed before the page's own scripts run.
function standIns(voices) {
  const asked = { spoken: [], cancels: 0, contexts: 0, buffers: [], started: [], inputs: [] };
  window.asked = asked;
  const synth = new EventTarget();
  synth.getVoices = () => voices.map(([lang, name, isDefault = false]) => ({ lang, name, voiceURI: name, default: isDefault, localService: true }));
  synth.speak = (utterance) => asked.spoken.push({ text: utterance.text, lang: utterance.lang,
    voice: utterance.voice?.name ?? null, cancelledBefore: asked.cancels, at: performance.now() });
  synth.cancel = () => { asked.cancels += 1; };
  Object.defineProperty(window, 'speechSynthesis', { value: synth, configurable: true });
  window.SpeechSynthesisUtterance = class { constructor(text) { this.text = text; } };
  window.AudioContext = class {
    constructor() { asked.contexts += 1; this.state = 'running'; this.destination = {}; }
    resume() { return Promise.resolve(); }
    createBuffer(channels, length, rate) {
      const data = new Float32Array(length);
      asked.buffers.push({ channels, rate, data });
      return { index: asked.buffers.length - 1, getChannelData: () => data };
    }
    createBufferSource() {
      const source = { connect() {}, start: () => asked.started.push({ buffer: source.buffer.index, at: performance.now() }) };
      return source;
    }
  };
  for (const type of ['keydown', 'pointerdown']) addEventListener(type, (event) => asked.inputs.push(event.timeStamp), true);
}

// What the stand-ins were asked so far, each sound's buffer as its rate, length and loudest sample.
const askedOf = (page) => page.evaluate(() => ({ ...window.asked,
  buffers: window.asked.buffers.map(({ rate, data }) => ({ rate, length: data.length, peak: Math.max(...data.map(Math.abs)) })) }));

async function open(browser, url, query, voices = [['en-US', 'Sam']]) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.evaluateOnNewDocument(standIns, voices);
  await page.goto(`${url}${query}`);
  await page.waitForSelector('body[data-ready]', { timeout: 15000 });
  return { page, errors };
}

const press = async (page, key, times = 1) => { for (let i = 0; i < times; ++i) await page.keyboard.press(key); };
const heard = (page) => page.$eval('#announcer', (e) => e.textContent);
const nextFrame = (page) => page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));

// The pupil picks the substrate up (Tab, Space) and binds it by keyboard; what was asked after each.
async function pickUpAndBind(page) {
  await press(page, 'Tab');
  await press(page, ' ');
  await nextFrame(page);
  const pickUp = { asked: await askedOf(page), heard: await heard(page) };
  await press(page, 'ArrowDown', 21);
  const beforeBind = await askedOf(page);
  await press(page, ' ');
  await nextFrame(page);
  return { pickUp, beforeBind, bind: { asked: await askedOf(page), heard: await heard(page) } };
}

// Milliseconds from the pupil's last input to `at`.
const delay = (asked, at) => (at - asked.inputs.filter((t) => t <= at).at(-1)).toFixed(1);

const cases = {
  async 'the address speaks the steps in German or sounds them, by default neither, and a missing voice is told once'(browser, url) {
    // A German lesson has no region of its own: of two German voices, the browser's default speaks.
    const german = [['de-AT', 'Lena'], ['de_DE', 'Anna', true], ['en-US', 'Sam']];
    const noGerman = [['en-US', 'Sam'], ['fr-FR', 'Marie']];
    for (const [query, voices, speaks, sounds] of [['', german, false, false], ['?voice=on&lang=de', german, true, false],
      ['?sound=on', german, false, true], ['?voice=on&lang=de', noGerman, false, false]]) {
      const { page, errors } = await open(browser, url, query, voices);
      const { pickUp, beforeBind, bind } = await pickUpAndBind(page);
      const switches = await page.$$eval('#aids input', (all) => all.map((e) => e.checked));
      assert.deepEqual(switches, [query.includes('voice'), sounds], `${query}: the switches show it`);
      const noVoice = await page.$eval('#no-voice', (e) => e.textContent);
      if (speaks) {
        const said = pickUp.asked.spoken.at(-1);
        assert.deepEqual([said.text, said.lang, said.voice, noVoice], [pickUp.heard, 'de', 'Anna', ''], 'the pick-up, in German');
        assert.match(said.text, /Substrat/);
        assert.equal(bind.asked.spoken.at(-1).text, bind.heard, 'the bind');
        assert.ok(bind.asked.spoken.every((s, i) => s.cancelledBefore > (bind.asked.spoken[i - 1]?.cancelledBefore ?? -1)),
          'each sentence cuts off the one before');
        console.log(`step to speak: ${delay(pickUp.asked, said.at)} ms (pick-up), ${delay(bind.asked, bind.asked.spoken.at(-1).at)} ms (bind)`);
      } else {
        assert.deepEqual(bind.asked.spoken, [], `${query}: nothing spoken`);
        const shown = (await page.evaluate(() => document.body.innerText)).split('keine Stimme').length - 1;
        assert.deepEqual([shown, noVoice === '' || /^Dieser Computer hat keine Stimme/.test(noVoice)],
          [query.includes('voice') ? 1 : 0, true], `${query}: whether the page says once that no voice speaks German`);
      }
      if (sounds) {
        assert.equal(pickUp.asked.started.length, 1, 'the pick-up starts one sound');
        assert.equal(bind.asked.started.length, beforeBind.started.length + 1, 'the bind starts one sound');
        const [first, last] = [pickUp.asked.started[0], bind.asked.started.at(-1)];
        assert.notEqual(first.buffer, last.buffer, 'the bind sounds unlike the pick-up');
        for (const { buffer } of [first, last]) {
          const { rate, length, peak } = bind.asked.buffers[buffer];
          assert.ok(rate === 22050 && length > 0 && peak > 0.1 && peak <= 1, JSON.stringify(bind.asked.buffers[buffer]));
        }
        console.log(`step to sound start: ${delay(pickUp.asked, first.at)} ms (pick-up), ${delay(bind.asked, last.at)} ms (bind)`);
      } else {
        assert.deepEqual([bind.asked.contexts, bind.asked.started], [0, []], `${query}: no sound, no audio asked for`);
      }
      assert.deepEqual(errors, []);
      await page.close();
    }
  },

  async 'the switches turn voice and sounds on and off by mouse, finger and keyboard, and nothing is kept'(browser, url) {
    const { page, errors } = await open(browser, url, '');
    await page.click('#voice-switch-text');
    await page.tap('#sound-switch-text');
    await page.focus('#Picture1');
    const { bind } = await pickUpAndBind(page);
    assert.equal(bind.asked.spoken.at(-1).text, bind.heard, 'the voice switched on by the mouse');
    assert.ok(bind.asked.started.length >= 2, 'the sounds switched on by a finger');
    // Tab from the lesson's last control to the switches, and Space turns each off again.
    await page.focus('#voice-switch');
    await press(page, ' ');
    await press(page, 'Tab');
    await press(page, ' ');
    const off = await page.$$eval('#aids input', (all) => all.map((e) => e.checked));
    assert.deepEqual(off, [false, false], 'Space turned both off');
    const before = await askedOf(page);
    await page.click('#Command1');
    const after = await askedOf(page);
    assert.deepEqual([after.spoken.length, after.started.length], [before.spoken.length, before.started.length], 'silent again');
    assert.ok(after.cancels > bind.asked.cancels, 'switching the voice off cut it off');
    assert.deepEqual(errors, []);
    // Switched on again, the sounds last until the page is left: nothing is written anywhere.
    await press(page, ' ');
    assert.deepEqual(await page.evaluate(() => [localStorage.length, sessionStorage.length, document.cookie]), [0, 0, '']);
    await page.reload();
    await page.waitForSelector('body[data-ready]');
    assert.deepEqual(await page.$$eval('#aids input', (all) => all.map((e) => e.checked)), [false, false], 'off after a reload');
  },
};

const kEngineNames = { chromium: 'Chromium', firefox: 'Firefox' };
const args = process.argv.slice(2);
if (args[0] === '--list') {
  for (const engine of Object.keys(kEngineNames)) {
    for (const edition of ['served site', 'single file']) {
      for (const name of Object.keys(cases)) console.log(`${engine}\t${kEngineNames[engine]}, ${edition}\t${name}`);
    }
  }
} else {
  const [site, singleFile, engine, edition, name] = args;
  if (!cases[name] || !kEngineNames[engine]) {
    console.error(`no such case: ${engine} ${name}`);
    process.exit(2);
  }
  const { serve, runCase } = await import('./browser.mjs');
  const server = await serve(site);
  const url = edition.endsWith('single file') ? pathToFileURL(singleFile).href : server.url;
  try {
    await runCase(name, engine, (browser) => cases[name](browser, url));
  } finally {
    await server.close();
  }
}
