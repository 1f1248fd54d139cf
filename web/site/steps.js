// SPDX-License-Identifier: MIT
// What the page shows and says of the lesson: the notice in place of a form that cannot play,
// the error box, the live region's sentences, and every step the lesson returns (outline,
// sentence, focus, pressed control, stage, error) applied to the page as it is.

import { recordStep } from './scorm.js';

const notice = document.getElementById('notice');
const formElement = document.getElementById('Form1');
const announcer = document.getElementById('announcer');
const errorBox = document.getElementById('error-box');
const outline = document.getElementById('outline');

// Says `text` at once; `retry` offers to fetch the lesson again.
export function showNotice(text, retry = false) {
  document.getElementById('notice-text').textContent = text;
  document.getElementById('try-again').hidden = !retry;
  notice.classList.remove('pending');
  notice.hidden = false;
}

export function showError(title, text) {
  document.getElementById('error-title').textContent = title;
  document.getElementById('error-text').textContent = text;
  if (!errorBox.open) errorBox.showModal();
}

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

// What applies every lesson input's step for the started `form`: outline, sentence, focus,
// pressed control, stage, and the error that ended the lesson.
export function stepApplier(form) {
  let pressed = null;
  return (step) => {
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
    const stage = document.getElementById('stage');
    if (stage.textContent !== step.stage) stage.textContent = step.stage;
    say(step.say);
    if (step.focus) document.getElementById(step.focus).focus({ preventScroll: true });
  };
}
