import { test } from 'node:test';
import assert from 'node:assert/strict';
import { StrokeSender, StrokeHistory, StrokeFlush, BATCH_POINTS } from '../page/strokes.js';
import { runsThrough, clipSegment, brushSpans } from '../page/board.js';

function drawer({ me = 2, drawer = 2, loggedin = true } = {}) {
  const sent = [];
  let now = 0;
  let armed = 0;
  const pen = { colour: 0, width: '3' };
  const s = new StrokeSender({
    game: { drawing: () => me === drawer, loggedin: () => loggedin, mynumber: me },
    send: (m) => sent.push(m), pen: () => pen, clock: () => now, arm: (ms) => { armed = ms; },
  });
  return { s, sent, pen, at: (t) => { now = t; }, armed: () => armed };
}

test('a held pen sends its points within the flush interval, a full batch at once', () => {
  const d = drawer();
  d.at(0);
  assert.equal(d.s.press(1, 1), 3);
  assert.deepEqual(d.sent, ['CMD_moveit+2+clBlack+3+1+1']);
  d.at(5); d.s.move(true, 2, 2);
  d.at(10); d.s.move(true, 3, 3);
  assert.equal(d.sent.length, 1, 'points wait while the last message is younger than 17 ms');
  assert.equal(d.armed(), 12, 'due 17 ms after the oldest waiting point');
  d.at(22); d.s.tick();
  assert.equal(d.sent.at(-1), 'CMD_draw+2+clBlack+3++2,2+3,3+');
  d.at(40); d.s.move(true, 4, 4);
  assert.equal(d.sent.at(-1), 'CMD_draw+2+clBlack+3++4,4+', 'a point after a quiet interval leaves at once');
  d.at(41);
  for (let i = 0; i < BATCH_POINTS; i++) d.s.move(true, i, i);
  assert.equal(d.sent.length, 4, 'the 101st point sends the batch');
  assert.equal(d.sent.at(-1).split('+').filter((x) => x.includes(',')).length, BATCH_POINTS);
  d.s.release();
  assert.equal(d.s.pendown, true, 'nothing waited: the stroke stays open until the next hover');
  // Before any message the flush counts from time 0, as the desktop's does.
  assert.deepEqual([new StrokeFlush().pointAdded(16), new StrokeFlush().pointAdded(17)], [false, true]);
});

test('a click without movement: the release sends nothing, the next hover ends the stroke', () => {
  const d = drawer();
  d.s.press(5, 5);
  d.s.release();
  assert.equal(d.sent.length, 1);
  assert.equal(d.s.move(false, 6, 6), false);
  assert.equal(d.sent.at(-1), 'CMD_draw+2+clBlack+3++');
});

test('only the drawer draws; before the login nothing leaves; a bad width starts nothing', () => {
  assert.equal(drawer({ drawer: 3 }).s.press(1, 1), null);
  const out = drawer({ loggedin: false });
  assert.equal(out.s.press(1, 1), 3);
  out.s.move(true, 2, 2);
  out.s.release();
  assert.deepEqual(out.sent, []);
  const bad = drawer();
  bad.pen.width = 'x';
  assert.equal(bad.s.press(1, 1), null);
  assert.deepEqual(bad.sent, []);
});

test('undo sends a wipe and the remaining strokes packed into full batches', () => {
  const d = drawer();
  d.s.press(0, 0);
  for (let i = 1; i <= 150; i++) { d.at(i * 20); d.s.move(true, i, 0); }
  d.s.release();
  d.pen.colour = 0xFF;
  d.s.press(9, 9); d.s.move(true, 10, 10); d.s.release();
  d.sent.length = 0;
  assert.equal(d.s.undo(), true);
  assert.equal(d.sent[0], 'CMD_clearmain+2');
  assert.equal(d.sent[1], 'CMD_moveit+2+clBlack+3+0+0');
  assert.equal(d.sent.length, 4, 'one moveit and 150 points in two batches');
  assert.equal(d.s.undo(), true);
  assert.equal(d.s.undo(), false);
  assert.deepEqual(StrokeHistory.packed([{ colour: 1, width: '3', points: [] }]), []);
});

test('segments are cut to a margin around the board; far points cost nothing', () => {
  assert.equal(clipSegment([-1e9, -1e9], [-1e9, 1e9], { left: -128, top: -128, right: 661, bottom: 497 }), null);
  const runs = runsThrough([0, 0], [[2e9, 0], [10, 10], [10, 10]]);
  assert.equal(runs.length, 2);
  assert.deepEqual(runs[0], [[0, 0], [661, 0]]);
  assert.ok(runs[1][0][0] <= 661 && runs[1].at(-1)[0] === 10);
});

test('brushes: thin pens paint squares, wider ones the desktop\'s round dot', () => {
  const cells = (spans) => spans.reduce((n, [, a, b]) => n + b - a + 1, 0);
  assert.deepEqual(brushSpans(1, false), [[0, 0, 0]]);
  assert.deepEqual(brushSpans(0, true), [[0, 0, 0]], 'width 0 paints the thinnest line');
  assert.equal(cells(brushSpans(3, false)), 9);
  assert.deepEqual(brushSpans(2, false).map(([y]) => y), [-1, 0], 'even widths lie on the corner');
  const dot = brushSpans(5, true);
  assert.equal(dot.length, 5);
  assert.deepEqual(dot[2], [0, -2, 2], 'an odd dot centres on its pixel');
  assert.ok(cells(brushSpans(9, true)) < 81 && cells(brushSpans(9, true)) > 50);
});
