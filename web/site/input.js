// SPDX-License-Identifier: MIT
// The pupil's input, passed to the lesson as it comes: every pointer with its id in form pixels,
// every press and release of the keys the lesson answers, clicks without a pointer, and where the
// focus is. The lesson decides what each does; each step it returns goes to `apply`, and a key it
// took does nothing else.

const formElement = document.getElementById('Form1');

// The name of the control `target` belongs to, or ''.
export function controlOf(target) {
  const element = target?.closest?.('[data-control]');
  return element && formElement.contains(element) ? element.id : '';
}

// Pointer position in form pixels (the started `form`'s), whatever the page's zoom.
function pointIn(form, event) {
  const box = formElement.getBoundingClientRect();
  return [
    Math.floor((event.clientX - box.left) * form.width / box.width),
    Math.floor((event.clientY - box.top) * form.height / box.height),
  ];
}

// Whether the browser's click count makes a press the second of a double-click: the second,
// fourth, ... press in a row, as the desktop's window systems take a third as a single one.
const secondOfDoubleClick = (count) => count > 0 && count % 2 === 0;

// Listens on the window for `type` events aimed at the form. Mouse and click listeners stay off
// the page (pointer listeners off the form): a browser tells a screen reader that whatever sits
// under one, or anywhere under the window's, is clickable, which the pictures are not.
function onForm(type, listener) {
  window.addEventListener(type, (event) => {
    if (formElement.contains(event.target)) listener(event);
  });
}

// Passes every pointer on the started `form` to `lesson`, which decides which one plays.
function wirePointers(form, lesson, apply) {
  const at = (event) => pointIn(form, event);
  // A mouse's press waits here for its mousedown, which follows its pointerdown at once and alone
  // carries the click count in every engine.
  let mousePress = null;
  onForm('pointerdown', (event) => {
    // A finger's copies of mouse events come after it has lifted, when a release or a reset may
    // have put another control under it: their press would take the focus the lesson just gave.
    if (event.pointerType === 'touch') event.preventDefault();
    if (event.button !== 0) return;
    // Each pointer's moves and release come here, wherever it goes.
    formElement.setPointerCapture(event.pointerId);
    if (event.pointerType !== 'mouse') {
      apply(lesson.pointerDown(event.pointerId, at(event), secondOfDoubleClick(event.detail)));
      return;
    }
    // Listened for only until it comes, so that no mouse listener stays on the page.
    if (!mousePress) window.addEventListener('mousedown', mouseDown, { once: true });
    mousePress = [event.pointerId, at(event)];
  });
  const mouseDown = (event) => {
    if (!mousePress) return;
    const [id, point] = mousePress;
    mousePress = null;
    apply(lesson.pointerDown(id, point, secondOfDoubleClick(event.detail)));
  };
  onForm('pointermove', (event) => apply(lesson.pointerMove(event.pointerId, at(event))));
  onForm('pointerup', (event) => {
    if (event.button === 0) apply(lesson.pointerUp(event.pointerId, at(event)));
  });
  const cancel = (event) => apply(lesson.pointerCancel(event.pointerId));
  onForm('pointercancel', cancel);
  onForm('lostpointercapture', cancel);
  window.addEventListener('blur', () => apply(lesson.windowBlurred()));
}

// Passes the keys the lesson answers (the started `form`'s `keys`), clicks without a pointer and
// focus changes to `lesson`.
function wireKeys(form, lesson, apply) {
  const passKey = (event) => {
    const key = form.keys[event.key];
    if (key === undefined || event.altKey || event.ctrlKey || event.metaKey) return;
    if (event.target.closest?.('#aids')) return; // Space on a switch beside the form is the switch's
    const step = lesson.key(key, event.type === 'keydown', event.shiftKey, event.repeat, Math.round(event.timeStamp));
    if (step.handled) event.preventDefault();
    apply(step);
  };
  document.addEventListener('keydown', passKey);
  document.addEventListener('keyup', passKey);
  // Pointer clicks went to the lesson as pointers, and the keys it took click nothing. A click
  // without a pointer on a button (a screen reader's default action) is an activation.
  for (const button of formElement.querySelectorAll('button, [role="button"]')) {
    button.addEventListener('click', (event) => {
      if (event.detail === 0) apply(lesson.activate(button.id));
    });
  }
  // Where the focus is, for the lesson: a control of the form, or nothing of it.
  formElement.addEventListener('focusin', (event) => apply(lesson.focusMoved(controlOf(event.target))));
  formElement.addEventListener('focusout', (event) => {
    if (!formElement.contains(event.relatedTarget)) apply(lesson.focusMoved(''));
  });
}

// Passes the pupil's input on the started `form` to `lesson` from now on.
export function wireInput(form, lesson, apply) {
  wirePointers(form, lesson, apply);
  wireKeys(form, lesson, apply);
}
