// SPDX-License-Identifier: MIT
// Packs files, back to back in the order given, into one gzip file for the web edition, which
// the page inflates with the browser's DecompressionStream: the picture records (whose own
// bytes the core then decodes) and the WebAssembly.
//   node pack.mjs OUTPUT FILE...
import { readFileSync, writeFileSync } from 'node:fs';
import { constants, gzipSync } from 'node:zlib';

const [output, ...files] = process.argv.slice(2);
if (!output || files.length === 0) {
  console.error('usage: pack.mjs OUTPUT FILE...');
  process.exit(2);
}
writeFileSync(output, gzipSync(Buffer.concat(files.map((file) => readFileSync(file))), { level: constants.Z_BEST_COMPRESSION }));
