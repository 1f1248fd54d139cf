// SPDX-License-Identifier: MIT
// The form on the screen: the pictures as the lesson decoded them, each drawn at the size it is
// shown, the form scaled as a whole to fit the view (and kept at its own size in print), and the
// model's change notice that hides and shows a control.

const view = document.getElementById('view');

// The started form: its size and its pictures' size.
let form = null;

// Each picture's canvas, with the picture's own RGBA pixels (a square of form.pictureSize) as the
// lesson has decoded them.
const pictures = new Map();
// Device pixels to the picture pixel, as the form is shown now; and whether it is being printed.
let pictureScale = 1;
let printing = false;

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

// Draws the shown pictures for pictureScale; a hidden one is drawn when it is shown.
function drawShownPictures() {
  for (const [canvas, rgba] of pictures) {
    if (!canvas.closest('[data-control]').hidden) drawPicture(canvas, rgba, pictureScale);
  }
}

// Printed, the form keeps its own size (the style sheet's print rules) and the pictures are drawn
// four dots to the picture pixel, sharp squares at a printer's resolution.
const kPrintScale = 4;
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
export function setVisible(name, visible) {
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
}

// The pictures as the lesson draws them (`decoded`, by the started form's controls' picture
// numbers) take the place of the page's images, drawn for the view's size from now on.
export function startDrawing(started, decoded) {
  form = started;
  for (const control of form.controls) {
    if (control.picture >= 0) placePicture(document.getElementById(control.name), decoded[control.picture]);
  }
  fit();
  new ResizeObserver(fit).observe(view);
  watchPixelRatio();
  watchPrinting();
}

