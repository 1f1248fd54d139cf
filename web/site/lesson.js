// SPDX-License-Identifier: MIT
// The page's side of the lesson: it builds one element per control from what the lesson (C++,
// compiled to WebAssembly) describes, forwards pointer, key and focus events to it in form
// pixels, and draws and says what each step returns. Nothing here decides what happens.

import createVelmora from './velmora.js';

const notice = document.getElementById('notice');
const view = document.getElementById('view');
const formElement = document.getElementById('Form1');
const announcer = document.getElementById('announcer');
const errorBox = document.getElementById('error-box');

// Says `text` at once; `retry` offers to fetch the lesson again.
function showNotice(text, retry = false) {
  document.getElementById('notice-text').textContent = text;
  document.getElementById('try-again').hidden = !retry;
  notice.classList.remove('pending');
  notice.hidden = false;
}

let lesson = null;
let form = null;
let outline = null;
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

function createControl(control) {
  const r = control.rect;
  let element;
  if (control.kind === 'button') {
    element = document.createElement('button');
    element.type = 'button';
    element.className = 'button';
    element.textContent = control.caption;
  } else if (control.kind === 'label') {
    // The form's one label is its heading, and the page's.
    element = document.createElement('h1');
    element.className = 'label';
    element.textContent = control.caption;
  } else {
    element = document.createElement('div');
    element.className = 'picture';
    element.setAttribute('role', control.draggable || control.clickable ? 'button' : 'img');
    if (control.draggable) element.setAttribute('aria-roledescription', form.draggableRole);
    element.setAttribute('aria-label', control.accessibleName);
    // Inside its picture, the description is hidden with it; it is the picture's description and
    // never read on its own.
    if (control.accessibleDescription) {
      const description = document.createElement('span');
      description.id = `${control.name}-description`;
      description.className = 'visually-hidden';
      description.setAttribute('aria-hidden', 'true');
      description.textContent = control.accessibleDescription;
      element.setAttribute('aria-describedby', description.id);
      element.append(description);
    }
    if (control.picture >= 0) {
      const inner = document.createElement('div');
      inner.className = 'inner';
      inner.append(pictureCanvas(control.picture));
      element.append(inner);
    }
  }
  if (control.focusable && control.kind !== 'button') element.tabIndex = 0;
  element.id = control.name;
  element.dataset.control = control.kind;
  element.hidden = !control.visible;
  Object.assign(element.style, {
    left: `${r.x}px`, top: `${r.y}px`, width: `${r.width}px`, height: `${r.height}px`,
    zIndex: String(control.layer), background: control.backColor, color: control.foreColor,
  });
  if (control.font) {
    element.style.font = `${control.font.font}, var(--fallback-fonts)`;
    element.style.textDecoration = control.font.decoration || 'none';
  }
  return element;
}

// Each picture's canvas, with the picture's own RGBA pixels (a square of form.pictureSize) once
// the lesson has decoded them.
const pictures = new Map();

function pictureCanvas(index) {
  const size = form.pictureSize;
  const canvas = document.createElement('canvas');
  canvas.setAttribute('aria-hidden', 'true');
  canvas.dataset.picture = index;
  Object.assign(canvas.style, { width: `${size}px`, height: `${size}px` });
  return canvas;
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

// The lesson's files, as the page's preload links name them (data: URLs in the single-file
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
const pictureRecords = () => inflated('velmora-pictures');
const instantiate = async (imports) => WebAssembly.instantiate(await inflated('velmora-wasm'), imports);

function loadModule() {
  return new Promise((resolve, reject) => {
    createVelmora({
      setVisible: (name, visible) => presentation.setVisible(name, visible),
      onAbort: reject,
      instantiateWasm(imports, receive) {
        instantiate(imports).then(({ instance, module }) => receive(instance, module), reject);
        return {};
      },
    }).then(resolve, reject);
  });
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
    // The form and its controls, in reading order.
    start: () => {
      const started = answer(module._velmora_start());
      controls = started.controls;
      return started;
    },
    controls: () => controls,
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
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    showNotice(notice.dataset.cannotRun);
    return;
  }
  // A file of the lesson could not be fetched: from the disk, because the browser refuses it there.
  const cannotLoad = () => {
    if (location.protocol === 'file:') showNotice(notice.dataset.fromFile);
    else showNotice(notice.dataset.cannotLoad, true);
  };
  // Without its style sheet the form would fall apart: that file did not come either.
  if (getComputedStyle(view).position !== 'relative') {
    cannotLoad();
    return;
  }
  const records = pictureRecords();
  records.catch(() => {}); // its failure is told below
  try {
    lesson = lessonOf(await loadModule());
  } catch {
    cannotLoad();
    return;
  }
  notice.hidden = true;
  // The lesson speaks the first language it knows of a ?lang= in the address (a teacher's link)
  // and the browser's own, in that order.
  const wanted = [new URLSearchParams(location.search).get('lang') ?? '', ...(navigator.languages ?? [])];
  const language = lesson.chooseLanguage(wanted);
  document.documentElement.lang = language.tag;
  document.documentElement.dir = language.direction;
  form = lesson.start();
  document.title = form.title;
  document.getElementById('error-ok').textContent = form.ok;
  // Only the texts follow the language's direction: the form keeps its layout in every language.
  formElement.dir = 'ltr';
  formElement.setAttribute('role', 'group');
  formElement.setAttribute('aria-label', form.caption);
  formElement.setAttribute('aria-describedby', 'stage');
  formElement.style.setProperty('--frame', `${form.pictureFrame}px`);
  formElement.style.setProperty('--focus-ring', form.focusRing);
  formElement.style.setProperty('--focus-ring-width', `${form.focusRingWidth}px`);
  Object.assign(formElement.style, { width: `${form.width}px`, height: `${form.height}px`, background: form.backColor });
  view.style.setProperty('--form-back', form.backColor);
  const stage = document.createElement('p');
  stage.id = 'stage';
  stage.className = 'visually-hidden';
  stage.textContent = form.stage;
  formElement.after(stage);

  for (const control of lesson.controls()) formElement.append(createControl(control));
  outline = document.createElement('div');
  outline.id = 'outline';
  outline.hidden = true;
  outline.setAttribute('aria-hidden', 'true');
  formElement.append(outline);
  // Laid out at once but not shown until its pictures are drawn: the browser loads the fonts of
  // its words while the pictures are decoded.
  formElement.style.visibility = 'hidden';
  formElement.hidden = false;
  fit();
  void formElement.offsetWidth;
  let decoded;
  try {
    decoded = lesson.pictures(await records);
  } catch {
    formElement.hidden = true;
    cannotLoad();
    return;
  }
  if (decoded.error) { // a damaged record
    formElement.hidden = true;
    showNotice(decoded.error);
    showError(form.errorTitle, decoded.error);
    return;
  }
  for (const canvas of formElement.querySelectorAll('canvas')) pictures.set(canvas, decoded.pictures[canvas.dataset.picture]);
  drawShownPictures();
  formElement.style.visibility = '';
  wireGestures();
  new ResizeObserver(fit).observe(view);
  watchPixelRatio();
  watchPrinting();
  if (form.firstFocus) document.getElementById(form.firstFocus).focus({ preventScroll: true, focusVisible: false });
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
