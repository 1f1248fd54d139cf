// SPDX-License-Identifier: MIT
// The page's side of the lesson: it takes over the form the page shows (written into it in its
// start state, as the lesson describes it, when the page was built), puts it in the language of
// the lesson (C++, compiled to WebAssembly), forwards pointer, key and focus events to it in form
// pixels, and draws and says what each step returns. Nothing here decides what happens.

import createVelmora from './velmora.js';
import { recordStep } from './scorm.js';

const notice = document.getElementById('notice');
const view = document.getElementById('view');
const formElement = document.getElementById('Form1');
const announcer = document.getElementById('announcer');
const errorBox = document.getElementById('error-box');
const outline = document.getElementById('outline');

// Says `text` at once; `retry` offers to fetch the lesson again.
function showNotice(text, retry = false) {
  document.getElementById('notice-text').textContent = text;
  document.getElementById('try-again').hidden = !retry;
  notice.classList.remove('pending');
  notice.hidden = false;
}

let lesson = null;
let form = null;
let pressed = null;

function say(text) {
  if (!text) return;
  // Emptied first, so the same sentence twice in a row is heard twice.
  announcer.textContent = '';
  requestAnimationFrame(() => { announcer.textContent = text; });
}

function placeOutline(rect) {
  outline.hidden = !rect;
  if (!rect) return;
  Object.assign(outline.style, {
    left: `${rect.x}px`, top: `${rect.y}px`, width: `${rect.width}px`, height: `${rect.height}px`,
  });
}

function showError(title, text) {
  document.getElementById('error-title').textContent = title;
  document.getElementById('error-text').textContent = text;
  if (!errorBox.open) errorBox.showModal();
}

// What every lesson input returns: outline, sentence, focus, pressed control, stage, and the
// error that ended the lesson.
function apply(step) {
  recordStep(step); // for a learning platform, if one plays the lesson
  if (step.error !== null) {
    placeOutline(null);
    formElement.inert = true;
    formElement.setAttribute('aria-disabled', 'true');
    showNotice(form.ended);
    showError(form.errorTitle, step.error);
    return;
  }
  placeOutline(step.outline);
  if (pressed !== step.pressed) {
    if (pressed) delete document.getElementById(pressed).dataset.pressed;
    if (step.pressed) document.getElementById(step.pressed).dataset.pressed = '';
    pressed = step.pressed;
  }
  document.getElementById('stage').textContent = step.stage;
  say(step.say);
  if (step.focus) document.getElementById(step.focus).focus({ preventScroll: true });
}

// Pointer position in form pixels, whatever the page's zoom.
function formPoint(event) {
  const box = formElement.getBoundingClientRect();
  return [
    Math.floor((event.clientX - box.left) * form.width / box.width),
    Math.floor((event.clientY - box.top) * form.height / box.height),
  ];
}

// The name of the control `target` belongs to, or ''.
function controlOf(target) {
  const element = target?.closest?.('[data-control]');
  return element && formElement.contains(element) ? element.id : '';
}

// Each picture's canvas, with the picture's own RGBA pixels (a square of form.pictureSize) as the
// lesson has decoded them.
const pictures = new Map();

// Puts a canvas for `rgba` into the picture area `element`, in place of the image of the picture
// that the page shows until the lesson draws it.
function placePicture(element, rgba) {
  const size = form.pictureSize;
  const canvas = document.createElement('canvas');
  canvas.setAttribute('aria-hidden', 'true');
  Object.assign(canvas.style, { width: `${size}px`, height: `${size}px` });
  element.querySelector('.inner').replaceChildren(canvas);
  pictures.set(canvas, rgba);
}

// Along one side of `count` picture pixels shown as `size` device pixels: for each device pixel
// the first picture pixel under it, and the share of the device pixel that it and each of the
// next `span - 1` cover.
function coverage(count, size) {
  const step = count / size;
  const span = Math.ceil(step) + 1;
  const first = new Int32Array(size);
  const shares = new Float32Array(size * span);
  for (let i = 0; i < size; ++i) {
    const from = i * step;
    first[i] = Math.floor(from);
    for (let k = 0; k < span && first[i] + k < count; ++k) {
      const p = first[i] + k;
      shares[i * span + k] = Math.max(0, Math.min(from + step, p + 1) - Math.max(from, p)) / step;
    }
  }
  return { size, first, shares, span };
}

// Resamples each of the `lines` lines of `count` RGBA pixels in `input` to `cover.size` pixels,
// and writes them turned: line i of the input becomes column i of `output`.
function resampleLines(input, lines, count, cover, output) {
  const { size, first, shares, span } = cover;
  for (let line = 0; line < lines; ++line) {
    for (let i = 0; i < size; ++i) {
      let r = 0;
      let g = 0;
      let b = 0;
      let a = 0;
      for (let k = 0; k < span; ++k) {
        const share = shares[i * span + k];
        if (share === 0) continue;
        const at = (line * count + first[i] + k) * 4;
        r += input[at] * share;
        g += input[at + 1] * share;
        b += input[at + 2] * share;
        a += input[at + 3] * share;
      }
      const to = (i * lines + line) * 4;
      output[to] = r;
      output[to + 1] = g;
      output[to + 2] = b;
      output[to + 3] = a;
    }
  }
}

// Draws a picture at the size it is shown, `scale` device pixels to the picture pixel: each device
// pixel takes the colours of the picture pixels it covers, by the area it covers of each. At a
// whole-number scale every picture pixel is a sharp square; at any other, an edge is blended over
// one device pixel at most, never smeared; smaller than 1:1, thin lines and letters are averaged
// into their ground instead of dropped.
function drawPicture(canvas, rgba, scale) {
  const count = form.pictureSize;
  const size = Math.max(1, Math.round(count * scale));
  if (canvas.width === size) return;
  // At one to one the picture's own pixels, which the resampling would give unchanged.
  let image = new ImageData(rgba, count, count);
  if (size !== count) {
    const cover = coverage(count, size);
    const columns = new Float32Array(size * count * 4);
    resampleLines(rgba, count, count, cover, columns); // rows across, turned into columns
    image = new ImageData(size, size);
    resampleLines(columns, size, count, cover, image.data); // the columns down, turned back
  }
  canvas.width = size;
  canvas.height = size;
  canvas.getContext('2d').putImageData(image, 0, 0);
}

// Scales the form as a whole to the largest size that fits the view, centred on whole device
// pixels, and draws the pictures for that size. Runs whenever the view changes size (a window
// resized, a phone turned, a zoom, an iframe resized), in the middle of a drag too: the lesson
// works in form pixels and never sees it.
function fit() {
  const box = view.getBoundingClientRect();
  const ratio = window.devicePixelRatio || 1;
  const scale = Math.min(box.width / form.width, box.height / form.height);
  if (printing || !(scale > 0)) return;
  const onPixel = (length) => `${Math.round(length * ratio) / ratio}px`;
  view.style.setProperty('--fit-scale', String(scale));
  view.style.setProperty('--fit-x', onPixel((box.width - form.width * scale) / 2));
  view.style.setProperty('--fit-y', onPixel((box.height - form.height * scale) / 2));
  pictureScale = scale * ratio;
  drawShownPictures();
}

// Device pixels to the picture pixel, as the form is shown now.
let pictureScale = 1;

// Draws the shown pictures for pictureScale; a hidden one is drawn when it is shown.
function drawShownPictures() {
  for (const [canvas, rgba] of pictures) {
    if (!canvas.closest('[data-control]').hidden) drawPicture(canvas, rgba, pictureScale);
  }
}

// Puts the lesson's words on the form the page shows, in the lesson's language: the page's title
// and sentences, the controls' captions, names and descriptions, and the stage.
function takeOver(language) {
  document.documentElement.lang = language.tag;
  document.documentElement.dir = language.direction;
  const texts = JSON.parse(document.getElementById('page-languages').textContent).texts[language.tag];
  notice.dataset.cannotRun = texts.cannotRun;
  notice.dataset.cannotLoad = texts.cannotLoad;
  notice.dataset.fromFile = texts.fromFile;
  document.getElementById('try-again').textContent = texts.tryAgain;
  document.title = form.title;
  document.getElementById('error-ok').textContent = form.ok;
  document.getElementById('stage').textContent = form.stage;
  for (const control of form.controls) {
    const element = document.getElementById(control.name);
    if (element.dataset.control !== 'picture') {
      element.textContent = control.caption;
      continue;
    }
    element.setAttribute('aria-label', control.accessibleName);
    if (element.hasAttribute('aria-roledescription')) element.setAttribute('aria-roledescription', form.draggableRole);
    const description = document.getElementById(`${control.name}-description`);
    if (description) description.textContent = control.accessibleDescription;
  }
}

// Printed, the form keeps its own size (the style sheet's print rules) and the pictures are drawn
// four dots to the picture pixel, sharp squares at a printer's resolution.
const kPrintScale = 4;
let printing = false;
function watchPrinting() {
  addEventListener('beforeprint', () => {
    printing = true;
    pictureScale = kPrintScale;
    drawShownPictures();
  });
  addEventListener('afterprint', () => {
    printing = false;
    fit();
  });
}

// A change of the device pixel ratio alone (the window moved to another screen) changes no size.
function watchPixelRatio() {
  matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`).addEventListener('change', () => {
    fit();
    watchPixelRatio();
  }, { once: true });
}

// The model's change notice: hide or show the control. False tells the lesson it failed.
const presentation = {
  setVisible(name, visible) {
    try {
      const element = document.getElementById(name);
      element.hidden = !visible;
      if (visible) {
        // WebKit drops what a hidden canvas held: a picture that comes back is drawn anew.
        for (const canvas of element.querySelectorAll('canvas')) canvas.width = 0;
        drawShownPictures();
      }
      return element.hidden === !visible;
    } catch {
      return false;
    }
  },
};

const kArrows = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };

function wireGestures() {
  // One pointer at a time plays: the main button, a pen or a finger. The lesson follows the last
  // one to go down, so a resting palm or another pupil's hand keeps no one from playing; once it
  // drags, that pointer alone moves and ends the drag, and every other one is ignored.
  let pointer = null;
  formElement.addEventListener('pointerdown', (event) => {
    // A finger's copies of mouse events come after it has lifted, when a release or a reset may
    // have put another control under it: their press would take the focus the lesson just gave.
    if (event.pointerType === 'touch') event.preventDefault();
    if (event.button !== 0 || lesson.dragging()) return;
    if (pointer !== null) apply(lesson.pointerCancel());
    pointer = event.pointerId;
    formElement.setPointerCapture(event.pointerId);
    apply(lesson.pointerDown(...formPoint(event), false));
  });
  formElement.addEventListener('pointermove', (event) => {
    if (event.pointerId === pointer) apply(lesson.pointerMove(...formPoint(event)));
  });
  formElement.addEventListener('pointerup', (event) => {
    if (event.pointerId !== pointer) return;
    pointer = null;
    apply(lesson.pointerUp(...formPoint(event)));
  });
  const cancel = (event) => {
    if (event.pointerId !== pointer) return;
    pointer = null;
    apply(lesson.pointerCancel());
  };
  formElement.addEventListener('pointercancel', cancel);
  formElement.addEventListener('lostpointercapture', cancel);
  window.addEventListener('blur', () => {
    pointer = null;
    apply(lesson.windowBlurred());
  });

  // Pointer clicks were handled above. A click without a pointer (a key on the button, a
  // screen reader's default action) is an activation.
  formElement.addEventListener('click', (event) => {
    const name = controlOf(event.target);
    if (name && event.detail === 0) apply(lesson.activate(name));
  });

  formElement.addEventListener('keydown', (event) => {
    const name = controlOf(event.target);
    if (!name || event.altKey || event.ctrlKey || event.metaKey) return;
    if (event.key === ' ' || event.key === 'Enter') {
      if (event.target.tagName === 'BUTTON') return; // it clicks itself
      event.preventDefault();
      if (!event.repeat) apply(lesson.activate(name));
    } else if (event.key in kArrows && lesson.holding()) {
      event.preventDefault();
      apply(lesson.moveHold(...kArrows[event.key], event.shiftKey));
    } else if (event.key === 'Escape' && lesson.holding()) {
      event.preventDefault();
      apply(lesson.putDown());
    }
  });
  document.addEventListener('keydown', (event) => {
    if (event.key !== 'F1' || event.altKey || event.ctrlKey || event.metaKey) return;
    event.preventDefault();
    if (!event.repeat) apply(lesson.whereAmI());
  });
  // Where the focus is, for the lesson: a control of the form, or nothing of it.
  formElement.addEventListener('focusin', (event) => apply(lesson.focusMoved(controlOf(event.target))));
  formElement.addEventListener('focusout', (event) => {
    if (!formElement.contains(event.relatedTarget)) apply(lesson.focusMoved(''));
  });
}

// The lesson's files, as the page's hidden links name them (data: URLs in the single-file
// edition).
const fileUrl = (id) => document.getElementById(id).href;

async function fetched(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status}`);
  return response;
}

// A file of the lesson carried gzipped (the picture records, the WebAssembly), inflated.
async function inflated(id) {
  const response = await fetched(fileUrl(id));
  return new Uint8Array(await new Response(response.body.pipeThrough(new DecompressionStream('gzip'))).arrayBuffer());
}

// The lesson's core from the WebAssembly's bytes (a promise of them).
function loadModule(wasm) {
  return new Promise((resolve, reject) => {
    createVelmora({
      setVisible: (name, visible) => presentation.setVisible(name, visible),
      onAbort: reject,
      instantiateWasm(imports, receive) {
        wasm.then((bytes) => WebAssembly.instantiate(bytes, imports))
          .then(({ instance, module }) => receive(instance, module), reject);
        return {};
      },
    }).then(resolve, reject);
  });
}

// Resolves once the browser has drawn the start screen the page shows, its pictures in place, so
// that the lesson's own start, which keeps the browser busy for a while, does not hold it up; at
// once where the page draws nothing now (hidden).
async function startScreenDrawn() {
  if (document.hidden) return;
  await Promise.all([...formElement.querySelectorAll('img')].map((image) => image.decode().catch(() => {})));
  await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
}

// The lesson's C interface as the calls the page makes. Each answers with JSON in the lesson's
// memory; texts and bytes go in through a copy in it; a control goes by its place in reading
// order.
function lessonOf(module) {
  const answer = (address) => JSON.parse(module.UTF8ToString(address));
  const given = (bytes, call) => {
    const copy = module._malloc(bytes.length + 1);
    module.HEAPU8.set(bytes, copy);
    module.HEAPU8[copy + bytes.length] = 0;
    try {
      return answer(call(copy, bytes.length));
    } finally {
      module._free(copy);
    }
  };
  let controls = [];
  const at = (name) => controls.findIndex((control) => control.name === name);
  return {
    // Makes the first of `tags` that the lesson speaks its language: { tag, direction }.
    chooseLanguage: (tags) => given(new TextEncoder().encode(tags.join('\n')), module._velmora_choose_language),
    // The form's words and its controls, in reading order.
    start: () => {
      const started = answer(module._velmora_start());
      controls = started.controls;
      return started;
    },
    // The four pictures decoded from the records' bytes: { pictures (RGBA, copied), error }.
    pictures: (records) => {
      const decoded = given(records, module._velmora_pictures);
      const bytes = form.pictureSize * form.pictureSize * 4;
      decoded.pictures = decoded.pictures.map((address) => new Uint8ClampedArray(module.HEAPU8.buffer, address, bytes).slice());
      return decoded;
    },
    pointerDown: (x, y, second) => answer(module._velmora_pointer_down(x, y, second)),
    pointerMove: (x, y) => answer(module._velmora_pointer_move(x, y)),
    pointerUp: (x, y) => answer(module._velmora_pointer_up(x, y)),
    pointerCancel: () => answer(module._velmora_pointer_cancel()),
    activate: (name) => answer(module._velmora_activate(at(name))),
    moveHold: (dx, dy, fine) => answer(module._velmora_move_hold(dx, dy, fine)),
    putDown: () => answer(module._velmora_put_down()),
    whereAmI: () => answer(module._velmora_where_am_i()),
    focusMoved: (name) => answer(module._velmora_focus_moved(at(name))),
    windowBlurred: () => answer(module._velmora_window_blurred()),
    holding: () => module._velmora_holding() !== 0,
    dragging: () => module._velmora_dragging() !== 0,
  };
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
  // Both on the way at once; a failure is told below.
  const records = inflated('velmora-pictures');
  const wasm = inflated('velmora-wasm');
  records.catch(() => {});
  wasm.catch(() => {});
  let decoded;
  try {
    await startScreenDrawn();
    lesson = lessonOf(await loadModule(wasm));
    // The lesson speaks the first language it knows of a ?lang= in the address (a teacher's link)
    // and the browser's own, in that order.
    const wanted = [new URLSearchParams(location.search).get('lang') ?? '', ...(navigator.languages ?? [])];
    const language = lesson.chooseLanguage(wanted);
    form = lesson.start();
    takeOver(language);
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
  for (const control of form.controls) {
    if (control.picture >= 0) placePicture(document.getElementById(control.name), decoded.pictures[control.picture]);
  }
  fit();
  wireGestures();
  new ResizeObserver(fit).observe(view);
  watchPixelRatio();
  watchPrinting();
  // The focus starts on the lesson's first control, unless the pupil has put it on one already.
  const focusedBefore = controlOf(document.activeElement);
  if (focusedBefore) apply(lesson.focusMoved(focusedBefore));
  else if (form.firstFocus) document.getElementById(form.firstFocus).focus({ preventScroll: true, focusVisible: false });
  await document.fonts.ready;
  requestAnimationFrame(() => { document.body.dataset.ready = 'true'; });
  keepForOffline();
}

// The installable site (the page with a manifest, served over HTTP) keeps itself for use with no
// network; the single file and a page opened from the disk have nothing to keep.
function keepForOffline() {
  if (!('serviceWorker' in navigator) || !document.querySelector('link[rel="manifest"]') || !/^https?:$/.test(location.protocol)) return;
  navigator.serviceWorker.register('sw.js').catch(() => {}); // without it the lesson still plays online
}

start();
