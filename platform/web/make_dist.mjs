// Makes the folder a web server serves: only what the page needs, every file but the page
// itself and its service worker named by a hash of its content, so that no cache ever
// mixes two versions. The pictures travel as one gzip-compressed tar file (unpacked by the
// page; a browser too old to decompress it is told so); the sounds are not shipped at all
// (the game renders them); the icons and the cursor are PNG files made from the game's own
// pictures.
//   node make_dist.mjs --game DIR --page DIR --assets DIR --out DIR
// DIR of --game holds quellaro.js and quellaro.wasm; --out is emptied of what an earlier run
// wrote, then filled.
import {createHash} from 'node:crypto';
import {existsSync, mkdirSync, readdirSync, readFileSync, renameSync, rmSync, statSync, writeFileSync} from 'node:fs';
import path from 'node:path';
import {gzipSync, deflateSync} from 'node:zlib';

// Picture files hold 8-bit pixels; this index is their "no pixel here".
const TRANSPARENT_INDEX = 253;
const BACKGROUND = [0x10, 0x10, 0x18];  // the page's, behind the maskable icon's face

function options(argv) {
  const wanted = {};
  for (let i = 0; i < argv.length; i += 2) {
    if (!argv[i].startsWith('--') || argv[i + 1] === undefined) throw new Error(`bad argument ${argv[i]}`);
    wanted[argv[i].slice(2)] = argv[i + 1];
  }
  for (const name of ['game', 'page', 'assets', 'out']) {
    if (!wanted[name]) throw new Error(`--${name} DIR is missing`);
  }
  return wanted;
}

// --- tar (POSIX ustar), as the page reads it -------------------------------------------

function tarHeader(name, size) {
  if (Buffer.byteLength(name) > 99) throw new Error(`${name}: the name is too long for the archive`);
  const header = Buffer.alloc(512);
  const field = (at, length, text) => header.write(text, at, length, 'latin1');
  const octal = (at, length, value) => field(at, length, value.toString(8).padStart(length - 1, '0'));
  field(0, 100, name);
  octal(100, 8, 0o644);
  octal(108, 8, 0);
  octal(116, 8, 0);
  octal(124, 12, size);
  octal(136, 12, 0);  // no time: the same pictures make the same bytes
  field(148, 8, '        ');
  field(156, 1, '0');
  field(257, 6, 'ustar');
  field(263, 2, '00');
  let sum = 0;
  for (const byte of header) sum += byte;
  field(148, 8, sum.toString(8).padStart(6, '0') + '\0 ');
  return header;
}

export function makeTar(entries) {
  const parts = [];
  for (const {name, bytes} of entries) {
    parts.push(tarHeader(name, bytes.length), bytes, Buffer.alloc((512 - bytes.length % 512) % 512));
  }
  parts.push(Buffer.alloc(1024));
  return Buffer.concat(parts);
}

// --- pictures to PNG --------------------------------------------------------------------

// An 8-bit BMP as {width, height, rgba}, the transparent index see-through.
function readBmp(bytes, file) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  if (bytes.length < 54 || bytes.toString('latin1', 0, 2) !== 'BM' || view.getUint16(28, true) !== 8) {
    throw new Error(`${file}: not an 8-bit BMP picture`);
  }
  const pixelsAt = view.getUint32(10, true);
  const width = view.getInt32(18, true);
  const rawHeight = view.getInt32(22, true);
  const height = Math.abs(rawHeight);
  const paletteAt = 14 + view.getUint32(14, true);
  const stride = (width + 3) & ~3;
  if (pixelsAt + stride * height > bytes.length || paletteAt + 1024 > pixelsAt) {
    throw new Error(`${file}: the picture is cut short`);
  }
  const rgba = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; y++) {
    const row = pixelsAt + stride * (rawHeight > 0 ? height - 1 - y : y);
    for (let x = 0; x < width; x++) {
      const index = bytes[row + x];
      const entry = paletteAt + index * 4;
      const out = (y * width + x) * 4;
      rgba[out] = bytes[entry + 2];
      rgba[out + 1] = bytes[entry + 1];
      rgba[out + 2] = bytes[entry];
      rgba[out + 3] = index === TRANSPARENT_INDEX ? 0 : 255;
    }
  }
  return {width, height, rgba};
}

// The picture enlarged by a whole factor onto a square of side size (centred), over a
// background colour or see-through.
function placed(picture, factor, size, background) {
  const rgba = Buffer.alloc(size * size * 4);
  if (background) {
    for (let i = 0; i < size * size; i++) rgba.set([...background, 255], i * 4);
  }
  const left = Math.floor((size - picture.width * factor) / 2);
  const top = Math.floor((size - picture.height * factor) / 2);
  for (let y = 0; y < picture.height * factor; y++) {
    for (let x = 0; x < picture.width * factor; x++) {
      const from = (Math.floor(y / factor) * picture.width + Math.floor(x / factor)) * 4;
      if (picture.rgba[from + 3] === 0) continue;
      picture.rgba.copy(rgba, ((top + y) * size + left + x) * 4, from, from + 4);
    }
  }
  return {width: size, height: size, rgba};
}

const CRC_TABLE = Array.from({length: 256}, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const byte of bytes) c = CRC_TABLE[(c ^ byte) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function pngChunk(type, data) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'latin1');
  const tail = Buffer.alloc(4);
  tail.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
  return Buffer.concat([head, data, tail]);
}

export function makePng({width, height, rgba}) {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 6, 0, 0, 0], 8);  // 8 bits a channel, RGBA
  const rows = Buffer.alloc((width * 4 + 1) * height);
  for (let y = 0; y < height; y++) rgba.copy(rows, y * (width * 4 + 1) + 1, y * width * 4, (y + 1) * width * 4);
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
                        pngChunk('IHDR', header), pngChunk('IDAT', deflateSync(rows, {level: 9})),
                        pngChunk('IEND', Buffer.alloc(0))]);
}

// --- the folder -------------------------------------------------------------------------

const hashOf = (bytes) => createHash('sha256').update(bytes).digest('hex');

function main() {
  const wanted = options(process.argv.slice(2));
  const out = path.resolve(wanted.out);
  const asset = (name) => readFileSync(path.join(wanted.assets, name));

  // Each shipped file: its name in the sources and its bytes; renamed by hash below.
  const shipped = new Map();
  const ship = (name, bytes) => shipped.set(name, Buffer.from(bytes));

  // Every file of the assets folder but the sounds, which the game renders itself.
  const pictures = readdirSync(wanted.assets)
                       .filter((name) => statSync(path.join(wanted.assets, name)).isFile())
                       .sort()
                       .map((name) => ({name, bytes: asset(name)}));
  const tar = makeTar(pictures);
  ship('pictures.tgz', gzipSync(tar, {level: 9}));

  // The icons: the desktop's face (16 x 16) enlarged by whole steps, crisp at every size;
  // the maskable one keeps its face inside the middle circle every launcher shows.
  const face = readBmp(asset('icon16.bmp'), 'icon16.bmp');
  ship('icon-32.png', makePng(placed(face, 2, 32)));
  ship('icon-192.png', makePng(placed(face, 12, 192)));
  ship('icon-512.png', makePng(placed(face, 32, 512)));
  ship('icon-maskable.png', makePng(placed(face, 20, 512, BACKGROUND)));
  ship('cursor.png', makePng(readBmp(asset('cursor.bmp'), 'cursor.bmp')));
  const [hotX, hotY] = asset('cursor_hotspot.txt').toString('latin1').trim().split(/\s+/).map(Number);
  ship('quellaro.js', readFileSync(path.join(wanted.game, 'quellaro.js')));
  ship('quellaro.wasm', readFileSync(path.join(wanted.game, 'quellaro.wasm')));

  // Renames every shipped file by its hash (in the order given, so that a file naming others
  // is hashed after them), rewriting the names inside the text files first.
  const named = new Map();  // source name -> shipped name
  const sizes = new Map();  // shipped name -> bytes
  const rename = (text) => text.replace(/[\w-]+\.(?:js|wasm|tgz|png|css|webmanifest)\b/g,
                                        (name) => named.get(name) ?? name);
  const hashName = (name, bytes) => {
    const dot = name.indexOf('.');
    const final = `${name.slice(0, dot)}.${hashOf(bytes).slice(0, 10)}${name.slice(dot)}`;
    named.set(name, final);
    sizes.set(final, bytes.length);
    return final;
  };
  const files = new Map();  // shipped name -> bytes
  for (const [name, bytes] of shipped) files.set(hashName(name, bytes), bytes);
  const page = (name) => readFileSync(path.join(wanted.page, name), 'utf8');
  // The page's own scripts, style sheets and manifest (which name only the files above); the
  // browser runner's page is for the tests and stays out.
  const pageFiles = readdirSync(wanted.page)
                        .filter((name) => !/^(index\.html|sw\.js|runner\.\w+)$/.test(name))
                        .sort();
  for (const name of pageFiles) {
    let text = page(name);
    if (name.endsWith('.css')) {
      text = text.replace(/url\(cursor\.png\) \d+ \d+/, `url(cursor.png) ${hotX || 0} ${hotY || 0}`);
    }
    const bytes = Buffer.from(rename(text));
    files.set(hashName(name, bytes), bytes);
  }

  // The page names its files (with their sizes, for the progress shown while they come) and
  // the version, which the service worker checks.
  // The worker's own text counts too: a change to it alone is another version, whose worker
  // keeps the files anew under its own name.
  const version = hashOf(Buffer.from([...files.keys()].sort().join('\n') + '\n' + page('sw.js'))).slice(0, 12);
  const fileList = {
    game: named.get('quellaro.js'),
    wasm: {name: named.get('quellaro.wasm'), size: sizes.get(named.get('quellaro.wasm'))},
    pictures: {name: named.get('pictures.tgz'), size: sizes.get(named.get('pictures.tgz'))},
    version,
  };
  const index = rename(page('index.html'))
                    .replace('<script id="files" type="application/json">{}</script>',
                             `<script id="files" type="application/json">${JSON.stringify(fileList)}</script>`)
                    .replaceAll('{{version}}', version);
  if (!index.includes(version)) throw new Error('index.html has no place for the list of its files');
  const kept = [...files.keys()].sort();
  const worker = page('sw.js')
                     .replace("const VERSION = 'dev';", `const VERSION = '${version}';`)
                     .replace('const FILES = [];', `const FILES = ${JSON.stringify(kept)};`);
  if (!worker.includes(version)) throw new Error('sw.js has no place for the version');
  files.set('index.html', Buffer.from(index));
  files.set('sw.js', Buffer.from(worker));

  // Only what this run made stays in the folder.
  if (existsSync(out)) {
    for (const name of readdirSync(out)) {
      const file = path.join(out, name);
      if (statSync(file).isFile() && /^(index\.html|sw\.js|[\w-]+\.[0-9a-f]{10}\.\w+)$/.test(name)) rmSync(file);
    }
  }
  mkdirSync(out, {recursive: true});
  // Each file whole or not at all: a server never hands out half of one.
  for (const [name, bytes] of files) {
    const file = path.join(out, name);
    writeFileSync(`${file}.part`, bytes);
    renameSync(`${file}.part`, file);
  }
  let total = 0;
  for (const bytes of files.values()) total += bytes.length;
  console.log(`web dist: ${files.size} files, ${total} bytes, version ${version}, in ${out}`);
}

if (process.argv[1] && path.resolve(process.argv[1]) === path.resolve(new URL(import.meta.url).pathname)) {
  try {
    main();
  } catch (error) {
    console.error(`make_dist: ${error.message}`);
    process.exit(1);
  }
}
