// SPDX-License-Identifier: MIT
// Packs files, back to back in the order given, into one gzip file for the web edition, which
// the page inflates with the browser's DecompressionStream: the picture records (whose own
// bytes the core then decodes) and the WebAssembly. A file given as NAME=FILE goes in named:
// NAME, a zero byte, its length (4 bytes, little-endian), then its bytes; so goes each
// language's catalogue and pictures' words, which the core takes apart by name.
//   node pack.mjs OUTPUT [NAME=]FILE...
import { readFileSync, writeFileSync } from 'node:fs';
import { constants, gzipSync } from 'node:zlib';

const [output, ...files] = process.argv.slice(2);
if (!output || files.length === 0) {
  console.error('usage: pack.mjs OUTPUT [NAME=]FILE...');
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
writeFileSync(output, gzipSync(Buffer.concat(files.map(entry)), { level: constants.Z_BEST_COMPRESSION }));
