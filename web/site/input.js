// SPDX-License-Identifier: MIT
// The pupil's input, passed to the lesson as it comes: pointers in form pixels, keys, clicks
// without a pointer, and where the focus is. Each step the lesson returns goes to `apply`.

const formElement = document.getElementById('Form1');

// The name of the control `target` belongs to, or ''.
export function controlOf(target) {
  const element = target?.closest?.('[data-control]');
  return element && formElement.contains(element) ? element.id : '';
}

const kArrows = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };

// Pointer position in form pixels (the started `form`'s), whatever the page's zoom.
function pointIn(form, event) {
  const box = formElement.getBoundingClientRect();
  return [
    Math.floor((event.clientX - box.left) * form.width / box.width),
    Math.floor((event.clientY - box.top) * form.height / box.height),
  ];
}

// Passes the pointers on the started `form` to `lesson`.
function wirePointers(form, lesson, apply) {
  const formPoint = (event) => pointIn(form, event);
  // One pointer at a time plays: the main button, a pen or a finger. The lesson follows the last
  // one to go down, so a resting palm or another pupil's hand keeps no one from playing; once it
  // drags, that pointer alone moves and ends the drag, and every other one is ignored.
  let pointer = null;
  // Whether the browser's click count makes a press the second of a double-click: the second,
  // fourth, ... press in a row, as the desktop's window systems take a third as a single one.
  const secondOfDoubleClick = (count) => count > 0 && count % 2 === 0;
  // A mouse's press waits here for its mousedown, which follows its pointerdown at once and alone
  // carries the click count in every engine.
  let mousePress = null;
  formElement.addEventListener('pointerdown', (event) => {
    // A finger's copies of mouse events come after it has lifted, when a release or a reset may
    // have put another control under it: their press would take the focus the lesson just gave.
    if (event.pointerType === 'touch') event.preventDefault();
    if (event.button !== 0 || lesson.dragging()) return;
    if (pointer !== null) apply(lesson.pointerCancel());
    pointer = event.pointerId;
    formElement.setPointerCapture(event.pointerId);
    if (event.pointerType === 'mouse') mousePress = formPoint(event);
    else apply(lesson.pointerDown(...formPoint(event), secondOfDoubleClick(event.detail)));
  });
  formElement.addEventListener('mousedown', (event) => {
    if (!mousePress) return;
    const point = mousePress;
    mousePress = null;
    apply(lesson.pointerDown(...point, secondOfDoubleClick(event.detail)));
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
}

// Passes the keys, clicks without a pointer and focus changes to `lesson`.
function wireKeys(lesson, apply) {
  // Pointer clicks went to the lesson as pointers. A click without a pointer (a key on the button, a
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

// Passes the pupil's input on the started `form` to `lesson` from now on.
export function wireInput(form, lesson, apply) {
  wirePointers(form, lesson, apply);
  wireKeys(lesson, apply);
}

