import { test } from 'node:test';
import assert from 'node:assert/strict';
import { PlayerGame, WAITING, barWidth, clockText, maskCells, codepageUpper } from '../page/turn.js';

// A game logged in as `me`, with the given seats filled.
function seated(me, names = { 1: 'Ann', 2: 'Bob' }) {
  const g = new PlayerGame(names[me] || 'Me');
  const fx = g.handle(`CMD_sendlogininfo+${me}`);
  assert.deepEqual(fx.filter((f) => f.type === 'send').map((f) => f.message), [`CMD_logininfo+${me}+2.2.8+${g.name}`]);
  for (const [n, name] of Object.entries(names)) g.handle(`CMD_newplayerinfo+${n}+${name}`);
  return g;
}
const lines = (fx) => fx.filter((f) => f.type === 'chat').map((f) => f.line);
const cues = (fx) => fx.filter((f) => f.type === 'cue').map((f) => f.name);

test('a whole turn as the guesser sees it', () => {
  const g = seated(2);
  assert.deepEqual(lines(g.handle('CMD_startgame+1+false+20+90')), ['0+Ann has started a game.']);
  g.handle('CMD_pickcatagory+1');
  assert.equal(g.turnline, 'Ann is choosing a category.');
  assert.equal(g.marks.arrow, 1);
  assert.equal(g.controls().pick, false);
  const fx = g.handle('CMD_nextplayer+1+6+___ ____ ');
  assert.deepEqual(cues(fx), ['cat6']);
  assert.ok(fx.some((f) => f.type === 'wipe'));
  assert.equal(g.clock.seconds, 90);
  assert.equal(g.controls().answer, true);
  assert.equal(g.controls().answerentry, true);
  assert.equal(g.controls().toolbar, false);
  g.handle('CMD_myguessed+2+hot');
  g.handle('CMD_veryclose+2+dogs+');
  g.handle('CMD_veryclose+3+cats+');
  assert.deepEqual(g.myguesses, ['Bob answered: HOT', 'DOGS is very close.']);
  g.handle('CMD_updateanswer+false+HOT ____ ');
  assert.equal(g.answer, 'HOT ____ ');
  const end = g.handle('CMD_correctanswer+2+2+1+1+hot dog');
  assert.deepEqual(cues(end), ['correct']);
  assert.deepEqual([g.seats[1].score, g.seats[2].score], ['1', '2']);
  assert.deepEqual([g.marks.guesser, g.controls().marks, g.controls().snapshot, g.drawer], [2, true, true, 0]);
  assert.equal(g.answer, 'HOT DOG');
  assert.deepEqual(lines(g.handle('CMD_winner+Bob')), ['0+Bob has Won the Game!']);
  assert.equal(g.controls().winner, true);
});

test('the drawer gets the pick, the phrase, the tools and pass; a time-out ends the turn', () => {
  const g = seated(1);
  assert.equal(g.controls().start, true, 'seat 1 leads the table');
  g.handle('CMD_startgame+1+true+20+120');
  assert.equal(g.teamgame, true);
  assert.equal(g.controls().justwatch, false);
  assert.deepEqual(cues(g.handle('CMD_pickcatagory+1')), ['turn']);
  assert.equal(g.controls().pick, true);
  assert.deepEqual(g.pickIt(3), ['CMD_pickcatagory+1+3']);
  g.handle('CMD_nextplayer+1+3+____ ');
  g.handle('CMD_givedraweranswer+abba');
  assert.equal(g.fullanswer, 'ABBA');
  assert.deepEqual([g.controls().toolbar, g.controls().pass, g.controls().answer], [true, true, false]);
  assert.deepEqual(g.passIt(), ['CMD_pass+1']);
  assert.deepEqual(g.passIt(), ['CMD_pass+1'], 'still the drawer: the host decides');
  assert.equal(g.controls().pass, false);
  const out = g.handle('CMD_updateanswer+true+ABBA');
  assert.deepEqual(cues(out), ['noanswer']);
  assert.deepEqual([g.drawer, g.controls().toolbar, g.clock.mode, g.clock.seconds], [0, false, 'pause', 10]);
  assert.deepEqual(g.wipeIt(), [], 'the turn is over: the board is no longer this player\'s');
});

test('seats, spies, watching and the say over the table', () => {
  const g = seated(3, { 2: 'Bob', 3: 'Cy' });
  assert.equal(g.leads(), false);
  g.handle('CMD_playerdisconnected+2+Bob');
  assert.equal(g.leads(), true, 'every seat below is empty');
  assert.equal(g.seats[2].name, WAITING);
  assert.equal(g.shownScore(2), '');
  assert.deepEqual(lines(g.handle('CMD_playerdisconnected+2+Bob')), [], 'a second report adds no line');
  assert.deepEqual(lines(g.handle('CMD_newplayerinfo+12+Spy')), ['0+Spy is Connected.', '0+Spy is spying.']);
  assert.deepEqual(g.kick(12), ['CMD_kickhim+3+12+']);
  assert.deepEqual(lines(g.handle('CMD_playerdisconnected+12+Spy')), ['0+Spy has left.']);
  assert.deepEqual(g.justWatch(), ['CMD_justwatch+3+1']);
  g.handle('CMD_justwatching+3+1');
  assert.equal(g.controls().answerentry, false);
  assert.deepEqual(g.justWatch(), ['CMD_justwatch+3+2']);
  g.handle('CMD_refreshplayerlist+12+Nobody');
  assert.deepEqual(g.handle('CMD_playerdisconnected+3+Cy').map((f) => f.type), ['removed']);
});

test('a late joiner: scores, the time per turn and the drawing so far', () => {
  const g = seated(4, { 1: 'Ann', 4: 'Dee' });
  const fx = g.handle('CMD_moveit+1+clRed+5+10+20');
  assert.deepEqual(fx[0], { type: 'strokeStart', slot: 1, colour: 0xFF, width: 5, x: 10, y: 20 });
  assert.deepEqual(g.handle('CMD_draw+1+clRed+5++11,21+12,22+')[0].points, [[11, 21], [12, 22]]);
  const turn = g.handle('CMD_nextplayer+1+0+____ ');
  assert.ok(!turn.some((f) => f.type === 'wipe'), 'the drawing so far stays');
  assert.equal(g.marks.arrow, 1);
  g.handle('CMD_gamestats+30+65+3+0+0+0+0+0+0+0+0+0');
  assert.deepEqual([g.playto, g.turnseconds, g.clock.seconds, g.seats[1].score], ['Play to Score: 30', 65, 65, '3']);
  g.handle('CMD_updatetime+40');
  assert.equal(g.clock.seconds, 40);
  assert.deepEqual(g.handle('CMD_draw+4+clRed+5++1,1+'), [], 'own strokes are on the board already');
});

test('bad input changes nothing and never throws', () => {
  const g = seated(2);
  for (const m of ['', 'CMD_chat', 'cmd_chat+1+x', 'constructor+1', '__proto__+x', 'CMD_nextplayer+x+1+__ ',
    'CMD_draw+1+clRed+w++1,2+', 'CMD_moveit+1', 'CMD_justwatching+q+1', 'CMD_correctanswer+', 'CMD_gamestats+',
    'CMD_updatetime+-2', 'CMD_playasound+1+wave99+', 'toString+1'])
    assert.doesNotThrow(() => g.handle(m), m);
  assert.equal(g.seats[2].name, 'Bob');
});

test('chat requests and chatter sounds', () => {
  const g = seated(2);
  assert.deepEqual(g.chatIt('hi + you', 0x80), ['CMD_chat+2+hi + you|clMaroon']);
  assert.deepEqual(g.chatIt('/me waves', 0x80), ['CMD_action+2+waves|clMaroon']);
  assert.deepEqual(g.chatIt('/kick 3', 0x80), []);
  assert.deepEqual(g.phraseIt(1, 0x80, 0), ['CMD_action+2+says: Way To Go!|clMaroon']);
  assert.deepEqual(g.phraseIt(2, 0x80, 100), [], 'the buttons rest after a phrase');
  assert.equal(new PlayerGame('x').chatIt('hi', 0), null, 'not logged in: the entry keeps the text');
  assert.deepEqual(g.handle('CMD_playasound+1+wave13+').map((f) => f.name), ['WAVE13']);
  g.playchattersounds = false;
  assert.deepEqual(lines(g.handle('CMD_playasound+1+wave13+')), ['0+Ann: <Chatter Sound> Applause']);
  assert.deepEqual(g.soundIt(0), []);
});

test('clock, bar and mask as the desktop shows them', () => {
  assert.deepEqual([clockText(125), clockText(9), clockText(0)], ['2:05', '0:09', '0:00']);
  assert.equal(barWidth('pause', 10, 0), 100);
  assert.equal(barWidth('drawing', 120, 0), 100);
  assert.equal(barWidth('drawing', 90, 100), 98);
  assert.deepEqual(maskCells('HOT ___ '), [{ word: 'HOT' }, { hidden: 3 }]);
  assert.equal(codepageUpper('piñata ß µ'), 'PIÑATA ß µ');
  const g = seated(2);
  g.handle('CMD_pickcatagory+1');
  for (let i = 0; i < 11; i++) g.tick();
  assert.deepEqual([g.clockShown(), g.clock.running], ['0:00', false]);
});

test('capitals as judging compares them, over every character of the code page', () => {
  // a to z, and the small letters whose capital the code page holds; µ, ß and ƒ have none there.
  const small = 'abcdefghijklmnopqrstuvwxyzšœžàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþÿ';
  const capital = 'ABCDEFGHIJKLMNOPQRSTUVWXYZŠŒŽÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞŸ';
  // Bytes 0x80 to 0x9F of the code page; the others stand for their own code points.
  const high = '€\x81‚ƒ„…†‡ˆ‰Š‹Œ\x8DŽ\x8F\x90‘’“”•–—˜™š›œ\x9DžŸ';
  const page = Array.from({ length: 256 }, (_, b) => (b >= 0x80 && b < 0xA0 ? high[b - 0x80] : String.fromCharCode(b))).join('');
  const wrong = [];
  let all = '';
  for (const c of page) {
    const i = small.indexOf(c);
    const expected = i >= 0 ? capital[i] : c;
    if (codepageUpper(c) !== expected) wrong.push(`${c} became ${codepageUpper(c)}, not ${expected}`);
    all += expected;
  }
  assert.deepEqual(wrong, []);
  assert.equal(codepageUpper(page), all); // a whole text at once
});
