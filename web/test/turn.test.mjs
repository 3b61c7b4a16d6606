import { test } from 'node:test';
import assert from 'node:assert/strict';
import { PlayerGame, WAITING, barWidth, clockText, maskCells, maskWords, codepageUpper, startChoices, optionsLine, joinFailure } from '../page/turn.js';
import { rank } from '../page/record.js';

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
  const restarts = g.clock.restarts;
  g.handle('CMD_updatetime+40');
  assert.equal(g.clock.seconds, 40);
  assert.equal(g.clock.restarts, restarts + 1, 'the ticks follow the host\'s from its count on');
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

test('the mask one cell a character: hint letters and punctuation in their own cells', () => {
  const cells = (mask) => maskWords(mask).map((w) => w.map((c) => (c.hidden ? '_' : c.ch)).join('|'));
  for (const [mask, want] of [
    ['___', ['_|_|_']],
    ['H__', ['H|_|_']],
    ['R____', ['R|_|_|_|_']],
    ["___K-_'-_______", ["_|_|_|K|-|_|'|-|_|_|_|_|_|_|_"]],
    ['HOT ____ ', ['H|O|T', '_|_|_|_']],
    ['', []],
  ]) assert.deepEqual(cells(mask), want, mask);
  // A hint reaches the guessers' state as it comes, whatever the word holds.
  const g = seated(2);
  g.handle('CMD_nextplayer+1+0+___ ___');
  g.handle('CMD_updateanswer+false+H__ ___');
  assert.deepEqual(g.view().turn.mask.map((w) => w.length), [3, 3]);
  assert.deepEqual(g.view().turn.mask[0][0], { ch: 'H', hidden: false });
});

test('every category through the turn: banner, cue and the record', () => {
  const g = seated(2);
  g.handle('CMD_startgame+1+false+5+30');
  for (const [cat, shown] of [[0, 0], [1, 1], [2, 2], [3, 3], [4, 4], [5, 5], [6, 6], [7, -1], [-1, -1]]) {
    g.handle('CMD_pickcatagory+1');
    assert.equal(g.view().turn.category, -1, 'the pick shows no banner');
    assert.deepEqual(cues(g.handle(`CMD_nextplayer+1+${cat}+___`)), [`cat${cat}`]);
    assert.equal(g.view().turn.category, shown, `category ${cat}`);
    g.handle('CMD_updateanswer+true+CAT');
    assert.equal(g.record.turns.at(-1).category, shown);
  }
});

test('the podium: shared places, the turn list, Play Again with the same options', () => {
  const ann = seated(1, { 1: 'Ann', 2: 'Bob', 3: 'Cy' });
  const bob = seated(2, { 1: 'Ann', 2: 'Bob', 3: 'Cy' });
  for (const g of [ann, bob]) {
    for (const m of ['CMD_startgame+1+false+5+30', 'CMD_hints+true', 'CMD_pickcatagory+1', 'CMD_nextplayer+1+3+___',
      'CMD_correctanswer+2+2+1+1+CAT', 'CMD_pickcatagory+2', 'CMD_nextplayer+2+0+___ ___',
      'CMD_updateanswer+true+HOT DOG', 'CMD_pickcatagory+3', 'CMD_nextplayer+3+1+___', 'CMD_correctanswer+1+3+3+3+RUN',
      'CMD_gamestats+5+30+3+2+3', 'CMD_winner+Ann']) g.handle(m);
  }
  const p = bob.view().podium;
  assert.equal(p.winner, 'Ann has Won the Game!');
  assert.deepEqual(p.ranking.map((r) => `${r.rank}.${r.name}=${r.score}`), ['1.Ann=3', '1.Cy=3', '3.Bob=2']);
  assert.deepEqual(p.turns.map((t) => `${t.number}. ${t.drawer} ${t.phrase}: ${t.line}`),
    ['1. Ann CAT: Solved by Bob', '2. Bob HOT DOG: Nobody guessed it', '3. Cy RUN: Solved by Ann']);
  assert.equal(p.heading, '3 turns');
  assert.equal(p.footer, 'Waiting for Ann to play again');
  assert.equal(p.optionsLine, 'Play to 5, 0:30 a turn, letter hints');
  assert.deepEqual([p.playagain, bob.startAgain().length], [false, 0], 'only the leader plays again');
  const q = ann.view().podium;
  assert.deepEqual([q.footer, q.playagain], ['Same options: Play to 5, 0:30 a turn, letter hints', true]);
  assert.deepEqual(ann.startAgain(), ['CMD_hints+1+true', 'CMD_startgame+1+false+5+30']);
  assert.deepEqual(ann.startAgain(), [], 'once sent, until the host answers');
  ann.handle('CMD_startgame+1+false+5+30');
  assert.equal(ann.view().podium, null);
  // Teams rank by their keeping seats' totals, each with its players.
  const teams = rank([{ seat: 1, name: 'Ann', score: 4 }, { seat: 2, name: 'Bob', score: 6 }, { seat: 3, name: 'Cy', score: 4 }], true, 'Maroon Team', [4, 6]);
  assert.deepEqual(teams.map((t) => `${t.rank}.${t.name}:${t.members.map((m) => m.name)}`), ['1.Maroon Team:Bob', '2.Black Team:Ann,Cy']);
});

test('who leads, whom the table waits for, and the say passing', () => {
  const g = seated(3, { 1: 'Ann', 2: 'Bob', 3: 'Cy' });
  let v = g.view();
  assert.deepEqual([v.leader, v.waiting, v.me.leads, v.seats[2].mine], [{ seat: 1, name: 'Ann' }, 'Waiting for Ann to start', false, true]);
  assert.deepEqual([v.captions.playto, v.captions.time], ['Play to Score: 20', 'Time Per Turn: 60'], 'before any game');
  const say = (fx) => fx.filter((f) => f.type === 'say').map((f) => f.line);
  // A newcomer reads who is already there: nobody's say passed.
  const late = new PlayerGame('Dee');
  const roster = ['CMD_sendlogininfo+4', 'CMD_newplayerinfo+4+Dee', 'CMD_existingplayers+1+Ann', 'CMD_existingplayers+2+Bob'];
  assert.deepEqual(roster.flatMap((m) => say(late.handle(m))), []);
  assert.deepEqual(late.view().leader, { seat: 1, name: 'Ann' });
  assert.deepEqual(say(g.handle('CMD_playerdisconnected+1+Ann')), ['Bob leads now.']);
  assert.deepEqual(say(g.handle('CMD_newplayerinfo+1+Abe')), ['Abe leads now.'], 'a newcomer in seat 1 takes the say');
  g.handle('CMD_playerdisconnected+1+Abe');
  assert.deepEqual(say(g.handle('CMD_playerdisconnected+2+Bob')), ['You lead now: you start the next game.']);
  v = g.view();
  assert.deepEqual([v.waiting, v.me.leads, v.controls.start], ['', true, true]);
  g.handle('CMD_startgame+3+false+5+30');
  assert.equal(g.view().captions.time, 'Time Per Turn: 0:30');
  assert.deepEqual(g.startIt(false, 5, 30, true), ['CMD_hints+3+true', 'CMD_startgame+3+false+5+30']);
});

test('stale parts: pass after a time-out, the pick released, the game gone keeps the table', () => {
  const g = seated(1);
  g.handle('CMD_startgame+1+false+5+30');
  assert.ok(g.handle('CMD_pickcatagory+1').some((f) => f.type === 'categoriesReleased'));
  g.handle('CMD_nextplayer+1+3+___');
  g.handle('CMD_updateanswer+true+CAT');
  assert.equal(g.controls().pass, false, 'nothing is left to pass');
  g.handle('CMD_correctanswer+2+2+1+1+CAT');
  const fx = g.leave('The host has ended the game.');
  assert.deepEqual(lines(fx), ['0+The host has ended the game. Reload the page to play again.']);
  assert.deepEqual([g.seats[2].name, g.seats[2].score, g.controls().start], ['Bob', '2', false]);
  assert.equal(joinFailure(false, '10.0.0.5:7774'), 'Nobody is hosting a game at 10.0.0.5:7774.');
  assert.equal(joinFailure(true, 'x'), 'The host closed the connection before you could join.');
});

test('start choices: the desktop ranges and steps, remembered values brought within them', () => {
  for (const [stored, want] of [
    [{}, { team: false, playto: 20, seconds: 120, hints: false }],
    [{ team: true, playto: 5, seconds: 30, hints: true }, { team: true, playto: 5, seconds: 30, hints: true }],
    [{ playto: 1, seconds: 999 }, { team: false, playto: 5, seconds: 120, hints: false }],
    [{ playto: '12', seconds: 'x', hints: 'yes' }, { team: false, playto: 10, seconds: 120, hints: false }],
  ]) assert.deepEqual(startChoices(stored), want, JSON.stringify(stored));
  assert.equal(optionsLine({ team: true, playto: 25, seconds: 90, hints: false }), 'Team game to 25, 1:30 a turn');
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
