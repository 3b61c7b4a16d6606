// The drawing area: 533 x 369 board units, white. Two surfaces as on the desktop: the backing
// picture at the board's own size (what a snapshot saves, and what a repaint comes back from) and
// the screen surface at the size it is shown, drawn from the same strokes so it stays crisp. Each
// keeps its pen and pen position; strokes go on from where the last one left the pen.

export const BOARD_W = 533;
export const BOARD_H = 369;
export const MARGIN = 128;

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

export class Board {
  // `backing` is a 533 x 369 canvas; `screen` the shown one, of any size.
  constructor(backing, screen) {
    this.backingCanvas = backing;
    this.screenCanvas = screen;
    this.backup = new Surface(backing.getContext('2d'), 1);
    this.ops = [];
    this.setScreen(screen.width / BOARD_W);
    this.backup.wipe();
  }
  // The screen surface at another size: drawn again from the strokes since the last wipe.
  setScreen(scale) {
    this.screenCanvas.width = Math.round(BOARD_W * scale);
    this.screenCanvas.height = Math.round(BOARD_H * scale);
    this.screen = new Surface(this.screenCanvas.getContext('2d'), scale);
    this.screen.wipe();
    for (const op of this.ops) this.play(this.screen, op);
    this.screen.pos = this.backup.pos;
    this.screen.colour = this.backup.colour;
    this.screen.width = this.backup.width;
  }
  play(s, op) {
    if (op.colour !== undefined) { s.colour = op.colour; s.width = op.width; }
    if (op.down) s.pos = op.points[0];
    s.through(op.points);
  }
  run(op) {
    this.ops.push(op);
    this.play(this.backup, op);
    this.play(this.screen, op);
  }
  wipe() { this.ops = []; this.backup.wipe(); this.screen.wipe(); }
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
  // The board point under a position on the screen canvas (CSS pixels, the canvas's shown size).
  boardPoint(cssX, cssY, shownWidth) {
    const f = shownWidth / BOARD_W;
    return [Math.floor((cssX + 0.5) / f), Math.floor((cssY + 0.5) / f)];
  }
}
