// SPDX-License-Identifier: MIT
// The page's side of the lesson: it builds one element per control from what the lesson (C++,
// compiled to WebAssembly) describes, forwards pointer, key and focus events to it in form
// pixels, and draws and says what each step returns. Nothing here decides what happens.

import createVelmora from './velmora.js';

const notice = document.getElementById('notice');
const formElement = document.getElementById('Form1');
const announcer = document.getElementById('announcer');
const errorBox = document.getElementById('error-box');

function showNotice(text) {
  notice.textContent = text;
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
  if (step.focus) document.getElementById(step.focus).focus();
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
    element = document.createElement('div');
    element.className = 'label';
    element.textContent = control.caption;
  } else {
    element = document.createElement('div');
    element.className = 'picture';
    element.setAttribute('role', control.draggable || control.clickable ? 'button' : 'img');
    if (control.draggable) element.setAttribute('aria-roledescription', form.draggableRole);
    element.setAttribute('aria-label', control.accessibleName);
    if (control.accessibleDescription) {
      const description = document.createElement('span');
      description.id = `${control.name}-description`;
      description.className = 'visually-hidden';
      description.textContent = control.accessibleDescription;
      element.setAttribute('aria-describedby', description.id);
      formElement.parentElement.append(description);
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

function pictureCanvas(index) {
  const size = form.pictureSize;
  const canvas = document.createElement('canvas');
  canvas.width = size;
  canvas.height = size;
  canvas.setAttribute('aria-hidden', 'true');
  const view = form.pictures[index]; // the lesson's memory: putImageData copies it at once
  const pixels = new Uint8ClampedArray(view.buffer, view.byteOffset, view.length);
  canvas.getContext('2d').putImageData(new ImageData(pixels, size, size), 0, 0);
  return canvas;
}

// The model's change notice: hide or show the control. False tells the lesson it failed.
const presentation = {
  setVisible(name, visible) {
    try {
      const element = document.getElementById(name);
      element.hidden = !visible;
      return element.hidden === !visible;
    } catch {
      return false;
    }
  },
};

const kArrows = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };

function wireGestures() {
  // One pointer at a time plays: the main button, a pen or a finger, from its press to its release.
  let pointer = null;
  formElement.addEventListener('pointerdown', (event) => {
    if (!event.isPrimary || event.button !== 0 || pointer !== null) return;
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

async function start() {
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    notice.classList.remove('pending');
    return;
  }
  let module;
  try {
    module = await createVelmora({ onAbort: () => showNotice(notice.dataset.cannotLoad) });
  } catch {
    showNotice(notice.dataset.cannotLoad);
    return;
  }
  notice.hidden = true;
  // The lesson speaks the first language it knows of a ?lang= in the address (a teacher's link)
  // and the browser's own, in that order.
  const wanted = [new URLSearchParams(location.search).get('lang') ?? '', ...(navigator.languages ?? [])];
  const language = module.chooseLanguage(wanted);
  document.documentElement.lang = language.tag;
  document.documentElement.dir = language.direction;
  lesson = new module.Lesson(presentation);
  form = lesson.form();
  document.title = form.title;
  document.getElementById('error-ok').textContent = form.ok;
  if (form.startError) {
    showNotice(form.startError);
    showError(form.errorTitle, form.startError);
    return;
  }
  // Only the texts follow the language's direction: the form keeps its layout in every language.
  formElement.dir = 'ltr';
  formElement.setAttribute('role', 'group');
  formElement.setAttribute('aria-label', form.caption);
  formElement.setAttribute('aria-describedby', 'stage');
  formElement.style.setProperty('--frame', `${form.pictureFrame}px`);
  formElement.style.setProperty('--focus-ring', form.focusRing);
  formElement.style.setProperty('--focus-ring-width', `${form.focusRingWidth}px`);
  Object.assign(formElement.style, { width: `${form.width}px`, height: `${form.height}px`, background: form.backColor });
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
  wireGestures();
  formElement.hidden = false;
  if (form.firstFocus) document.getElementById(form.firstFocus).focus({ focusVisible: false });
  await document.fonts.ready;
  requestAnimationFrame(() => { document.body.dataset.ready = 'true'; });
}

start();
