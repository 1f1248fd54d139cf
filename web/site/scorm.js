// SPDX-License-Identifier: MIT
// The lesson on a learning platform that plays it as a SCORM 1.2 package: the page's side of the
// platform's API, the object `API` that the platform puts in a window above the page's frame (or
// in the window that opened the page). It tells the platform that the pupil has begun
// ("incomplete", unless the platform has them completed already), that the pupil has completed
// the lesson once a step of the lesson says the products are released, and how long the pupil
// stayed; it ends the attempt when the page goes, and begins another if the page comes back.
// Nothing here knows a rule of the lesson.
//
// The platform can neither stop nor disturb the lesson: a refusal, an error code or an exception
// of its API is let go, and the pupil is shown nothing of it. Without a platform nothing is done.

// How far the API is looked for: up this many frames from a window, and back through this many
// windows that opened one another, as the SCORM 1.2 run-time's way of finding it has it.
const kFramesUp = 10;
const kOpenersBack = 3;

// `window`'s API, or null; a window of another origin throws when read.
function apiOf(window) {
  try {
    const api = window.API;
    return api && typeof api.LMSInitialize === 'function' ? api : null;
  } catch {
    return null;
  }
}

// The API in `window` or a frame above it, or null.
function apiAbove(window) {
  for (let frame = window, up = 0; frame && up <= kFramesUp; ++up) {
    const api = apiOf(frame);
    if (api) return api;
    let parent = null;
    try {
      parent = frame.parent;
    } catch {
      return null;
    }
    if (parent === frame) return null;
    frame = parent;
  }
  return null;
}

// The platform's API: above this page, else above a window that opened it; null without one.
function platformApi() {
  let window = globalThis;
  for (let back = 0; window && back <= kOpenersBack; ++back) {
    const api = apiAbove(window);
    if (api) return api;
    try {
      window = window.opener;
    } catch {
      return null;
    }
  }
  return null;
}

// One call of the API as the text it answers; "false" for an exception.
function ask(api, name, ...args) {
  try {
    return String(api[name](...args));
  } catch {
    return 'false';
  }
}

// `ms` as SCORM 1.2 writes a time span, HHHH:MM:SS.SS (at most 9999 hours).
function timespan(ms) {
  const hundredths = Math.min(Math.max(0, Math.round(ms / 10)), 9999 * 360000 + 359999);
  const part = (value, digits) => String(value).padStart(digits, '0');
  return `${part(Math.floor(hundredths / 360000), 4)}:${part(Math.floor(hundredths / 6000) % 60, 2)}:` +
    `${part(Math.floor(hundredths / 100) % 60, 2)}.${part(hundredths % 100, 2)}`;
}

// The platform, once it has taken up the attempt; null without one, or once the attempt ended.
let platform = null;
let begun = 0;
let completed = false;

function record(values) {
  if (!platform) return;
  for (const [element, value] of values) ask(platform, 'LMSSetValue', element, value);
  ask(platform, 'LMSSetValue', 'cmi.core.session_time', timespan(performance.now() - begun));
  ask(platform, 'LMSCommit', '');
}

function begin() {
  const api = platformApi();
  if (!api || ask(api, 'LMSInitialize', '') !== 'true') return;
  platform = api;
  begun = performance.now();
  completed = ['completed', 'passed'].includes(ask(api, 'LMSGetValue', 'cmi.core.lesson_status'));
  if (!completed) record([['cmi.core.lesson_status', 'incomplete']]);
}

function end() {
  if (!platform) return;
  record([]);
  ask(platform, 'LMSFinish', '');
  platform = null;
}

// Each step of the lesson, as the page applies it: the first with the products released
// completes the lesson.
export function recordStep(step) {
  if (completed || !step.released) return;
  completed = true;
  record([['cmi.core.lesson_status', 'completed']]);
}

// Nothing here may stop the lesson: whatever throws leaves it playing without its record.
function guarded(action) {
  try {
    action();
  } catch {
    platform = null;
  }
}

guarded(begin);
addEventListener('pagehide', () => guarded(end));
// A page that the browser kept when the pupil left it and shows again (Back, Forward) comes back
// after its attempt ended: it begins a new one where the platform takes one, and otherwise plays
// on unrecorded.
addEventListener('pageshow', (event) => {
  if (event.persisted) guarded(begin);
});
