// SPDX-License-Identifier: MIT
// Packs the stored picture records, back to back in the order given, into one gzip file for the
// web edition; the page inflates it and hands the core the records' own bytes.
//   node pack_pictures.mjs OUTPUT RECORD...
import { readFileSync, writeFileSync } from 'node:fs';
import { gzipSync, constants } from 'node:zlib';

const [output, ...records] = process.argv.slice(2);
if (!output || records.length === 0) {
  console.error('usage: pack_pictures.mjs OUTPUT RECORD...');
  process.exit(2);
}
const packed = gzipSync(Buffer.concat(records.map((file) => readFileSync(file))), { level: constants.Z_BEST_COMPRESSION });
writeFileSync(output, packed);
