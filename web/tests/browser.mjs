// SPDX-License-Identifier: MIT
// What the browser tests and scripts/measure-web share: a plain static server (no special
// headers, like any web host), and the three browser engines, each with a fresh profile:
// Debian's Chromium and Firefox ESR through puppeteer-core (Firefox over WebDriver BiDi), and
// WebKitGTK's MiniBrowser through W3C WebDriver, under its own Xvfb, as a page with the few
// puppeteer calls the tests make.

import { spawn } from 'node:child_process';
import { createServer } from 'node:http';
import { mkdtempSync, readFileSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import { gzipSync } from 'node:zlib';
import puppeteer from 'puppeteer-core';

const kTypes = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.woff2': 'font/woff2', '.png': 'image/png', '.txt': 'text/plain',
  '.svg': 'image/svg+xml', '.webmanifest': 'application/manifest+json',
};

// What a server compressing with gzip compresses: text and WebAssembly, not fonts or images.
export const kCompressible = new Set(['.html', '.js', '.css', '.wasm', '.txt', '.webmanifest', '.svg']);
export const gzipped = (body) => gzipSync(body, { level: 6 });

// Serves `dir` on 127.0.0.1 at a free port, as Python's http.server does: each file with its
// Last-Modified time, and "304 Not Modified" to a request that has it already. With `gzip`,
// compressible files go out gzip-encoded to a browser that accepts it. Resolves to { url, close,
// sent }: sent() is every body byte sent so far.
export function serve(dir, { gzip = false } = {}) {
  let sent = 0;
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
    let file = join(dir, path);
    try {
      if (statSync(file).isDirectory()) file = join(file, 'index.html');
      const modified = new Date(Math.floor(statSync(file).mtimeMs / 1000) * 1000);
      const headers = { 'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream', 'Last-Modified': modified.toUTCString() };
      const since = Date.parse(request.headers['if-modified-since'] ?? '');
      if (since >= modified.getTime()) {
        response.writeHead(304, headers);
        response.end();
        return;
      }
      let body = readFileSync(file);
      if (gzip && kCompressible.has(extname(file)) && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '')) {
        body = gzipped(body);
        headers['Content-Encoding'] = 'gzip';
      }
      sent += body.length;
      response.writeHead(200, headers);
      response.end(body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found');
    }
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => {
      resolve({
        url: `http://127.0.0.1:${server.address().port}/`,
        sent: () => sent,
        close: () => new Promise((done) => { server.closeAllConnections(); server.close(done); }),
      });
    });
  });
}

export const kEngines = ['chromium', 'firefox', 'webkit'];
// The form's own size: the page fits the form to the viewport, here at one to one.
const kViewport = { width: 663, height: 510, deviceScaleFactor: 1 };

// The engine's browser, headless (WebKit under its own Xvfb), with an empty profile that is
// removed again on close, in the `language` given (a BCP 47 tag; Chromium's and Firefox's),
// whatever the machine's own. Each has newPage() and close().
export async function launch(engine = 'chromium', { language = 'en-US' } = {}) {
  if (engine === 'webkit') return launchWebKit();
  if (engine === 'firefox') {
    return puppeteer.launch({
      browser: 'firefox', executablePath: process.env.FIREFOX ?? '/usr/bin/firefox-esr', headless: true,
      defaultViewport: kViewport, extraPrefsFirefox: { 'intl.accept_languages': language },
    });
  }
  const profile = mkdtempSync(join(tmpdir(), 'velmora-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`, '--force-device-scale-factor=1', '--hide-scrollbars',
      `--accept-lang=${language}`],
    defaultViewport: kViewport,
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// Runs one test case: `play` with a fresh browser of `engine`, closed again after it; says whether
// the case passed, and fails the process if not.
export async function runCase(name, engine, play) {
  let browser;
  try {
    browser = await launch(engine);
    await play(browser);
    console.log(`passed: ${name}`);
  } catch (error) {
    console.error(`failed: ${name}\n${error.stack ?? error}`);
    process.exitCode = 1;
  } finally {
    await browser?.close();
  }
}

// Starts `command` and resolves once it has written a line to file descriptor 3 (Xvfb's
// -displayfd) or after `wait` ms; rejects if it ends first.
function started(command, args, options, wait) {
  const child = spawn(command, args, { stdio: ['ignore', 'ignore', 'pipe', 'pipe'], ...options });
  let said = '';
  child.stderr.on('data', (data) => { said += data; });
  return new Promise((resolve, reject) => {
    child.once('error', reject);
    child.once('exit', (code) => reject(new Error(`${command} ended (${code}): ${said.trim().slice(-500)}`)));
    child.stdio[3].once('data', (data) => resolve([child, String(data).trim()]));
    if (wait) setTimeout(() => resolve([child, '']), wait);
  });
}

const kKeys = {
  Tab: '\uE004', Enter: '\uE007', Shift: '\uE008', Escape: '\uE00C',
  ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015', F1: '\uE031',
};

// WebKitGTK's MiniBrowser driven by WebKitWebDriver over W3C WebDriver (plain HTTP), under a
// private Xvfb. Its one page answers the puppeteer calls the tests make; it cannot hear the
// page's uncaught errors.
async function launchWebKit() {
  const children = [];
  const stop = () => { for (const child of children.reverse()) child.kill(); };
  try {
    const [xvfb, display] = await started('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp', '-noreset'], {});
    children.push(xvfb);
    const port = 20000 + Math.floor(Math.random() * 20000);
    const [driver] = await started(process.env.WEBKIT_DRIVER ?? 'WebKitWebDriver', [`--port=${port}`],
      { env: { ...process.env, DISPLAY: `:${display}` } }, 300);
    children.push(driver);
    const base = `http://127.0.0.1:${port}/session`;
    const request = async (method, path, body) => {
      const response = await fetch(`${base}${path}`, { method, headers: { 'Content-Type': 'application/json' }, body: body && JSON.stringify(body) });
      const { value } = await response.json();
      if (!response.ok) throw new Error(`WebDriver ${method} ${path}: ${value?.error}: ${value?.message}`);
      return value;
    };
    let session;
    for (let tries = 0; !session; ++tries) {
      try {
        session = await request('POST', '', { capabilities: { alwaysMatch: { 'webkitgtk:browserOptions': {
          binary: process.env.MINIBROWSER ?? '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser', args: ['--automation'] } } } });
      } catch (error) {
        if (tries > 20) throw error;
        await new Promise((resolve) => setTimeout(resolve, 250));
      }
    }
    const call = (method, path, body) => request(method, `/${session.sessionId}/${path}`, body);
    const page = webDriverPage(call);
    // The window made as large as the viewport should be, plus what its frame takes.
    await call('POST', 'window/rect', { width: kViewport.width, height: kViewport.height });
    const [width, height] = await page.evaluate(() => [innerWidth, innerHeight]);
    await call('POST', 'window/rect', { width: 2 * kViewport.width - width, height: 2 * kViewport.height - height });
    return {
      newPage: async () => page,
      version: async () => `WebKitGTK MiniBrowser ${session.capabilities.browserVersion}`,
      close: async () => {
        await call('DELETE', '').catch(() => {});
        stop();
      },
    };
  } catch (error) {
    stop();
    throw error;
  }
}

function webDriverPage(call) {
  const script = (fn, prelude = '') => `${prelude}return (${fn}).apply(null, arguments);`;
  // WebKitWebDriver now and then fails a script that ran with "unknown error: Could not parse
  // script result", seen as a page started. Every script run here only
  // reads the page or sets it to one state, so running it again is safe; a script that fails the
  // same way three times is a fault and is thrown.
  const execute = async (body, args) => {
    for (let tries = 1; ; ++tries) {
      try {
        return await call('POST', 'execute/sync', { script: body, args });
      } catch (error) {
        if (tries === 3 || !/: unknown error: /.test(error.message)) throw error;
      }
    }
  };
  const evaluate = (fn, ...args) => execute(script(fn), args);
  const waitFor = async (fn, args, timeout = 30000) => {
    for (const end = Date.now() + timeout; ;) {
      if (await evaluate(fn, ...args)) return;
      if (Date.now() > end) throw new Error(`waiting for ${fn} failed`);
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  };
  const pointer = (type, id, actions) => call('POST', 'actions', {
    actions: [{ type: 'pointer', id, parameters: { pointerType: type }, actions }],
  });
  const at = (x, y) => ({ type: 'pointerMove', origin: 'viewport', x: Math.round(x), y: Math.round(y), duration: 0 });
  const keys = (actions) => call('POST', 'actions', { actions: [{ type: 'key', id: 'keyboard', actions }] });
  const key = (name) => kKeys[name] ?? name;
  return {
    goto: (url) => call('POST', 'url', { url }),
    title: () => call('GET', 'title'),
    evaluate,
    $eval: (selector, fn, ...args) => execute(
      script(fn, `arguments = [document.querySelector(${JSON.stringify(selector)}), ...arguments];`), args),
    $$eval: (selector, fn, ...args) => execute(
      script(fn, `arguments = [[...document.querySelectorAll(${JSON.stringify(selector)})], ...arguments];`), args),
    waitForSelector: (selector, { timeout } = {}) => waitFor((s) => document.querySelector(s) !== null, [selector], timeout),
    waitForFunction: (fn, { timeout } = {}) => waitFor(fn, [], timeout),
    screenshot: () => call('GET', 'screenshot'),
    on: () => {},
    close: async () => {},
    mouse: {
      move: (x, y) => pointer('mouse', 'mouse', [at(x, y)]),
      down: () => pointer('mouse', 'mouse', [{ type: 'pointerDown', button: 0 }]),
      up: () => pointer('mouse', 'mouse', [{ type: 'pointerUp', button: 0 }]),
      click: (x, y, { count = 1 } = {}) => pointer('mouse', 'mouse', [at(x, y),
        ...Array.from({ length: count }, () => [{ type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }]).flat()]),
    },
    keyboard: {
      press: (name) => keys([{ type: 'keyDown', value: key(name) }, { type: 'keyUp', value: key(name) }]),
      down: (name) => keys([{ type: 'keyDown', value: key(name) }]),
      up: (name) => keys([{ type: 'keyUp', value: key(name) }]),
    },
    touchscreen: {
      touchStart: (x, y) => pointer('touch', 'finger', [at(x, y), { type: 'pointerDown', button: 0 }]),
      touchMove: (x, y) => pointer('touch', 'finger', [at(x, y)]),
      touchEnd: () => pointer('touch', 'finger', [{ type: 'pointerUp', button: 0 }]),
    },
  };
}

// The colours ([r, g, b]) of page points, read back from a screenshot of the page; `toPage` maps
// each of `points` to page coordinates.
export async function pixels(page, toPage, points) {
  const png = await page.screenshot({ encoding: 'base64' });
  return page.evaluate(async (data, where) => {
    const image = new Image();
    image.src = `data:image/png;base64,${data}`;
    await image.decode();
    const canvas = document.createElement('canvas');
    canvas.width = image.width;
    canvas.height = image.height;
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    return where.map(([x, y]) => Array.from(context.getImageData(Math.round(x), Math.round(y), 1, 1).data.slice(0, 3)));
  }, png, points.map(toPage));
}
