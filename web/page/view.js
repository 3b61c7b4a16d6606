// What the page shows, worked out without the page: the mask's cells, the start form's choices,
// the options line of the podium, and the bounds that keep a flood of lines from growing the page.
import { clockText } from './turn.js';

// The start form's ranges, steps and defaults, as the desktop's form has them.
export const PLAYTO = { low: 5, high: 100, step: 5, start: 20 };
export const SECONDS = { low: 30, high: 120, step: 5, start: 120 };
export const DEFAULT_CHOICES = { team: false, playto: PLAYTO.start, seconds: SECONDS.start, hints: false };

// A number for a stepped field: within its range and on its steps, or the default.
export function stepped(value, range) {
  const n = typeof value === 'number' ? Math.trunc(value) : parseInt(value, 10);
  if (!Number.isFinite(n)) return range.start;
  const within = Math.min(range.high, Math.max(range.low, n));
  return within - ((within - range.low) % range.step);
}

// The start form's choices from what the browser kept (any text at all): each read on its own.
export function readChoices(kept) {
  let o = null;
  try { o = JSON.parse(kept); } catch { /* nothing usable kept */ }
  if (!o || typeof o !== 'object') return { ...DEFAULT_CHOICES };
  return {
    team: o.team === true,
    playto: o.playto === undefined ? PLAYTO.start : stepped(o.playto, PLAYTO),
    seconds: o.seconds === undefined ? SECONDS.start : stepped(o.seconds, SECONDS),
    hints: o.hints === true,
  };
}

// The options a game starts with, as one line: "Play to 5, 0:30 a turn, letter hints".
export function optionsLine(o) {
  return `${o.team ? 'Team game to ' : 'Play to '}${o.playto}, ${clockText(o.seconds)} a turn${o.hints ? ', letter hints' : ''}`;
}

// The mask's words, each a list of its characters: null for a hidden letter, else the character
// shown (a hint letter, a guessed word's letters, punctuation).
export function maskWords(mask) {
  return mask.split(' ').filter((w) => w !== '').map((w) => Array.from(w, (c) => (c === '_' ? null : c)));
}

// The size of a mask cell in CSS pixels: as large as `most`, but small enough that the longest
// word fits the width in one line (`cell` is a cell's width per pixel of size).
export function cellSize(words, width, most, cell = 0.8) {
  const longest = Math.max(1, ...words.map((w) => w.length));
  return Math.max(6, Math.min(most, Math.floor(width / (longest * cell))));
}

// A list shown a line at a time and keeping at most `limit` lines: the lines of a source that
// only grows (or starts again) are added since the last look. `total` counts every line the source
// ever held, so one that drops its oldest lines still says which are new.
export class ShownList {
  constructor(limit) { this.limit = limit; this.source = null; this.seen = 0; }
  // What to do to bring the shown lines up to `lines` (ending with line number `total` - 1):
  // {clear, add: [lines]} with at most `limit` lines added.
  update(lines, total = lines.length) {
    let clear = false;
    if (lines !== this.source || total < this.seen) { clear = true; this.source = lines; this.seen = 0; }
    const fresh = Math.min(total - this.seen, lines.length);
    this.seen = total;
    const add = fresh > 0 ? lines.slice(Math.max(lines.length - fresh, lines.length - this.limit)) : [];
    return { clear, add };
  }
}
