// SPDX-License-Identifier: MIT
// Finishes the web edition from the page built in SITE, following whatever the page refers to:
//
// The service worker: WORKER_TEMPLATE with the list of the site's files every page needs (its
// precache), the list of each language's own files (lang-<tag>.bin and the start screen's words,
// NAME.<tag>.png), which it keeps once fetched, and a version made from all their contents,
// written as SITE/sw.js. A new version of any file is a new worker, which the browser installs on
// the next visit. lang-all.bin, every language at once, is the single file's alone.
//
// The single file: the whole lesson in one self-contained HTML file, so that it plays from a
// disk, a mail attachment or a learning platform with no request but data: URLs. From the page:
//   - each url() inside a <style> becomes a data: URL;
//   - a module script becomes an inline module: esbuild bundles it with what it imports;
//   - each plain inline script is minified by esbuild (the site's page keeps them as written);
//   - an image, and a hidden link to a file that the page's script fetches, get the file as a
//     data: URL;
//   - the web app manifest is left out: it belongs to the installable site;
//   - each NOTICE file (a licence that must travel with what it covers) goes in as a comment.
// Fails, naming it, on any reference it cannot take in.
//   node web_edition.mjs SITE WORKER_TEMPLATE SINGLE_FILE DEPFILE ESBUILD [NOTICE...]
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, relative, resolve } from 'node:path';

const [site, workerTemplate, output, depfile, esbuild, ...notices] = process.argv.slice(2);
if (!esbuild) {
  console.error('usage: web_edition.mjs SITE WORKER_TEMPLATE SINGLE_FILE DEPFILE ESBUILD [NOTICE...]');
  process.exit(2);
}
const kTypes = {
  '.css': 'text/css', '.js': 'text/javascript', '.wasm': 'application/wasm', '.woff2': 'font/woff2',
  '.png': 'image/png', '.svg': 'image/svg+xml', '.json': 'application/json',
};
const read = new Set();
const fail = (message) => { throw new Error(message); };

function file(path, encoding) {
  read.add(path);
  try {
    return readFileSync(path, encoding);
  } catch {
    return fail(`${relative(site, path)} is referred to but not there`);
  }
}
const local = (reference) => !/^(data:|blob:|#|[a-z][a-z0-9+.-]*:\/\/)/i.test(reference);
const dataUrl = (path) => `data:${kTypes[extname(path)] ?? 'application/octet-stream'};base64,${file(path).toString('base64')}`;
const attribute = (tag, name) => tag.match(new RegExp(`\\s${name}="([^"]*)"`))?.[1];

// Text that goes inside a <script> or <style> element must not end it early.
function inert(text, where) {
  if (/<\/(script|style)|<!--/i.test(text)) fail(`${where} holds text that would end its element early`);
  return text;
}

// A style sheet of the page with the files it refers to inside it.
function styled(css) {
  return inert(css, 'a <style> of index.html').replace(/url\(\s*(["']?)([^"')]+)\1\s*\)/g, (whole, quote, reference) =>
    (local(reference) ? `url("${dataUrl(join(site, reference))}")` : whole));
}

// A module script with every module it imports, as one module; each file it took in counts as read.
function bundled(path) {
  file(path);
  const out = join(tmpdir(), `velmora-bundle-${process.pid}`);
  try {
    execFileSync(esbuild, [path, '--bundle', '--format=esm', '--minify', '--log-level=error',
      `--outfile=${out}.js`, `--metafile=${out}.json`], { stdio: ['ignore', 'ignore', 'inherit'] });
    const { inputs } = JSON.parse(readFileSync(`${out}.json`, 'utf8'));
    for (const input of Object.keys(inputs)) read.add(resolve(input));
    return readFileSync(`${out}.js`, 'utf8');
  } catch {
    return fail(`${relative(site, path)}: esbuild could not bundle it`);
  } finally {
    rmSync(`${out}.js`, { force: true });
    rmSync(`${out}.json`, { force: true });
  }
}

// A plain inline script of the page, minified.
function minified(code) {
  try {
    return execFileSync(esbuild, ['--minify', '--log-level=error'], { input: code, encoding: 'utf8' }).trim();
  } catch {
    return fail('esbuild could not minify an inline script of index.html');
  }
}

function page() {
  const html = file(join(site, 'index.html'), 'utf8')
    .replace(/(<style>)([^]*?)(<\/style>)/g, (whole, open, css, close) => open + styled(css) + close)
    .replace(/<link\b[^>]*>/g, (tag) => {
      const rel = attribute(tag, 'rel');
      const href = attribute(tag, 'href');
      if (!href || !local(href)) return tag;
      if (rel === 'manifest') return file(join(site, href)) && '';
      return fail(`index.html: cannot take in ${tag}`);
    })
    .replace(/<img\b[^>]*>/g, (tag) => {
      const src = attribute(tag, 'src');
      return src && local(src) ? tag.replace(`src="${src}"`, `src="${dataUrl(join(site, src))}"`) : tag;
    })
    .replace(/<a\b[^>]*\shidden[\s>][^>]*/g, (tag) => {
      const href = attribute(tag, 'href');
      return href && local(href) ? tag.replace(`href="${href}"`, `href="${dataUrl(join(site, href))}"`) : tag;
    })
    .replace(/<script>([^]*?)<\/script>/g, (whole, code) => `<script>${inert(minified(code), 'an inline script')}</script>`)
    .replace(/<script\b([^>]*)\ssrc="([^"]*)"([^>]*)><\/script>/g, (whole, before, src, after) => {
      if (!local(src)) return whole;
      if (!/type="module"/.test(before + after)) fail(`index.html: only module scripts are taken in, not ${whole}`);
      return `<script${before}${after}>\n${inert(bundled(join(site, src)), src)}</script>`;
    });
  const left = [...html.matchAll(/\s(?:src|href)="([^"]*)"/g)].map((m) => m[1]).filter(local);
  if (left.length) fail(`index.html: cannot take in ${left.join(', ')}`);
  const comments = notices.map((notice) => `<!--\n${file(notice, 'utf8').replaceAll('--', '- -')}\n-->\n`);
  return html.replace(/<\/html>\s*$/, `</html>\n${comments.join('')}`);
}

// The worker's lists: the page itself and every file of the site it read (licences and
// lang-all.bin aside), and apart from them each language's own files.
const kAllLanguages = 'lang-all.bin';
const languageOwn = (name) => /^lang-[^/]+\.bin$|^[^/]+\.[A-Za-z]+(-[A-Za-z]+)?\.png$/.test(name);
function worker(needed) {
  const names = [...needed].filter((path) => path.startsWith(site) && !notices.includes(path))
    .map((path) => relative(site, path)).filter((name) => name !== kAllLanguages);
  const languages = readdirSync(site).filter((name) => languageOwn(name) && name !== kAllLanguages).sort();
  const common = names.filter((name) => !languageOwn(name));
  const version = createHash('sha256');
  for (const path of [workerTemplate, ...[...common, ...languages].map((name) => join(site, name))]) {
    version.update(readFileSync(path));
  }
  return file(workerTemplate, 'utf8')
    .replace("'@FILES@'", JSON.stringify(['./', ...common.filter((name) => name !== 'index.html')]))
    .replace("'@LANGUAGE_FILES@'", JSON.stringify(languages))
    .replace('@VERSION@', version.digest('hex').slice(0, 16));
}

try {
  writeFileSync(output, page());
  writeFileSync(join(site, 'sw.js'), worker(read));
  writeFileSync(depfile, `${output}: ${[...read].map((path) => path.replaceAll(' ', '\\ ')).join(' ')}\n`);
} catch (error) {
  console.error(`single_file: ${error.message}`);
  process.exit(1);
}
