// The page's side of the agreement check: each stream goes through the page's PlayerGame, host
// messages through handle() and the player's clicks ("!verb arguments") through its requests,
// printed after each in the form agree_desktop prints.
import { readFileSync } from 'node:fs';
import { basename } from 'node:path';
import { PlayerGame } from '../../../web/page/turn.js';
import { colourFromText } from '../../../web/page/wire.js';

const hex = (n) => (n >>> 0).toString(16).toUpperCase();
const bit = (b) => (b ? '1' : '0');
const CONTROLS = ['start', 'startmenu', 'startform', 'pick', 'toolbar', 'answer', 'answerentry', 'pass', 'fullanswer',
  'snapshot', 'winner', 'marks', 'justwatch', 'removal', 'chat', 'podium', 'playagain'];
// Effects the page has for its own view and the desktop shows otherwise (see agree.mjs).
const VIEW_ONLY = new Set(['say', 'veryclose']);
const PRINTED = new Set(['chat', 'cue', 'sound', 'send', 'strokeStart', 'stroke', 'wipe', 'guessesCleared']);

// A click or a typed line: what the page would send, as effects.
function request(g, line) {
  const [verb, ...a] = line.split(' ');
  const rest = a.join(' ');
  const num = (i) => Number.parseInt(a[i] ?? '0', 10) || 0;
  const requests = {
    answer: () => g.answerIt(rest),
    pick: () => g.pickIt(num(0)),
    pass: () => g.passIt(),
    wipe: () => g.wipeIt(),
    start: () => g.startIt(num(0) !== 0, num(1), num(2), num(3) !== 0),
    again: () => g.startAgain(),
    closepodium: () => { g.closePodium(); return []; },
    watch: () => g.justWatch(),
    setwatch: () => g.setWatch(num(0), num(1) !== 0),
    kick: () => g.kick(num(0)),
    chat: () => g.chatIt(a.slice(1).join(' '), colourFromText(a[0] ?? '')) ?? [],
    sound: () => g.soundIt(num(0)),
  };
  if (!Object.hasOwn(requests, verb)) return null;
  return requests[verb]().map((message) => ({ type: 'send', message }));
}

export function replay(path) {
  const out = [];
  const last = new Map();
  const print = (key, line) => { if ((last.get(key) ?? '') !== line) { last.set(key, line); out.push(`${key} ${line}`); } };
  const g = new PlayerGame();
  out.push(`= ${basename(path)}`);
  let n = 0;
  for (const line of readFileSync(path, 'utf8').split('\n')) {
    if (line.startsWith('#player ')) { g.name = line.slice(8); continue; }
    if (line === '' || line.startsWith('#')) continue;
    out.push(`@ ${++n} ${line.slice(0, 48)}`);
    const before = [g.guesses.length, g.myguesses.length];
    let fx;
    if (line.startsWith('!')) {
      fx = request(g, line.slice(1));
      if (fx === null) { out.push(`? ${line.slice(1).split(' ')[0]}`); fx = []; }
    } else {
      fx = g.handle(line);
    }
    const of = (type) => fx.filter((f) => f.type === type);
    print('S', g.seats.slice(1).map((s, i) => `${s.name}/${g.shownScore(i + 1)}${s.watching ? '/w' : ''}`).join(' '));
    const o = g.options;
    print('T', `me=${g.mynumber} in=${bit(g.loggedin)} say=${bit(g.hostsay)} lead=${g.loggedin ? g.leaderseat() : 0} ` +
      `drawer=${g.drawer} team=${bit(g.teamgame)} ${g.playto} tpt=${g.turnseconds} opts=${bit(o.team)},${o.playto},${o.seconds},${bit(o.hints)}`);
    // The round caption's date is written in each one's own way: what follows it is compared.
    const caption = g.roundcaption.includes(': ') ? g.roundcaption.slice(g.roundcaption.indexOf(': ') + 2) : '';
    print('L', [g.turnline, g.fullanswer, g.answer, g.category, g.winnername, caption].join('|'));
    print('K', `${g.clock.mode} ${g.clock.seconds} ${bit(g.clock.running)}`);
    const c = g.controls();
    const removable = c.removable.map((on, s) => (on ? `${s},` : '')).join('');
    print('C', `${CONTROLS.filter((k) => c[k]).join(' ')} removable=${removable}`);
    print('M', `arrow=${g.marks.arrow} drawer=${g.marks.drawer} guesser=${g.marks.guesser}`);
    print('P', g.spies.map((s) => `${s.number}:${s.name}`).join(' '));
    const r = g.record;
    print('R', [`first=${r.firstturn}`, ...r.turns.map((t) => `${t.drawer}/${t.phrase}/${t.solver}/${t.category}`)].join(' '));
    if (r.won) {
      print('W', [r.winner, ...r.ranking.map((p) => `${p.rank}.${p.name}=${p.score}${p.left ? '(left)' : ''}` +
        p.members.map((m) => `:${m.seat}/${m.name}/${m.score}`).join(''))].join(' '));
    }
    for (const f of of('chat')) out.push(`X ${f.line}|${hex(f.colour)}`);
    for (const f of fx.filter((e) => e.type === 'cue' || e.type === 'sound')) {
      out.push(`Q ${f.type === 'cue' ? f.name : 'sound' + f.name.slice(4)}`);
    }
    for (const f of of('send')) out.push(`O ${f.message}`);
    for (const f of fx) {
      if (f.type === 'strokeStart') out.push(`B down ${f.x},${f.y} ${hex(f.colour)} ${f.width}`);
      else if (f.type === 'stroke') out.push(`B draw ${hex(f.colour)} ${f.width}${f.points.map((p) => ` ${p[0]},${p[1]}`).join('')}`);
      else if (f.type === 'wipe') out.push('B wipe');
    }
    // The lists as the desktop is told of them: emptied, then each new line.
    if (fx.some((f) => f.type === 'guessesCleared')) { out.push('G cleared'); before[0] = before[1] = 0; }
    for (const l of g.myguesses.slice(before[1])) out.push(`G mine ${l}`);
    for (const l of g.guesses.slice(before[0])) out.push(`G all ${l}`);
    for (const e of fx.map((f) => f.type).filter((t) => !PRINTED.has(t) && !VIEW_ONLY.has(t)).sort()) out.push(`V ${e}`);
  }
  return out.join('\n') + '\n';
}

if (process.argv[1] && import.meta.url.endsWith(basename(process.argv[1]))) {
  for (const p of process.argv.slice(2)) process.stdout.write(replay(p));
}
