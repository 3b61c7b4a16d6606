import { test } from 'node:test';
import assert from 'node:assert/strict';
import { cellSize, ShownList } from '../page/view.js';
import { PlayerGame, GUESS_LINES, MAX_SPIES } from '../page/turn.js';

test('mask cells shrink only as far as the longest word needs', () => {
  const words = (mask) => mask.split(' ').filter(Boolean).map((w) => [...w]);
  for (const [mask, width, want] of [
    ['R____', 300, 22], // room to spare: the largest size
    ["___K-_'-_______", 360, 22], // 15 cells of 17.6 px fit 360
    ["___K-_'-_______", 200, 16],
    ['____________________________________________________________', 300, 6], // never below 6 px
    ['', 300, 22],
  ]) assert.equal(cellSize(words(mask), width, 22), want, `${mask} at ${width}`);
});

test('a shown list adds only new lines, starts again with a new source, and stays bounded', () => {
  const list = new ShownList(3);
  const a = ['1', '2'];
  assert.deepEqual(list.update(a), { clear: true, add: ['1', '2'] });
  assert.deepEqual(list.update(a), { clear: false, add: [] });
  a.push('3', '4', '5', '6');
  assert.deepEqual(list.update(a), { clear: false, add: ['4', '5', '6'] }, 'no more than the bound at once');
  // A source that drops its oldest lines: its total says what is new.
  a.shift(); a.push('7');
  assert.deepEqual(list.update(a, 7), { clear: false, add: ['7'] });
  assert.deepEqual(list.update(['x']), { clear: true, add: ['x'] }, 'a new turn');
});

test('a flood of guesses and spies keeps the page\'s lists bounded', () => {
  const g = new PlayerGame('Bob');
  g.handle('CMD_sendlogininfo+2');
  g.handle('CMD_newplayerinfo+1+Ann');
  g.handle('CMD_nextplayer+1+0+___ ');
  for (let i = 0; i < 5000; i++) { g.handle(`CMD_guessed+3+word${i}`); g.handle(`CMD_myguessed+2+mine${i}`); }
  assert.equal(g.guesses.length, GUESS_LINES);
  assert.equal(g.guessesTotal, 5000);
  assert.equal(g.guesses.at(-1), '<Waiting> guessed: WORD4999');
  assert.deepEqual([g.myguesses.length, g.myguessesTotal], [GUESS_LINES, 5000]);
  g.handle('CMD_nextplayer+1+0+___ ');
  assert.deepEqual([g.guesses.length, g.guessesTotal], [0, 0], 'a new turn starts the lists again');
  for (let i = 0; i < 1000; i++) g.handle(`CMD_newplayerinfo+${11 + i}+Spy${i}`);
  assert.equal(g.spies.length, MAX_SPIES);
});
