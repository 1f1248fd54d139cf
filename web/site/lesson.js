// SPDX-License-Identifier: MIT
// The page's side of the lesson: it builds one element per control from what the lesson (C++,
// compiled to WebAssembly) describes, forwards pointer and key events to it, and draws and says
// what each step returns. Nothing here decides what happens in the lesson.

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

// What the page says on its own, when there is no lesson to ask: the sentence index.html holds
// for a browser that cannot run the lesson, and the one for a lesson that did not load.
const kCannotRun = notice.textContent.trim();
const kCannotLoad = notice.dataset.cannotLoad;

let lesson = null;
let outline = null;
let dragPointer = null;

function say(text) {
  if (!text) return;
  // Emptied first, so the same sentence twice in a row is heard twice.
  announcer.textContent = '';
  requestAnimationFrame(() => { announcer.textContent = text; });
  announcer.dataset.last = text;
}

function placeOutline(rect) {
  if (!rect) {
    outline.hidden = true;
    return;
  }
  Object.assign(outline.style, {
    left: `${rect.x}px`, top: `${rect.y}px`, width: `${rect.width}px`, height: `${rect.height}px`,
  });
  outline.hidden = false;
}

function showError(title, text) {
  document.getElementById('error-title').textContent = title;
  document.getElementById('error-text').textContent = text;
  if (!errorBox.open) errorBox.showModal();
}

// What every lesson call returns: outline, sentence, focus, stage, and the error that ended it.
function apply(step) {
  if (step.error !== null) {
    placeOutline(null);
    formElement.inert = true;
    formElement.setAttribute('aria-disabled', 'true');
    showNotice(step.ended);
    showError(form.errorTitle, step.error);
    return;
  }
  placeOutline(step.outline);
  document.getElementById('stage').textContent = step.stage;
  say(step.say);
  if (step.focus) document.getElementById(step.focus).focus();
}

let form = null;

// Pointer position in form pixels, whatever the page's zoom.
function formPoint(event) {
  const box = formElement.getBoundingClientRect();
  return [
    Math.floor((event.clientX - box.left) * form.width / box.width),
    Math.floor((event.clientY - box.top) * form.height / box.height),
  ];
}

// The name of the control `target` belongs to, or null.
function controlOf(target) {
  const element = target?.closest?.('[data-control]');
  return element && formElement.contains(element) ? element.id : null;
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
    element.setAttribute('role', control.draggable || control.activatable ? 'button' : 'img');
    if (control.draggable) element.setAttribute('aria-roledescription', 'draggable item');
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
    const f = control.font;
    element.style.font = `${f.italic ? 'italic ' : ''}${f.weight} ${f.points}pt "${f.family}", var(--fallback-fonts)`;
    element.style.textDecoration = [f.underline ? 'underline' : '', f.strikethrough ? 'line-through' : '']
      .join(' ').trim() || 'none';
  }
  return element;
}

function pictureCanvas(index) {
  const width = lesson.pictureWidth();
  const height = lesson.pictureHeight();
  const canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  canvas.setAttribute('aria-hidden', 'true');
  const view = lesson.picture(index); // the lesson's memory: putImageData copies it at once
  const pixels = new Uint8ClampedArray(view.buffer, view.byteOffset, view.length);
  canvas.getContext('2d').putImageData(new ImageData(pixels, width, height), 0, 0);
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
  // A press and release of the main button (or a finger) over the same control is a click; a
  // press on a control that drags automatically starts its drag instead.
  let pressed = null;
  formElement.addEventListener('pointerdown', (event) => {
    if (!event.isPrimary || event.button !== 0 || dragPointer !== null) return;
    const name = controlOf(event.target);
    if (!name) return;
    const step = lesson.beginDrag(name, ...formPoint(event));
    if (!lesson.dragging()) {
      pressed = { pointer: event.pointerId, name };
      return;
    }
    dragPointer = event.pointerId;
    formElement.setPointerCapture(event.pointerId);
    apply(step);
  });
  formElement.addEventListener('pointermove', (event) => {
    if (event.pointerId !== dragPointer) return;
    apply(lesson.moveDrag(...formPoint(event)));
  });
  formElement.addEventListener('pointerup', (event) => {
    if (event.pointerId === dragPointer) {
      dragPointer = null;
      apply(lesson.endDrag(...formPoint(event)));
    } else if (pressed && pressed.pointer === event.pointerId) {
      const { name } = pressed;
      pressed = null;
      // A finger keeps its first target; what counts is what lies under it now.
      if (controlOf(document.elementFromPoint(event.clientX, event.clientY)) === name) apply(lesson.click(name));
    }
  });
  const cancel = () => {
    pressed = null;
    if (dragPointer === null) return;
    dragPointer = null;
    apply(lesson.cancelDrag());
  };
  formElement.addEventListener('pointercancel', cancel);
  formElement.addEventListener('lostpointercapture', (event) => { if (event.pointerId === dragPointer) cancel(); });
  window.addEventListener('blur', () => {
    cancel();
    if (lesson.holding()) apply(lesson.cancelHold());
  });

  formElement.addEventListener('click', (event) => {
    // Pointer clicks were handled above. A click without a pointer (a key on the button, a
    // screen reader's default action) is an activation.
    const name = controlOf(event.target);
    if (name && event.detail === 0) apply(lesson.activate(name));
  });

  formElement.addEventListener('keydown', (event) => {
    const name = controlOf(event.target);
    if (!name || event.altKey || event.ctrlKey || event.metaKey) return;
    if (event.key === ' ' || event.key === 'Enter') {
      if (document.getElementById(name).tagName === 'BUTTON') return; // it clicks itself
      event.preventDefault();
      if (!event.repeat) apply(lesson.activate(name));
    } else if (event.key in kArrows && lesson.holding()) {
      event.preventDefault();
      apply(lesson.moveHold(...kArrows[event.key], event.shiftKey));
    } else if (event.key === 'Escape' && lesson.holding()) {
      event.preventDefault();
      apply(lesson.cancelHold());
    }
  });
  formElement.addEventListener('focusout', () => {
    if (lesson.holding()) apply(lesson.cancelHold());
  });
}

async function start() {
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    showNotice(kCannotRun);
    return;
  }
  let module;
  try {
    module = await createVelmora({ onAbort: () => showNotice(kCannotLoad) });
  } catch {
    showNotice(kCannotLoad);
    return;
  }
  notice.hidden = true;
  lesson = new module.Lesson(presentation);
  form = lesson.form();
  document.title = form.caption;
  if (form.startError) {
    showNotice(form.startError);
    showError(form.errorTitle, form.startError);
    return;
  }
  formElement.setAttribute('role', 'group');
  formElement.setAttribute('aria-label', form.caption);
  formElement.setAttribute('aria-describedby', 'stage');
  formElement.style.setProperty('--frame', `${form.pictureFrame}px`);
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
  const first = formElement.querySelector('[tabindex="0"]:not([hidden]), button:not([hidden])');
  if (first) first.focus({ focusVisible: false });
  await document.fonts.ready;
  requestAnimationFrame(() => { document.body.dataset.ready = 'true'; });
}

start();
