// What the page's end-to-end tests and benchmarks share: free ports, a private X server with
// real copies of the program, Debian's chromium driven by playwright-core, and pictures of boards.
import { spawn, execFileSync } from 'node:child_process';
import net from 'node:net';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export const source = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const build = process.env.QUILLET_BUILD || path.join(source, 'build');
export const hostBinary = process.env.QUILLET_HOST_BINARY || path.join(build, 'quillet-host');
export const playerBinary = process.env.QUILLET_BINARY || path.join(build, 'quillet');
export const home = fs.mkdtempSync(path.join(os.tmpdir(), 'quillet-web-'));
export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

const children = [];
function cleanup() {
  for (const c of children.reverse()) if (c.exitCode === null && c.signalCode === null) c.kill('SIGTERM');
  fs.rmSync(home, { recursive: true, force: true });
}
process.on('exit', cleanup);
for (const sig of ['SIGINT', 'SIGTERM']) process.on(sig, () => process.exit(1));

export function freePort() {
  return new Promise((resolve, reject) => {
    const s = net.createServer();
    s.once('error', reject);
    s.listen(0, '127.0.0.1', () => { const { port } = s.address(); s.close(() => resolve(port)); });
  });
}

export async function until(what, fn, ms = 10000) {
  const end = Date.now() + ms;
  for (;;) {
    const v = await fn();
    if (v) return v;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await sleep(50);
  }
}

export function run(program, args, env = {}) {
  const child = spawn(program, args, { env: { ...process.env, ...env }, stdio: ['ignore', 'pipe', 'inherit'] });
  children.push(child);
  child.out = '';
  child.stdout.on('data', (d) => { child.out += d; });
  return child;
}

// A private X server; its display, e.g. ":5".
export async function xvfb(screen = '1600x1000x24') {
  const x = spawn('Xvfb', ['-displayfd', '1', '-screen', '0', screen, '-nolisten', 'tcp'], { stdio: ['ignore', 'pipe', 'ignore'] });
  children.push(x);
  let out = '';
  x.stdout.on('data', (d) => { out += d; });
  await until('Xvfb', () => out.includes('\n'), 15000);
  return ':' + out.trim();
}

export function xdo(display, args) {
  return execFileSync('xdotool', args, { env: { ...process.env, DISPLAY: display }, encoding: 'utf8', timeout: 30000 }).trim();
}

// The screen's pixels in a rectangle: {width, height, rgb: Buffer of 3 bytes a pixel}.
export function shot(display, x, y, width, height) {
  const rgb = execFileSync('import', ['-window', 'root', '-crop', `${width}x${height}+${x}+${y}`, '-depth', '8', 'rgb:-'],
    { env: { ...process.env, DISPLAY: display }, maxBuffer: 64 << 20 });
  return { width, height, rgb };
}

// A dedicated host on loopback with its game and web ports.
export async function startHost() {
  const game = await freePort();
  const web = await freePort();
  const host = run(hostBinary, ['--port', String(game), '--web-port', String(web), '--no-announce'],
    { QUILLET_ANNOUNCE_ADDRESS: '127.0.0.1' });
  await until('the host', () => host.out.includes('\n') && canConnect(web), 30000);
  return { host, game, web, url: `http://127.0.0.1:${web}/` };
}

export function canConnect(port) {
  return new Promise((resolve) => {
    const s = net.connect(port, '127.0.0.1');
    s.once('connect', () => { s.destroy(); resolve(true); });
    s.once('error', () => resolve(false));
  });
}

// A desktop copy joining the game as `name`, shown on the X server; its main window's id.
export async function startDesktop(display, gamePort, name) {
  const copy = run(playerBinary, [name, '127.0.0.1', 'join'], {
    DISPLAY: display, QT_QPA_PLATFORM: 'xcb', QUILLET_GAME_PORT: String(gamePort), QUILLET_LOBBY_PORT: String(await freePort()),
    QUILLET_INSTANCE: `web-e2e-${process.pid}-${name}`, QUILLET_HOME: home, QUILLET_ANNOUNCE_ADDRESS: '127.0.0.1',
    QUILLET_ERRORBOX_LOG: path.join(home, `errors-${name}.log`),
  });
  const window = await until('the desktop window', () => {
    try { return xdo(display, ['search', '--onlyvisible', '--pid', String(copy.pid), '--name', '^Quillet']).split('\n')[0]; } catch { return ''; }
  }, 40000); // a loaded machine, or a sanitized build, starts slowly
  xdo(display, ['windowmove', '--sync', window, '0', '0']);
  return { copy, window };
}

// Where the desktop's board lies on the screen: the tallest block of rows whose longest run of
// white spans at least 500 pixels. {x, y, width, height} in screen pixels.
export function findBoard(display, w = 1600, h = 1000) {
  const s = shot(display, 0, 0, w, h);
  const white = (x, y) => { const i = (y * w + x) * 3; return s.rgb[i] === 255 && s.rgb[i + 1] === 255 && s.rgb[i + 2] === 255; };
  let best = null, runTop = -1, runBox = null;
  for (let y = 0; y < h; y++) {
    let bx = -1, bl = 0;
    for (let x = 0, start = 0; x <= w; x++) {
      if (x < w && white(x, y)) continue;
      if (x - start > bl) { bl = x - start; bx = start; }
      start = x + 1;
    }
    if (bl >= 500 && (runTop < 0 || (runBox && Math.abs(runBox.x - bx) <= 1 && Math.abs(runBox.width - bl) <= 1))) {
      if (runTop < 0) { runTop = y; runBox = { x: bx, width: bl }; }
      const box = { x: runBox.x, y: runTop, width: runBox.width, height: y - runTop + 1 };
      if (!best || box.height > best.height) best = box;
    } else { runTop = -1; runBox = null; if (bl >= 500) { runTop = y; runBox = { x: bx, width: bl }; } }
  }
  return best;
}

// Debian's chromium, headless, nothing fetched from the network; each launch gets a fresh
// temporary profile (its --user-data-dir) from playwright.
export async function browser() {
  return chromium.launch({
    executablePath: process.env.QUILLET_CHROMIUM || '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--autoplay-policy=no-user-gesture-required'],
  });
}

// A browser player on the page; joins as `name` and waits until it is seated.
export async function browserPlayer(b, url, name, viewport = { width: 1280, height: 800 }, more = {}) {
  const ctx = await b.newContext({ viewport, ...more });
  const page = await ctx.newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(e.message));
  await page.goto(`${url}?name=${encodeURIComponent(name)}`);
  await page.click('#joinbutton');
  await page.waitForFunction(() => window.quillet.game.mynumber > 0 && window.quillet.game.seats.some((s) => s.name === window.quillet.game.name));
  return page;
}

// Ink is what is not paper. Two pictures agree when every inked pixel of each has ink within
// `reach` pixels in the other (anti-aliasing moves edges by a pixel) and the inks are alike.
// `a` and `b`: {width, height, at(x, y) -> [r, g, b]}. Returns the share of pixels that disagree.
export function disagreement(a, b, reach = 1) {
  const ink = (p) => p[0] + p[1] + p[2] < 3 * 200;
  let inked = 0, off = 0;
  const check = (p, q) => {
    for (let y = 0; y < p.height; y++)
      for (let x = 0; x < p.width; x++) {
        if (!ink(p.at(x, y))) continue;
        inked++;
        let found = false;
        for (let dy = -reach; dy <= reach && !found; dy++)
          for (let dx = -reach; dx <= reach && !found; dx++) {
            const xx = x + dx, yy = y + dy;
            if (xx >= 0 && yy >= 0 && xx < q.width && yy < q.height) found = ink(q.at(xx, yy));
          }
        if (!found) off++;
      }
  };
  check(a, b);
  check(b, a);
  return inked ? off / inked : 0;
}

export const rgbPicture = ({ width, height, rgb }) => ({ width, height, at: (x, y) => { const i = (y * width + x) * 3; return [rgb[i], rgb[i + 1], rgb[i + 2]]; }, inked: () => { let n = 0; for (let i = 0; i < rgb.length; i += 3) if (rgb[i] + rgb[i + 1] + rgb[i + 2] < 600) n++; return n; } });
export const rgbaPicture = (width, height, rgba) => ({ width, height, at: (x, y) => { const i = (y * width + x) * 4; return [rgba[i], rgba[i + 1], rgba[i + 2]]; } });

// Text as the game's wire and phrase lists carry it: Windows-1252, one byte a character.
// Node's own decoder for the name reads those bytes as Latin-1.
const high = '€\x81‚ƒ„…†‡ˆ‰Š‹Œ\x8DŽ\x8F\x90‘’“”•–—˜™š›œ\x9DžŸ';
const codepage = { decode: (bytes) => Array.from(bytes, (b) => (b >= 0x80 && b < 0xA0 ? high[b - 0x80] : String.fromCharCode(b))).join('') };
const encode = (text) => Buffer.from(Array.from(text, (c) => {
  const code = c.codePointAt(0);
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return code;
  return high.includes(c) ? 0x80 + high.indexOf(c) : 0x3F;
}));

// A raw player over TCP that logs in as `name` and keeps every message it gets.
export async function rawPeer(port, name) {
  const sock = net.connect(port, '127.0.0.1');
  await new Promise((resolve, reject) => { sock.once('connect', resolve); sock.once('error', reject); });
  const peer = {
    messages: [], read: 0, pending: Buffer.alloc(0),
    send(text) { sock.write(Buffer.concat([encode(text), Buffer.from([0xFF])])); },
    // The next message (after those already taken) that starts with `prefix`.
    async next(prefix, ms = 10000) {
      try {
        return await until(`a message ${prefix}`, () => {
          while (peer.read < peer.messages.length) {
            const m = peer.messages[peer.read++];
            if (m.startsWith(prefix)) return m;
          }
          return null;
        }, ms);
      } catch (e) {
        e.message += `; the last that came: ${peer.messages.slice(-6).join(' | ')}`;
        throw e;
      }
    },
    close() { sock.destroy(); },
  };
  sock.on('data', (d) => {
    peer.pending = Buffer.concat([peer.pending, d]);
    let at;
    while ((at = peer.pending.indexOf(0xFF)) >= 0) {
      peer.messages.push(codepage.decode(peer.pending.subarray(0, at)));
      peer.pending = peer.pending.subarray(at + 1);
    }
  });
  const hello = await peer.next('CMD_sendlogininfo+');
  peer.slot = Number(hello.slice('CMD_sendlogininfo+'.length));
  peer.send(`CMD_logininfo+${peer.slot}+2.2.8+${name}`);
  return peer;
}

// The words of the phrase list's phrases whose word lengths fit the mask ("___ ____ ").
export function candidates(mask, list = 'general') {
  const lengths = mask.trim().split(' ').map((w) => w.length).join(',');
  const words = new Set();
  const text = codepage.decode(fs.readFileSync(path.join(source, 'assets/phrases', `${list}.txt`)));
  for (const line of text.split('\n')) {
    const parts = line.replace(/\r/g, '').split(' ');
    if (parts.map((w) => w.length).join(',') === lengths) for (const w of parts) if (w) words.add(w.toUpperCase());
  }
  return [...words];
}

// The middle of the first category button on a desktop copy's board, for its drawer's pick.
export const firstCategory = { x: 267, y: 123 };

// A stand-in host on loopback for what a real host never sends (floods, over-long lines): it
// serves the page's files and the program's pictures and sounds, and takes the page's WebSocket
// at /play. `send(text)` sends a message to the page; `got` holds what the page sent.
export async function standIn(root = source) {
  const http = await import('node:http');
  const crypto = await import('node:crypto');
  const folders = { '/pictures/': 'assets/pictures', '/sounds/': 'assets/sounds', '/': 'web/page' };
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.png': 'image/png', '.wav': 'audio/wav' };
  const host = { got: [], socket: null };
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://127.0.0.1');
    const prefix = Object.keys(folders).find((p) => url.pathname.startsWith(p));
    const name = path.basename(url.pathname.slice(prefix.length)) || 'index.html';
    const file = path.join(root, folders[prefix], name);
    if (!fs.existsSync(file)) { res.writeHead(404).end(); return; }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    res.end(fs.readFileSync(file));
  });
  server.on('upgrade', (req, socket) => {
    const accept = crypto.createHash('sha1').update(req.headers['sec-websocket-key'] + '258EAFA5-E914-47DA-95CA-C5AB0DC85B11').digest('base64');
    socket.write(`HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Accept: ${accept}\r\n\r\n`);
    host.socket = socket;
    let pending = Buffer.alloc(0);
    socket.on('data', (d) => {
      pending = Buffer.concat([pending, d]);
      for (;;) {
        if (pending.length < 2) return;
        let len = pending[1] & 0x7F, at = 2;
        if (len === 126) { len = pending.readUInt16BE(2); at = 4; } else if (len === 127) { len = Number(pending.readBigUInt64BE(2)); at = 10; }
        if (pending.length < at + 4 + len) return;
        const mask = pending.subarray(at, at + 4);
        const body = Buffer.from(pending.subarray(at + 4, at + 4 + len));
        for (let i = 0; i < body.length; i++) body[i] ^= mask[i % 4];
        if ((pending[0] & 0x0F) === 1) host.got.push(body.toString('utf8'));
        pending = pending.subarray(at + 4 + len);
      }
    });
    socket.on('error', () => {});
  });
  host.send = (text) => {
    const body = Buffer.from(text, 'utf8');
    const head = body.length < 126 ? Buffer.from([0x81, body.length])
      : body.length < 65536 ? Buffer.from([0x81, 126, body.length >> 8, body.length & 0xFF])
        : Buffer.concat([Buffer.from([0x81, 127]), (() => { const b = Buffer.alloc(8); b.writeBigUInt64BE(BigInt(body.length)); return b; })()]);
    host.socket.write(Buffer.concat([head, body]));
  };
  host.connected = () => until('the page', () => host.socket, 10000);
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  host.url = `http://127.0.0.1:${server.address().port}/`;
  host.close = () => { host.socket?.destroy(); server.close(); };
  return host;
}
