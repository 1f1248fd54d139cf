// SPDX-License-Identifier: MIT
// The lesson's core (C++, compiled to WebAssembly) and its C interface as the calls the page
// makes.

import createVelmora from './velmora.js';

// The lesson's core from the WebAssembly's bytes (a promise of them); `setVisible` is the model's
// change notice.
function loadModule(wasm, setVisible) {
  return new Promise((resolve, reject) => {
    createVelmora({
      setVisible,
      onAbort: reject,
      instantiateWasm(imports, receive) {
        wasm.then((bytes) => WebAssembly.instantiate(bytes, imports))
          .then(({ instance, module }) => receive(instance, module), reject);
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
  const inCopy = (bytes, call) => {
    const copy = module._malloc(bytes.length + 1);
    module.HEAPU8.set(bytes, copy);
    module.HEAPU8[copy + bytes.length] = 0;
    try {
      return call(copy, bytes.length);
    } finally {
      module._free(copy);
    }
  };
  const given = (bytes, call) => inCopy(bytes, (copy, size) => answer(call(copy, size)));
  // Tags one a line, as the lesson reads a list; a tag holds no white space, so none can add a line.
  const lines = (tags) => new TextEncoder().encode(tags.map((tag) => String(tag).replace(/\s/g, '')).join('\n'));
  let controls = [];
  let pictureSize = 0;
  const at = (name) => controls.findIndex((control) => control.name === name);
  return {
    // Chooses the first of `tags` that the page has: { tag, direction }.
    chooseLanguage: (tags) => given(lines(tags), module._velmora_choose_language),
    // Which of `tags` (the browser's voices' languages, in its order; `preferred` the default
    // voice's place, -1 for none) speaks the lesson's language: its place, -1 for none.
    voiceFor: (tags, preferred) => inCopy(lines(tags), (copy, size) => module._velmora_voice_for(copy, size, preferred)),
    // The chosen language's files (a pack that holds them): the lesson speaks it, { tag, direction }.
    languageFiles: (bytes) => given(bytes, module._velmora_language_files),
    // The form's words and its controls, in reading order; the voice and the sounds preset on or off.
    start: (voice, sound) => {
      const started = answer(module._velmora_start(voice, sound));
      controls = started.controls;
      pictureSize = started.pictureSize;
      return started;
    },
    // The four pictures decoded from the records' bytes: { pictures (RGBA, copied), error }.
    pictures: (records) => {
      const decoded = given(records, module._velmora_pictures);
      const bytes = pictureSize * pictureSize * 4;
      decoded.pictures = decoded.pictures.map((address) => new Uint8ClampedArray(module.HEAPU8.buffer, address, bytes).slice());
      return decoded;
    },
    pointerDown: (id, [x, y], second) => answer(module._velmora_pointer_down(id, x, y, second)),
    pointerMove: (id, [x, y]) => answer(module._velmora_pointer_move(id, x, y)),
    pointerUp: (id, [x, y]) => answer(module._velmora_pointer_up(id, x, y)),
    pointerCancel: (id) => answer(module._velmora_pointer_cancel(id)),
    // A key by its number in the started form's `keys`, pressed (`down`) or released.
    key: (key, down, shift, repeat, time) => answer(module._velmora_key(key, down, shift, repeat, time)),
    activate: (name) => answer(module._velmora_activate(at(name))),
    focusMoved: (name) => answer(module._velmora_focus_moved(at(name))),
    windowBlurred: () => answer(module._velmora_window_blurred()),
    // The pupil's switch of an aid by its number: whether each aid is on now.
    toggle: (aid) => answer(module._velmora_toggle(aid)),
    // The cues' sounds: { rate, cues }, each cue's samples in [-1, 1) (copied), by its number.
    cues: () => {
      const { rate, cues } = answer(module._velmora_cues());
      return {
        rate,
        cues: cues.map(({ address, length }) => Float32Array.from(new Int16Array(module.HEAPU8.buffer, address, length), (v) => v / 32768)),
      };
    },
  };
}

// The lesson, once its core has loaded from the WebAssembly's bytes (a promise of them).
export async function loadLesson(wasm, setVisible) {
  return lessonOf(await loadModule(wasm, setVisible));
}
