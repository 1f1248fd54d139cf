// SPDX-License-Identifier: MIT
// The program's own voice and sound cues: the two switches beside the form, the browser's speech
// (speechSynthesis) in a voice of the lesson's language, and the cues' sounds through Web Audio.
// The lesson holds whether each is on and answers each step with what to say and which cue to
// play; here they are only carried out. Nothing is stored: the choice lasts as long as the page.

const noVoice = document.getElementById('no-voice');
const switches = [...document.querySelectorAll('#aids input[data-aid]')];
const aidOf = (id) => Number(document.getElementById(id).dataset.aid);

// How long the page waits for a browser that has named no voice yet (they may come late) before
// it takes it that it has none.
const kVoicesWait = 2000;

// The browser's speech in the lesson's language `tag`, in the voice `lesson` chooses for it. Where
// it has no voice for it, `noVoiceText` is shown once beside the switches while the voice is on,
// and nothing is said.
function speaker(lesson, tag, noVoiceText) {
  const synth = typeof speechSynthesis === 'object' && typeof SpeechSynthesisUtterance === 'function' ? speechSynthesis : null;
  let voice = null;
  let known = !synth; // whether the browser has said which voices it has
  let on = false;
  let waiting = null;
  const tell = () => {
    const without = on && known && !voice;
    if (noVoice.textContent !== (without ? noVoiceText : '')) noVoice.textContent = without ? noVoiceText : '';
  };
  const listen = () => {
    const voices = synth.getVoices();
    voice = voices[lesson.voiceFor(voices.map((each) => each.lang), voices.findIndex((each) => each.default))] ?? null;
    known ||= voices.length > 0;
    tell();
  };
  if (synth) {
    synth.addEventListener?.('voiceschanged', () => {
      known = true;
      listen();
    });
    listen();
  }
  return {
    switched(now) {
      on = now;
      if (!on) synth?.cancel();
      if (on && !known && !waiting) waiting = setTimeout(() => { known = true; tell(); }, kVoicesWait);
      tell();
    },
    // Says `text`, cutting off the sentence still being said.
    say(text) {
      if (!text || !voice) return;
      synth.cancel();
      const utterance = new SpeechSynthesisUtterance(text);
      utterance.lang = tag;
      utterance.voice = voice;
      synth.speak(utterance);
    },
  };
}

// The cues' sounds through Web Audio: an AudioContext made (or woken) by a gesture of the pupil's,
// as browsers let a page sound only after one, with the cues' AudioBuffers made once from the
// lesson's samples, which are fetched as soon as the sounds are on. A browser without Web Audio
// stays silent.
function player(lesson) {
  const Context = window.AudioContext ?? window.webkitAudioContext;
  let sounds = null;
  let context = null;
  let buffers = [];
  return {
    prepare() {
      if (Context) sounds ??= lesson.cues();
    },
    wake() {
      if (!sounds) return;
      try {
        if (!context) {
          context = new Context();
          buffers = sounds.cues.map((samples) => {
            const buffer = context.createBuffer(1, samples.length, sounds.rate);
            buffer.getChannelData(0).set(samples);
            return buffer;
          });
        }
        if (context.state === 'suspended') context.resume().catch(() => {});
      } catch {
        sounds = null; // no sound, and the lesson plays on
      }
    },
    play(cue) {
      if (cue === null || !buffers[cue]) return;
      const source = context.createBufferSource();
      source.buffer = buffers[cue];
      source.connect(context.destination);
      source.start();
    },
  };
}

// Wires the switches to `lesson` (started with its aids `form.aids`, in the language `tag`) and
// answers what carries out each step's voice and cue.
export function wireAids(form, lesson, tag) {
  const speech = speaker(lesson, tag, form.noVoice);
  const sound = player(lesson);
  const [voiceAid, soundAid] = [aidOf('voice-switch'), aidOf('sound-switch')];
  let aids = form.aids;
  const show = (now) => {
    aids = now;
    switches.forEach((element) => { element.checked = aids[Number(element.dataset.aid)]; });
    speech.switched(aids[voiceAid]);
    if (aids[soundAid]) sound.prepare();
  };
  // A switch the pupil used before the lesson had loaded counts.
  for (const element of switches) {
    if (element.checked !== element.defaultChecked) aids = lesson.toggle(Number(element.dataset.aid));
    element.addEventListener('change', () => {
      show(lesson.toggle(Number(element.dataset.aid)));
      if (aids[soundAid]) sound.wake();
    });
  }
  show(aids);
  for (const type of ['pointerdown', 'pointerup', 'keydown', 'click']) {
    addEventListener(type, () => { if (aids[soundAid]) sound.wake(); }, { capture: true });
  }
  return (step) => {
    sound.play(step.cue);
    speech.say(step.voice);
  };
}
