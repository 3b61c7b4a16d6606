// The drawing area: 533 x 369 board units, white. Two surfaces as on the desktop: the backing
// picture at the board's own size (what a snapshot saves, and what a repaint comes back from) and
// the screen surface at the size it is shown, drawn from the same strokes so it stays crisp. Each
// keeps its pen and pen position; strokes go on from where the last one left the pen.

export const BOARD_W = 533;
export const BOARD_H = 369;
export const MARGIN = 128;

// Points the board keeps to draw its screen again; past them, older strokes live on only as the
// backing picture's pixels (a host may send strokes without end).
export const KEPT_POINTS = 1 << 21;

export const paintWidth = (w) => (w < 0 ? 0 : w > 100 ? 100 : w);

// The part of segment a-b inside the rectangle (Liang-Barsky), or null.
export function clipSegment(a, b, rect) {
  const dx = b[0] - a[0], dy = b[1] - a[1];
  let t0 = 0, t1 = 1;
  const p = [-dx, dx, -dy, dy];
  const q = [a[0] - rect.left, rect.right - a[0], a[1] - rect.top, rect.bottom - a[1]];
  for (let i = 0; i < 4; i++) {
    if (p[i] === 0) { if (q[i] < 0) return null; continue; }
    const r = q[i] / p[i];
    if (p[i] < 0) { if (r > t1) return null; if (r > t0) t0 = r; }
    else { if (r < t0) return null; if (r < t1) t1 = r; }
  }
  return [[a[0] + t0 * dx, a[1] + t0 * dy], [a[0] + t1 * dx, a[1] + t1 * dy]];
}

const ROOM = { left: -MARGIN, top: -MARGIN, right: BOARD_W + MARGIN, bottom: BOARD_H + MARGIN };

// Polylines through `points` from `from`, cut to the room around the board: a list of runs, each a
// list of points; a run of one point repeated is a dot.
export function runsThrough(from, points) {
  const runs = [];
  let run = null;
  let at = from;
  for (const to of points) {
    const seg = clipSegment(at, to, ROOM);
    if (seg) {
      const last = run && run[run.length - 1];
      if (!run || last[0] !== seg[0][0] || last[1] !== seg[0][1]) { run = [seg[0]]; runs.push(run); }
      run.push(seg[1]);
    } else run = null;
    at = to;
  }
  return runs;
}

// One surface: a 2D context whose units are board units times `scale`.
class Surface {
  constructor(ctx, scale) { this.ctx = ctx; this.scale = scale; this.colour = '#000000'; this.width = 1; this.pos = [0, 0]; }
  wipe() {
    const c = this.ctx;
    c.setTransform(1, 0, 0, 1, 0, 0);
    c.fillStyle = '#ffffff';
    c.fillRect(0, 0, c.canvas.width, c.canvas.height);
  }
  // Lines from the pen position through the points, in the pen.
  through(points) {
    if (!points.length) return;
    const c = this.ctx;
    const w = paintWidth(this.width);
    const drawn = Math.max(1, w);
    const thin = w <= 3 && this.scale === 1;
    // Odd widths centre on the pixel, even ones on its corner, as the desktop's lines do.
    const off = drawn % 2 ? 0.5 : 0;
    c.setTransform(this.scale, 0, 0, this.scale, 0, 0);
    c.strokeStyle = this.colour;
    c.fillStyle = this.colour;
    c.lineWidth = drawn;
    c.lineCap = thin ? 'square' : 'round';
    c.lineJoin = thin ? 'bevel' : 'round';
    let path = null;
    for (const run of runsThrough(this.pos, points)) {
      const dot = run.every((p) => p[0] === run[0][0] && p[1] === run[0][1]);
      if (dot) {
        if (drawn <= 1) c.fillRect(Math.floor(run[0][0]), Math.floor(run[0][1]), 1, 1);
        else { c.beginPath(); c.arc(run[0][0] + off, run[0][1] + off, drawn / 2, 0, 2 * Math.PI); c.fill(); }
        continue;
      }
      if (!path) { path = true; c.beginPath(); }
      c.moveTo(run[0][0] + off, run[0][1] + off);
      for (let i = 1; i < run.length; i++) c.lineTo(run[i][0] + off, run[i][1] + off);
    }
    if (path) c.stroke();
    this.pos = points[points.length - 1];
  }
}


// The brush of a pen `width` pixels wide as rows of spans relative to the pen's pixel: a dot (a
// round one for widths over one pixel, as a zero-length line leaves) or, for thin pens, the square
// their lines are made of. Odd widths centre on the pixel, even ones on its top-left corner.
export function brushSpans(width, round) {
  const w = Math.max(1, width);
  if (w === 1) return [[0, 0, 0]];
  if (!round) {
    const from = w % 2 ? -(w - 1) / 2 : -w / 2;
    const spans = [];
    for (let dy = from; dy < from + w; dy++) spans.push([dy, from, from + w - 1]);
    return spans;
  }
  const c = w % 2 ? 0.5 : 0;
  const r = w / 2;
  const spans = [];
  for (let py = Math.floor(c - r); py <= Math.ceil(c + r); py++) {
    const dy = py + 0.5 - c;
    if (dy * dy > r * r) continue;
    const half = Math.sqrt(r * r - dy * dy);
    const x0 = Math.ceil(c - half - 0.5), x1 = Math.floor(c + half - 0.5);
    if (x1 >= x0) spans.push([py, x0, x1]);
  }
  return spans;
}

const spanCache = new Map();
function spansOf(width, round) {
  const key = width * 2 + (round ? 1 : 0);
  if (!spanCache.has(key)) spanCache.set(key, brushSpans(width, round));
  return spanCache.get(key);
}

// The backing picture, painted pixel by pixel without smoothing as the desktop paints its board:
// the brush is stamped along each line. Much cheaper than the canvas's smoothed strokes, which a
// late joiner's thousands of batches would otherwise wait for; put on its canvas when looked at.
class PixelSurface {
  constructor(canvas) {
    this.canvas = canvas;
    this.image = canvas.getContext('2d').createImageData(canvas.width, canvas.height);
    this.pixels = new Uint32Array(this.image.data.buffer);
    this.colour = '#000000';
    this.width = 1;
    this.pos = [0, 0];
    this.dirty = true;
  }
  wipe() { this.pixels.fill(0xFFFFFFFF); this.dirty = true; }
  stamp(x, y, spans, value) {
    const W = this.canvas.width, H = this.canvas.height, px = this.pixels;
    for (let i = 0; i < spans.length; i++) {
      const span = spans[i];
      const yy = y + span[0];
      if (yy < 0 || yy >= H) continue;
      const a = Math.max(0, x + span[1]), b = Math.min(W - 1, x + span[2]);
      for (let at = yy * W + a, end = yy * W + b; at <= end; at++) px[at] = value;
    }
  }
  through(points) {
    if (!points.length) return;
    const w = Math.max(1, paintWidth(this.width));
    const hex = parseInt(this.colour.slice(1), 16);
    const value = (0xFF000000 | ((hex & 0xFF) << 16) | (hex & 0xFF00) | ((hex >> 16) & 0xFF)) >>> 0;
    const line = spansOf(w, w > 3);
    const dot = spansOf(w, true);
    const near = (p) => p[0] >= ROOM.left && p[0] <= ROOM.right && p[1] >= ROOM.top && p[1] <= ROOM.bottom;
    if (near(this.pos) && points.every(near)) {
      // Everything lies near the board: no cutting needed.
      let [x0, y0] = this.pos;
      if (points.every((p) => p[0] === x0 && p[1] === y0)) this.stamp(x0, y0, dot, value);
      else {
        this.stamp(x0, y0, line, value);
        for (const [x1, y1] of points) { this.segment(x0, y0, x1, y1, w, line, value); x0 = x1; y0 = y1; }
      }
    } else {
      for (const run of runsThrough(this.pos, points)) {
        let [x0, y0] = run[0].map(Math.round);
        if (run.every((p) => p[0] === run[0][0] && p[1] === run[0][1])) { this.stamp(x0, y0, dot, value); continue; }
        this.stamp(x0, y0, line, value);
        for (let i = 1; i < run.length; i++) {
          const [x1, y1] = run[i].map(Math.round);
          this.segment(x0, y0, x1, y1, w, line, value);
          x0 = x1; y0 = y1;
        }
      }
    }
    this.pos = points[points.length - 1];
    this.dirty = true;
  }
  // A line of width w on from the brush at its start: the brush at its end, and between them a run across the line at every
  // step along it, as long as the line is wide measured that way.
  segment(x0, y0, x1, y1, w, ends, value) {
    this.stamp(x1, y1, ends, value);
    const W = this.canvas.width, H = this.canvas.height, px = this.pixels;
    const dx = Math.abs(x1 - x0), dy = Math.abs(y1 - y0);
    const xmajor = dx >= dy;
    const major = xmajor ? dx : dy;
    if (major < 2) return;
    const across = w === 1 ? 1 : Math.max(1, Math.round((w * Math.hypot(dx, dy)) / major));
    const from = across % 2 ? -(across - 1) / 2 : -across / 2;
    const sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    let err = (xmajor ? dx : dy) / 2, x = x0, y = y0;
    for (let n = 1; n < major; n++) {
      if (xmajor) { x += sx; err -= dy; if (err < 0) { y += sy; err += dx; } }
      else { y += sy; err -= dx; if (err < 0) { x += sx; err += dy; } }
      if (xmajor) {
        if (x < 0 || x >= W) continue;
        const a = Math.max(0, y + from), b = Math.min(H - 1, y + from + across - 1);
        for (let yy = a; yy <= b; yy++) px[yy * W + x] = value;
      } else {
        if (y < 0 || y >= H) continue;
        const a = Math.max(0, x + from), b = Math.min(W - 1, x + from + across - 1);
        for (let at = y * W + a, end = y * W + b; at <= end; at++) px[at] = value;
      }
    }
  }

  // The canvas, brought up to date.
  show() {
    if (this.dirty) this.canvas.getContext('2d').putImageData(this.image, 0, 0);
    this.dirty = false;
    return this.canvas;
  }
}

export class Board {
  // `backing` is a 533 x 369 canvas; `screen` the shown one, of any size.
  // `waiting()` says whether messages wait to be handled (strokes may be among them).
  constructor(backing, screen, waiting = () => false) {
    this.waiting = waiting;
    this.backingCanvas = backing;
    this.screenCanvas = screen;
    this.backup = new PixelSurface(backing);
    this.ops = [];
    this.blocks = [];
    this.frameOps = 0;
    this.setScreen(screen.width / BOARD_W);
    this.backup.wipe();
  }
  // The screen surface at another size: drawn again from the strokes since the last wipe.
  setScreen(scale) {
    this.generation = (this.generation || 0) + 1;
    this.screenCanvas.width = Math.round(BOARD_W * scale);
    this.screenCanvas.height = Math.round(BOARD_H * scale);
    this.screen = new Surface(this.screenCanvas.getContext('2d'), scale);
    this.screen.wipe();
    this.underlay(this.screen);
    for (const op of this.ops) this.play(this.screen, op);
    this.screen.pos = this.backup.pos;
    this.screen.colour = this.backup.colour;
    this.screen.width = this.backup.width;
  }
  play(s, op, points = op.points || this.pointsOf(op)) {
    if (op.colour !== undefined) { s.colour = op.colour; s.width = op.width; }
    if (op.down) s.pos = points[0];
    s.through(points);
  }
  run(op) {
    this.play(this.backup, op);
    this.busy();
    if (!this.held) this.play(this.screen, op);
    this.ops.push(op.down ? op : this.kept(op));
    this.points = (this.points || 0) + op.points.length;
    if (this.points > KEPT_POINTS) this.forgetOps();
  }
  // The strokes so far become a picture: the backing one as it is now.
  forgetOps() {
    const c = this.backingCanvas.ownerDocument.createElement('canvas');
    c.width = BOARD_W;
    c.height = BOARD_H;
    c.getContext('2d').drawImage(this.picture(), 0, 0);
    this.base = c;
    this.ops = [];
    this.blocks = [];
    this.points = 0;
  }
  // What the kept strokes are drawn over: white, or the picture of the strokes forgotten.
  underlay(s) {
    if (!this.base) return;
    s.ctx.setTransform(1, 0, 0, 1, 0, 0);
    s.ctx.drawImage(this.base, 0, 0, s.ctx.canvas.width, s.ctx.canvas.height);
  }
  // A run's points kept flat in large shared blocks: a late joiner's turn holds hundreds of
  // thousands of points, and an array (or a buffer) for each would keep the collector busy.
  kept(op) {
    const need = op.points.length * 2;
    let block = this.blocks[this.blocks.length - 1];
    if (!block || block.used + need > block.data.length) {
      block = { data: new Int32Array(Math.max(need, 1 << 18)), used: 0 };
      this.blocks.push(block);
    }
    const at = block.used;
    op.points.forEach((p, i) => { block.data[at + 2 * i] = p[0]; block.data[at + 2 * i + 1] = p[1]; });
    block.used += need;
    return { colour: op.colour, width: op.width, block, at, count: op.points.length };
  }
  pointsOf(op) {
    const out = new Array(op.count);
    for (let i = 0; i < op.count; i++) out[i] = [op.block.data[op.at + 2 * i], op.block.data[op.at + 2 * i + 1]];
    return out;
  }
  wipe() { this.ops = []; this.blocks = []; this.points = 0; this.base = null; this.generation++; this.backup.wipe(); this.screen.wipe(); }

  // Strokes that come faster than a few a frame (a late joiner's drawing so far) are drawn on the
  // backing picture only, and the screen surface shows it scaled five times a second; once they stop
  // for a moment, the screen surface is drawn crisp again from the strokes, a few at a time, and
  // swapped in.
  busy() {
    if (++this.frameOps > 4 && !this.held) {
      this.held = true;
      this.generation++;
    }
    if (this.framing) return;
    this.framing = true;
    requestAnimationFrame(() => {
      this.framing = false;
      this.frameOps = 0;
      if (!this.held) return;
      if (performance.now() - (this.shown || 0) > 200) { this.showScaled(); this.shown = performance.now(); }
      clearTimeout(this.settling);
      this.settling = setTimeout(() => this.settle(), 80);
    });
  }
  showScaled() {
    const c = this.screen.ctx;
    c.setTransform(1, 0, 0, 1, 0, 0);
    c.drawImage(this.picture(), 0, 0, this.screenCanvas.width, this.screenCanvas.height);
  }
  settle() {
    // Strokes still waiting to be handled come first: the crisp drawing waits for a quiet moment.
    if (this.waiting()) { this.settling = setTimeout(() => this.settle(), 80); return; }
    this.held = false;
    this.showScaled();
    Object.assign(this.screen, { pos: this.backup.pos, colour: this.backup.colour, width: this.backup.width });
    const gen = ++this.generation;
    const canvas = this.screenCanvas.ownerDocument.createElement('canvas');
    canvas.width = this.screenCanvas.width;
    canvas.height = this.screenCanvas.height;
    const crisp = new Surface(canvas.getContext('2d'), this.screen.scale);
    crisp.wipe();
    this.underlay(crisp);
    let at = 0;
    const step = () => {
      if (gen !== this.generation) return;
      const end = performance.now() + 8;
      while (at < this.ops.length && performance.now() < end) {
        for (let n = 0; n < 8 && at < this.ops.length; n++) this.play(crisp, this.ops[at++]);
        crisp.ctx.getImageData(0, 0, 1, 1); // painted now, not all at once at the swap
      }
      if (at < this.ops.length) { setTimeout(step, 0); return; }
      const c = this.screen.ctx;
      c.setTransform(1, 0, 0, 1, 0, 0);
      c.drawImage(canvas, 0, 0);
      crisp.ctx = c;
      this.screen = Object.assign(crisp, { pos: this.screen.pos, colour: this.screen.colour, width: this.screen.width });
    };
    setTimeout(step, 0);
  }

  // A pen set down at p leaves a dot as wide as the pen.
  penDown(p, colour, width) { this.run({ down: true, colour, width, points: [p] }); }
  // The pen goes on to p.
  penTo(p) {
    const last = this.ops[this.ops.length - 1];
    if (last && last.to) last.points.push(p); else this.ops.push({ to: true, points: [p] });
    this.backup.through([p]);
    this.screen.through([p]);
  }
  // A run of points in a colour and width, on from where the pen is.
  penThrough(colour, width, points) { this.run({ colour, width, points }); }
  // The backing picture's canvas, up to date (for snapshots and comparisons).
  picture() { return this.backup.show(); }
  // The board point under a position on the screen canvas (CSS pixels, the canvas's shown size).
  boardPoint(cssX, cssY, shownWidth) {
    const f = shownWidth / BOARD_W;
    return [Math.floor((cssX + 0.5) / f), Math.floor((cssY + 0.5) / f)];
  }
}
