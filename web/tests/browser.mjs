// SPDX-License-Identifier: MIT
// What the browser tests and scripts/measure-web share: a plain static server (no special
// headers, like any web host) and Debian's Chromium, headless, with a fresh profile each time.

import { createServer } from 'node:http';
import { mkdtempSync, readFileSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import { gzipSync } from 'node:zlib';
import puppeteer from 'puppeteer-core';

const kTypes = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.woff2': 'font/woff2', '.png': 'image/png', '.txt': 'text/plain',
};

// What a server compressing with gzip compresses: text and WebAssembly, not fonts or images.
export const kCompressible = new Set(['.html', '.js', '.css', '.wasm', '.txt']);
export const gzipped = (body) => gzipSync(body, { level: 6 });

// Serves `dir` on 127.0.0.1 at a free port, each file read once and kept in memory. With `gzip`,
// compressible files go out gzip-encoded to a browser that accepts it. Resolves to { url, close }.
export function serve(dir, { gzip = false } = {}) {
  const kept = new Map();
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
    let file = join(dir, path);
    try {
      if (statSync(file).isDirectory()) file = join(file, 'index.html');
      if (!kept.has(file)) {
        const body = readFileSync(file);
        kept.set(file, { body, gzipped: gzip && kCompressible.has(extname(file)) ? gzipped(body) : null });
      }
      const { body, gzipped: packed } = kept.get(file);
      const headers = { 'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream' };
      if (packed && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '')) {
        response.writeHead(200, { ...headers, 'Content-Encoding': 'gzip' });
        response.end(packed);
      } else {
        response.writeHead(200, headers);
        response.end(body);
      }
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found');
    }
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => {
      resolve({ url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() });
    });
  });
}

// Debian's Chromium, headless, with an empty profile that is removed again on close, in the
// `language` given (a BCP 47 tag), whatever the machine's own.
export async function launch({ language = 'en-US' } = {}) {
  const profile = mkdtempSync(join(tmpdir(), 'velmora-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`, '--force-device-scale-factor=1', '--hide-scrollbars',
      `--accept-lang=${language}`],
    // The form's own size: the page fits the form to the viewport, here at one to one.
    defaultViewport: { width: 663, height: 510, deviceScaleFactor: 1 },
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// The colours ([r, g, b]) of page points, read back from a screenshot of the page; `toPage` maps
// each of `points` to page coordinates.
export async function pixels(page, toPage, points) {
  const png = await page.screenshot({ encoding: 'base64' });
  return page.evaluate(async (data, where) => {
    const image = new Image();
    image.src = `data:image/png;base64,${data}`;
    await image.decode();
    const canvas = new OffscreenCanvas(image.width, image.height);
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    return where.map(([x, y]) => Array.from(context.getImageData(Math.round(x), Math.round(y), 1, 1).data.slice(0, 3)));
  }, png, points.map(toPage));
}
