// What the page shows, worked out without the page: the size of the mask's cells, and the lists
// that a flood of lines must not grow.

// The size of a mask cell in CSS pixels: as large as `most`, but small enough that the longest
// word fits the width in one line (`cell` is a cell's width per pixel of size).
export function cellSize(words, width, most, cell = 0.8) {
  const longest = Math.max(1, ...words.map((w) => w.length));
  return Math.max(6, Math.min(most, Math.floor(width / (longest * cell))));
}

// A list shown a line at a time and keeping at most `limit` lines: the lines of a source that
// only grows (or starts again as a new array) are added since the last look. `total` counts every
// line the source ever held, so a source that drops its oldest lines still says which are new.
export class ShownList {
  constructor(limit) { this.limit = limit; this.source = null; this.seen = 0; }
  // What brings the shown lines up to `lines`: {clear, add}, at most `limit` lines added.
  update(lines, total = lines.length) {
    let clear = false;
    if (lines !== this.source || total < this.seen) { clear = true; this.source = lines; this.seen = 0; }
    const fresh = Math.min(total - this.seen, lines.length);
    this.seen = total;
    const add = fresh > 0 ? lines.slice(Math.max(lines.length - fresh, lines.length - this.limit)) : [];
    return { clear, add };
  }
}
