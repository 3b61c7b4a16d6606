import { test } from 'node:test';
import assert from 'node:assert/strict';
import { parseLine, readChat, chatRequest, phraseAction, chatterTag, legibleOnWhite, WHITE } from '../page/chattext.js';

test('a line splits into head, words, links and smilies', () => {
  const l = parseLine('3+Ann chats: hi :)#12 there');
  assert.equal(l.code, 3);
  assert.equal(l.head, 'Ann chats: ');
  assert.deepEqual(l.items.map((i) => [i.kind, i.text]),
    [['text', ' '], ['text', 'hi '], ['text', ' '], ['smiley', 'wink'], ['text', ' '], ['text', 'there ']]);
  assert.equal(parseLine('0+You are Connected.').head, ' ');
  assert.equal(parseLine('x+hello'), null);
});

test('smiley codes out of range, or cut short, show the first image', () => {
  for (const line of ['0+a :)#99', '0+a :)#9x', '0+a :)#1']) {
    const s = parseLine(line).items.find((i) => i.kind === 'smiley');
    assert.equal(s.image, 0, line);
  }
});

test('links: only the word that holds the address, kept as text with its target', () => {
  const l = parseLine('2+Bob chats: see WWW.example.org now');
  const links = l.items.filter((i) => i.kind === 'link');
  assert.deepEqual(links.map((i) => i.target), ['WWW.example.org']);
  // A head never swallows a web address or a smiley.
  assert.equal(parseLine('2+Bob likes http://x.org').head, ' ');
  // Markup from the wire stays text.
  assert.equal(parseLine('2+<b>x</b>').items[0].text, '<b>x</b> ');
});

test('received chat takes its colour after the last bar, white when it does not read', () => {
  assert.deepEqual(readChat('1+Ann chats: a|b|clRed'), { line: '1+Ann chats: a|b', colour: 0xFF });
  assert.deepEqual(readChat('1+Ann chats: a|bogus'), { line: '1+Ann chats: a', colour: WHITE });
  assert.deepEqual(readChat('1+Ann chats: a'), { line: '1+Ann chats: a', colour: WHITE });
});

test('what the chat entry and the phrase buttons send', () => {
  assert.deepEqual(chatRequest('hello'), { word: 'chat', text: 'hello' });
  assert.deepEqual(chatRequest('/me waves'), { word: 'action', text: 'waves' });
  assert.equal(chatRequest('/ME waves'), null);
  assert.equal(chatRequest(''), null);
  assert.equal(phraseAction('/me cheers'), 'cheers');
  assert.equal(phraseAction('/mecheers'), 'heers');
  assert.equal(phraseAction('Thanks!'), 'says: Thanks!');
  assert.equal(chatterTag('wave7'), 7);
  assert.equal(chatterTag('wave21'), 0);
  assert.equal(chatterTag('wave07'), 0);
});

test('pale colours are darkened until they read on white', () => {
  assert.equal(legibleOnWhite(0x000080), 0x000080);
  const pale = legibleOnWhite(0x8AAAAC);
  assert.notEqual(pale, 0x8AAAAC);
  assert.ok((pale & 0xFF) < 0xAC);
});
