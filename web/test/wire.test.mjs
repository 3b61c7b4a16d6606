import { test } from 'node:test';
import assert from 'node:assert/strict';
import { tryInt, Fields, splitCommand, colourFromText, colourToText, colourToCss, build, readDraw, readMoveit, wireSafe, ConvertError } from '../page/wire.js';

test('numbers read by the wire rules', () => {
  for (const [text, want] of [['12', 12], ['-7', -7], ['+3', 3], ['$FF', 255], ['0x10', 16], ['$FFFFFFFF', -1],
    ['2147483647', 2147483647], ['-2147483648', -2147483648]]) assert.equal(tryInt(text), want, text);
  for (const text of ['', '-', '$', '1.5', ' 1', '2147483648', '$100000000', '12a', '-$80000000', '٣'])
    assert.equal(tryInt(text), null, text);
});

test('fields: the last field is the rest, a missing "+" reads empty', () => {
  assert.deepEqual(splitCommand('CMD_chat+3+a+b'), { word: 'CMD_chat', rest: '3+a+b' });
  assert.deepEqual(splitCommand('CMD_chat'), { word: '', rest: '' });
  const f = new Fields('3+Ann+x+y');
  assert.equal(f.nextInt(), 3);
  assert.equal(f.next(), 'Ann');
  assert.equal(f.rest(), 'x+y');
  const g = new Fields('5');
  assert.equal(g.next(), '');
  assert.equal(g.restInt(), 5);
  assert.throws(() => new Fields('x+').nextInt(), ConvertError);
});

test('colour text both ways', () => {
  assert.equal(colourToText(0), 'clBlack');
  assert.equal(colourToText(0xBFD7BF), '$00BFD7BF');
  assert.equal(colourFromText('CLRED'), 0x0000FF);
  assert.equal(colourFromText('$007F0000'), 0x7F0000);
  assert.equal(colourFromText('purple-ish'), null);
  assert.equal(colourToCss(0x7F0000), '#00007f');
});

test('builders write the layouts of the desktop', () => {
  assert.equal(build.draw(3, 'clBlack', '3', [[10, 20], [11, 22]]), 'CMD_draw+3+clBlack+3++10,20+11,22+');
  assert.equal(build.draw(3, 'clBlack', '3', []), 'CMD_draw+3+clBlack+3++');
  assert.equal(build.kickhim(1, 4), 'CMD_kickhim+1+4+');
  assert.equal(build.playasound(2, 13), 'CMD_playasound+2+wave13+');
  assert.equal(build.logininfo(2, 'A\u00ffn\nx'), 'CMD_logininfo+2+2.2.8+A?n x');
  assert.equal(build.startgame(1, true, 25, 90), 'CMD_startgame+1+true+25+90');
  assert.equal(wireSafe('a\tb'), 'a b');
});

test('stroke messages read; a bad point ends the list, a bad field throws', () => {
  assert.deepEqual(readMoveit('2+clRed+5+10+-20'), { slot: 2, colour: 0xFF, width: 5, x: 10, y: -20 });
  assert.deepEqual(readDraw('2+clRed+5++1,2+3,4+').points, [[1, 2], [3, 4]]);
  assert.deepEqual(readDraw('2+clRed+5++').points, []);
  assert.deepEqual(readDraw('2+clRed+5++1,2+x,4+5,6+').points, [[1, 2]]);
  assert.deepEqual(readDraw('2+clRed+5++1,2+7,8').points, [[1, 2], [7, 8]]);
  // Numbers beyond plain decimals read by the full rules, in order with the rest.
  assert.deepEqual(readDraw('2+clRed+5++-4,5+$10,-3+1,+2+3,3+').points, [[-4, 5], [16, -3]]);
  assert.deepEqual(readDraw('2+clRed+5++1,2+3+4,5+').points, [[1, 2]]);
  // Points at their digit limits: nine digits read plainly, ten by the full rules up to 32 bits.
  for (const [points, want] of [
    ['999999999,-999999999', [[999999999, -999999999]]],
    ['2147483647,-2147483648', [[2147483647, -2147483648]]],
    ['2147483648,1+3,4', []],
    ['1,-2147483649', []],
    ['0000000001,2', [[1, 2]]],
  ]) assert.deepEqual(readDraw(`2+clRed+5++${points}+`).points, want, points);
  assert.throws(() => readDraw('2+notacolour+5++1,2+'), ConvertError);
  assert.throws(() => readMoveit('2+clRed+wide+1+2'), ConvertError);
});
