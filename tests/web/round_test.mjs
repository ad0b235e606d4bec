// Round as the web build compiles it (its own instructions, which the native
// tests never run), against a reference written here from the rule: the
// nearest integer, halves to the even one, values beyond the 32-bit range at
// its limits, NaN 0.
//   node round_test.mjs ROUND_CHECK_WASM
import fs from 'node:fs';

const module = await WebAssembly.compile(fs.readFileSync(process.argv[2]));
const imports = {};
for (const wanted of WebAssembly.Module.imports(module)) {
  imports[wanted.module] = imports[wanted.module] || {};
  imports[wanted.module][wanted.name] = () => { throw new Error(wanted.name); };
}
const { RoundOf } = (await WebAssembly.instantiate(module, imports)).exports;

function expected(x) {
  if (Number.isNaN(x)) return 0;
  const below = Math.floor(x);
  const fraction = x - below;  // exact; 0 where x is whole (NaN for infinities, which stay below)
  const nearest = fraction > 0.5 || (fraction === 0.5 && below % 2 !== 0) ? below + 1 : below;
  return Math.min(2147483647, Math.max(-2147483648, nearest));
}

// The double `steps` representable values away from x, towards +infinity for x > 0.
function neighbour(x, steps) {
  const bits = new DataView(new ArrayBuffer(8));
  bits.setFloat64(0, x);
  bits.setBigUint64(0, bits.getBigUint64(0) + BigInt(steps));
  return bits.getFloat64(0);
}

const values = [NaN, Infinity, -Infinity, 0, -0, 5e-324, -5e-324, 1e300, -1e300, 2 ** 52, -(2 ** 52) - 2, 2 ** 53 + 2];
for (let k = -20; k <= 20; ++k) {
  const half = k + 0.5;
  values.push(half, neighbour(Math.abs(half), 1) * Math.sign(half), neighbour(Math.abs(half), -1) * Math.sign(half));
}
for (const limit of [2147483647, 2147483648, 2147483646]) {
  for (const sign of [1, -1]) {
    for (const offset of [-0.5, 0, 0.5, 0.25, -0.75, 1.5]) values.push(sign * (limit + offset));
  }
}
let state = 12345;  // a fixed generator, so that every run takes the same values
const next = () => (state = (Math.imul(state, 1103515245) + 12345) >>> 0) / 2 ** 32;
for (let exponent = -8; exponent <= 40; ++exponent) {
  for (let k = 0; k < 200; ++k) values.push((next() < 0.5 ? -1 : 1) * next() * 2 ** exponent);
}

let failures = 0;
for (const x of values) {
  const got = RoundOf(x);
  if (got !== expected(x)) {
    if (++failures <= 10) console.log(`FAIL Round(${x}) = ${got}, not ${expected(x)}`);
  }
}
console.log(failures === 0 ? `ok   Round in WebAssembly: ${values.length} values` : `FAIL Round: ${failures} of ${values.length}`);
process.exit(failures === 0 ? 0 : 1);
