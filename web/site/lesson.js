// SPDX-License-Identifier: MIT
// The page's side of the lesson: it loads the lesson (C++, compiled to WebAssembly) and takes
// over the form the page shows (written into it in its start state, as the lesson describes it,
// when the page was built), puts it in the language of the lesson, then forwards pointer, key
// and focus events to it in form pixels (input.js), and draws (drawing.js), says (steps.js) and
// speaks and sounds (aids.js) what each step returns. Nothing here decides what happens.

import { wireAids } from './aids.js';
import { loadLesson } from './core.js';
import { startDrawing, setVisible } from './drawing.js';
import { controlOf, wireInput } from './input.js';
import { showError, showNotice, stepApplier } from './steps.js';

const notice = document.getElementById('notice');
const view = document.getElementById('view');
const formElement = document.getElementById('Form1');

// The page's own words in each language (written into it when it was built), by tag.
let pageTexts = null;
const pageLanguage = (tag) => {
  pageTexts ??= JSON.parse(document.getElementById('page-languages').textContent).texts;
  return pageTexts[tag];
};

// Puts the lesson's words on the form the page shows, in the lesson's language: the page's title
// and sentences, the controls' captions, names and descriptions, and the stage.
function takeOver(form, language) {
  document.documentElement.lang = language.tag;
  document.documentElement.dir = language.direction;
  const texts = pageLanguage(language.tag);
  notice.dataset.cannotRun = texts.cannotRun;
  notice.dataset.cannotLoad = texts.cannotLoad;
  notice.dataset.fromFile = texts.fromFile;
  document.getElementById('try-again').textContent = texts.tryAgain;
  document.title = form.title;
  document.getElementById('error-ok').textContent = form.ok;
  document.getElementById('stage').textContent = form.stage;
  for (const control of form.controls) {
    const element = document.getElementById(control.name);
    if (element.dataset.control !== 'picture') element.textContent = control.caption;
    else element.setAttribute('aria-label', control.accessibleName);
    const description = document.getElementById(`${control.name}-description`);
    if (description) description.textContent = control.accessibleDescription;
  }
}

// The lesson's files, as the page's hidden links name them (data: URLs in the single-file
// edition).
const fileUrl = (id) => document.getElementById(id).href;

async function fetched(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status}`);
  return response;
}

// A file of the lesson carried gzipped (the picture records, the WebAssembly, a language's
// files), inflated.
async function inflated(url) {
  const response = await fetched(url);
  return new Uint8Array(await new Response(response.body.pipeThrough(new DecompressionStream('gzip'))).arrayBuffer());
}

// Resolves once the browser has drawn the start screen the page shows, its pictures in place, so
// that the lesson's own start, which keeps the browser busy for a while, does not hold it up; at
// once where the page draws nothing now (hidden).
async function startScreenDrawn() {
  if (document.hidden) return;
  await Promise.all([...formElement.querySelectorAll('img')].map((image) => image.decode().catch(() => {})));
  await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
}

async function start() {
  // A form that cannot be played is not shown.
  const refuse = (text, retry = false) => {
    view.hidden = true;
    showNotice(text, retry);
  };
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function' ||
      typeof DecompressionStream !== 'function') {
    refuse(notice.dataset.cannotRun);
    return;
  }
  // A file of the lesson could not be fetched: from the disk, because the browser refuses it there.
  const cannotLoad = () => {
    if (location.protocol === 'file:') refuse(notice.dataset.fromFile);
    else refuse(notice.dataset.cannotLoad, true);
  };
  // All on the way at once; a failure is told below.
  const records = inflated(fileUrl('velmora-pictures'));
  const wasm = inflated(fileUrl('velmora-wasm'));
  let files = languageFiles(document.documentElement.lang);
  for (const file of [records, wasm, files]) file?.catch(() => {});
  let lesson;
  let language;
  let form;
  let decoded;
  try {
    await startScreenDrawn();
    lesson = await loadLesson(wasm, setVisible);
    // The lesson speaks the first language it knows of a ?lang= in the address (a teacher's link)
    // and the browser's own, in that order.
    const query = new URLSearchParams(location.search);
    const wanted = [query.get('lang') ?? '', ...(navigator.languages ?? [])];
    language = lesson.chooseLanguage(wanted);
    if (language.tag !== document.documentElement.lang) files = languageFiles(language.tag);
    if (files) language = lesson.languageFiles(await files);
    // A teacher's link may switch the voice and the sounds on: ?voice=on, ?sound=on.
    form = lesson.start(query.get('voice') === 'on', query.get('sound') === 'on');
    takeOver(form, language);
    decoded = lesson.pictures(await records);
  } catch (error) {
    // A WebAssembly this browser cannot compile is one it is too old to run, not a lost file.
    if (error instanceof WebAssembly.CompileError || error instanceof WebAssembly.LinkError) refuse(notice.dataset.cannotRun);
    else cannotLoad();
    return;
  }
  notice.hidden = true;
  if (decoded.error) { // a damaged record
    refuse(decoded.error);
    showError(form.errorTitle, decoded.error);
    return;
  }
  // The pictures as the lesson draws them, in its language, take the place of the page's images.
  startDrawing(form, decoded.pictures);
  const applyStep = stepApplier(form);
  const carryOut = wireAids(form, lesson, language.tag);
  const apply = (step) => {
    carryOut(step); // first, so that nothing the page does delays a sound or the voice
    applyStep(step);
  };
  wireInput(form, lesson, apply);
  // The focus starts on the lesson's first control, unless the pupil has put it on one already.
  const focusedBefore = controlOf(document.activeElement);
  if (focusedBefore) apply(lesson.focusMoved(focusedBefore));
  else if (form.firstFocus) document.getElementById(form.firstFocus).focus({ preventScroll: true, focusVisible: false });
  await document.fonts.ready;
  requestAnimationFrame(() => { document.body.dataset.ready = 'true'; });
  keepForOffline(language.tag);
}

// The files of the language `tag` beside the WebAssembly, which carries English: all languages'
// in one in the single file (a data: URL), else the language's own; none for English.
function languageFiles(tag) {
  const all = fileUrl('velmora-languages');
  if (all.startsWith('data:')) return inflated(all);
  return tag === 'en' ? null : inflated(new URL(`lang-${tag}.bin`, all).href);
}

// The installable site (the page with a manifest, served over HTTP) keeps itself for use with no
// network, in the language `tag` too (on a first visit its files came before the worker did); the
// single file and a page opened from the disk have nothing to keep.
function keepForOffline(tag) {
  if (!('serviceWorker' in navigator) || !document.querySelector('link[rel="manifest"]') || !/^https?:$/.test(location.protocol)) return;
  const first = !navigator.serviceWorker.controller;
  const pictures = pageLanguage(tag).start?.pictures ?? [];
  const keep = [...pictures.map((word) => fileUrl(word[1])), ...(tag === 'en' ? [] : [`lang-${tag}.bin`])];
  navigator.serviceWorker.register('sw.js')
    .then(() => navigator.serviceWorker.ready)
    .then((registration) => { if (first && keep.length) registration.active.postMessage({ keep }); })
    .catch(() => {}); // without it the lesson still plays online
}

start();
