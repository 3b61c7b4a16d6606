// The drawer's pen as the host hears it, by the desktop's rules. A press sends CMD_moveit; points
// of the held pen gather and leave as CMD_draw when a batch reaches its 101st point, and sooner by
// the flush rule: two messages of a stroke are at least FLUSH_MS apart, a point that finds the last
// one that old leaves at once with those waiting, and waiting points leave FLUSH_MS after the
// oldest came. The release sends what waits; with nothing waiting the stroke stays open until the
// next move without the button. Undo sends a wipe and every remaining stroke again.
import { build, colourToText, tryInt } from './wire.js';

export const BATCH_POINTS = 101;
export const FLUSH_MS = 17;

export class StrokeFlush {
  constructor(every = FLUSH_MS) { this.every = every; this.lastsent = 0; this.waiting = false; this.oldest = 0; }
  sent(now) { this.lastsent = now; this.waiting = false; }
  // True when the point that came at `now` should leave at once with any that wait.
  pointAdded(now) {
    if (now - this.lastsent >= this.every) return true;
    if (!this.waiting) this.oldest = now;
    this.waiting = true;
    return false;
  }
  // Milliseconds until the waiting points are due; 0 when due (or none wait).
  wait(now) { return this.waiting ? Math.max(0, this.oldest + this.every - now) : 0; }
  stop() { this.waiting = false; }
}

// The strokes this drawer sent this turn, so the last can be taken back.
export class StrokeHistory {
  constructor() { this.taken = []; }
  begin(colour, width, start) { this.taken.push({ colour, width, start, runs: [] }); }
  add(colour, width, points) { if (this.taken.length) this.taken.at(-1).runs.push({ colour, width, points: points.slice() }); }
  clear() { this.taken = []; }
  get empty() { return this.taken.length === 0; }
  // Takes back the last stroke; the others are packed into full batches, a new batch only where
  // the pen changed.
  undo() {
    if (!this.taken.length) return false;
    this.taken.pop();
    for (const s of this.taken) s.runs = StrokeHistory.packed(s.runs);
    return true;
  }
  static packed(runs) {
    const joined = [];
    for (const r of runs) {
      if (!r.points.length) continue;
      const last = joined.at(-1);
      if (last && last.colour === r.colour && last.width === r.width) last.points.push(...r.points);
      else joined.push({ colour: r.colour, width: r.width, points: r.points.slice() });
    }
    const out = [];
    for (const r of joined)
      for (let at = 0; at < r.points.length; at += BATCH_POINTS)
        out.push({ colour: r.colour, width: r.width, points: r.points.slice(at, at + BATCH_POINTS) });
    return out;
  }
  messages(slot) {
    const out = [];
    for (const s of this.taken) {
      out.push(build.moveit(slot, colourToText(s.colour), s.width, s.start[0], s.start[1]));
      for (const r of s.runs) out.push(build.draw(slot, colourToText(r.colour), r.width, r.points));
    }
    return out;
  }
}

// `game` answers drawing() and loggedin() and has mynumber; `send` takes a message; `pen()` gives
// {colour (00BBGGRR), width (text)}; `clock()` is steady milliseconds; `arm(ms)` asks for a flush()
// call after ms (0 cancels).
export class StrokeSender {
  constructor({ game, send, pen, clock, arm }) {
    Object.assign(this, { game, send, pen, clock, arm: arm || (() => {}) });
    this.rule = new StrokeFlush();
    this.points = [];
    this.pendown = false;
    this.history = new StrokeHistory();
  }
  // A button went down: the width to paint with, or null when this player does not draw.
  press(x, y) {
    if (!this.game.drawing()) return null;
    this.points = [];
    this.pendown = false;
    const now = this.pen();
    // A width that does not read starts no stroke.
    const width = tryInt(now.width);
    if (width === null) return null;
    this.pendown = true;
    if (this.game.loggedin()) {
      this.send(build.moveit(this.game.mynumber, colourToText(now.colour), now.width, x, y));
      this.history.begin(now.colour, now.width, [x, y]);
    }
    this.rule.sent(this.clock());
    this.arm(0);
    return width;
  }
  // The pointer moved: true when the stroke goes on to (x, y).
  move(leftHeld, x, y) {
    if (!this.pendown || !this.game.drawing()) return false;
    if (leftHeld) {
      this.points.push([x, y]);
      if (this.points.length >= BATCH_POINTS && this.game.loggedin()) this.sendPoints();
      else if (this.game.loggedin()) {
        if (this.rule.pointAdded(this.clock())) this.flush();
        else this.arm(this.rule.wait(this.clock()) || 1);
      }
      return true;
    }
    if (this.game.loggedin()) { this.sendPoints(); this.end(); }
    return false;
  }
  release() {
    if (!this.pendown || !this.game.drawing() || this.points.length === 0 || !this.game.loggedin()) return;
    this.sendPoints();
    this.end();
  }
  // The flush timer's tick: the waiting points leave when they are due.
  tick() {
    if (!this.rule.waiting) return;
    const wait = this.rule.wait(this.clock());
    if (wait === 0) this.flush(); else this.arm(wait);
  }
  flush() {
    if (!this.pendown || !this.game.drawing() || !this.game.loggedin() || this.points.length === 0) return;
    this.sendPoints();
  }
  sendPoints() {
    const now = this.pen();
    // A width edited into something that does not read ends the stroke: its points are dropped.
    if (tryInt(now.width) === null) { this.points = []; this.end(); return; }
    this.send(build.draw(this.game.mynumber, colourToText(now.colour), now.width, this.points));
    this.history.add(now.colour, now.width, this.points);
    this.points = [];
    this.rule.sent(this.clock());
    this.arm(0);
  }
  end() { this.pendown = false; this.rule.stop(); this.arm(0); }
  // A new turn: no stroke open, none to take back.
  drop() { this.pendown = false; this.points = []; this.rule.stop(); this.arm(0); this.history.clear(); }
  // The drawer wiped the board: nothing before it can be taken back.
  forget() { this.history.clear(); }
  // Takes back the last stroke: the host hears a wipe and every remaining stroke again.
  undo() {
    if (!this.game.drawing() || !this.game.loggedin()) return false;
    if (this.pendown) { if (this.points.length) this.sendPoints(); this.end(); }
    if (!this.history.undo()) return false;
    this.send(build.clearmain(this.game.mynumber));
    for (const m of this.history.messages(this.game.mynumber)) this.send(m);
    return true;
  }
}
