// SPDX-License-Identifier: MIT
// Packs files, back to back in the order given, into one gzip file for the web edition, which
// the page inflates with the browser's DecompressionStream (gzipped by ZOPFLI, whose gzip is a
// tenth smaller than zlib's best here and inflates the same): the picture records (whose own
// bytes the core then decodes) and the WebAssembly. A file given as NAME=FILE goes in named:
// NAME, a zero byte, its length (4 bytes, little-endian), then its bytes; so goes each
// language's catalogue and pictures' words, which the core takes apart by name.
//   node pack.mjs ZOPFLI OUTPUT [NAME=]FILE...
import { execFileSync } from 'node:child_process';
import { readFileSync, rmSync, writeFileSync } from 'node:fs';

const [zopfli, output, ...files] = process.argv.slice(2);
if (!output || files.length === 0) {
  console.error('usage: pack.mjs ZOPFLI OUTPUT [NAME=]FILE...');
  process.exit(2);
}
const entry = (given) => {
  const split = given.indexOf('=');
  if (split < 0) return readFileSync(given);
  const bytes = readFileSync(given.slice(split + 1));
  const length = Buffer.alloc(4);
  length.writeUInt32LE(bytes.length);
  return Buffer.concat([Buffer.from(`${given.slice(0, split)}\0`), length, bytes]);
};
const packed = `${output}.packed`;
writeFileSync(packed, Buffer.concat(files.map(entry)));
try {
  writeFileSync(output, execFileSync(zopfli, ['-c', packed], { maxBuffer: 1 << 26 }));
} finally {
  rmSync(packed, { force: true });
}
