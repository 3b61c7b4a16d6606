// The player's game without the page: who this player is, the table, the turn and its clock, as
// the host's messages change them, and the player's requests with who may send what. handle()
// takes one host message and returns what the page must do besides showing the state: chat
// lines, cues, strokes, wipes, messages to send. Handlers carry the desktop player's names.
//
// What the page shows is view(), one plain object rebuilt on each call:
//   me        {seat, name, spy, watching, leads}: own row; `leads` holds the say (start, removal)
//   leader    {seat, name}: the lowest seat taken, who may start the next game (0, '' for none)
//   waiting   "Waiting for Ann to start" while no game runs and someone else leads; else ''
//   seats     ten rows {seat, name, score (as shown), watching, empty, mine, leader, drawer}
//   spies     [{number, name}]
//   captions  {playto: "Play to Score: 20", time: "Time Per Turn: 60" before any game, then M:SS}
//   turn      {line, drawer, category (-1: none), fullanswer, answer, mask, roundcaption}
//             mask: the answer as words of cells, one a character: {ch, hidden}
//   marks     {arrow, drawer, guesser}: rows the arrow and "+1"/"+2" point at
//   clock     {mode 'pause'|'drawing', seconds, running, restarts, text, bar, pick}
//   guesses, myguesses: the turn's last lines (at most GUESS_LINES each); guessesTotal and
//             myguessesTotal count every line of the turn, so the page adds only new ones
//   controls  controls(): draw (tool bar), pick, pass, answer, answerentry, start, startform,
//             playagain, podium, winner, marks, snapshot, justwatch, removal, removable[], chat
//   podium    null, or {winner line, heading, ranking [{rank, name, score, left, members}],
//             turns [{number, drawer, phrase, solver, line: "Solved by Bob"|"Nobody guessed it"}],
//             options, footer: "Same options: ..." for the leader, else "Waiting for Ann to play
//             again" with optionsLine "Play to 5, 0:30 a turn, letter hints"}
//   startform START_FORM's ranges with `last`: the options of the last start (Play Again's)
//   gameleft, why: the game went away under this player, and why
// Effects besides: {type: 'say', line} when the say passes (the lead changes hands), and
// {type: 'categoriesReleased'} when a pick begins (no category shown chosen).
// Requests return the messages to send: answerIt, pickIt, passIt, wipeIt, startIt(team, playto,
// seconds, hints), startAgain (Play Again), closePodium, justWatch, setWatch, kick, chatIt,
// phraseIt, soundIt. leave(why) returns effects as handle() does. Helpers for the view:
// startChoices(stored) (remembered options brought within START_FORM), optionsLine(options),
// pickText(seconds), maskWords(mask), joinFailure(opened, where) (the desktop's words when the
// connection closed before the login). maskCells is the older whole-word form.
import { Fields, splitCommand, build, intOr, tryInt, ConvertError, colourToText } from './wire.js';
import { readChat, chatterTag, CHATTER, SYSTEM, BLUE, WATCH, PHRASES, chatRequest, phraseAction } from './chattext.js';
import { readMoveit, readDraw } from './wire.js';
import { GameRecord } from './record.js';

export const WAITING = '<Waiting>';
// Lines kept of each guess list, and spies kept: what a page shows, whatever a host sends.
export const GUESS_LINES = 200;
export const MAX_SPIES = 32;
export const CATEGORIES = ['General', 'Action', 'Phrase', 'Music', 'Movies', 'TV Shows', 'Food & Drink'];
// The category buttons from top to bottom.
export const CATEGORY_ORDER = [0, 6, 1, 3, 4, 5, 2];
export const PHRASE_PAUSE_MS = 1500;

export const isSeat = (n) => n >= 1 && n <= 10;

// The clock's text: minutes ":" two-digit seconds.
export function clockText(seconds) {
  const m = Math.trunc(seconds / 60), r = seconds % 60;
  return `${m}:${r >= 0 && r < 10 ? '0' : ''}${r}`;
}

// The width of the clock bar, as the desktop shrinks it.
export function barWidth(mode, seconds, current) {
  let w;
  if (mode === 'pause') w = seconds * 10;
  else if (seconds > 100) w = 100;
  else if (seconds + 1 < current) w = current - 2;
  else w = seconds;
  return Math.max(0, w);
}

// Letters capitalised as judging compares them: a to z and the accented letters the code page
// capitalises; others stay.
export function codepageUpper(s) {
  let out = '';
  for (const c of s) {
    const u = c.toUpperCase();
    const code = c.codePointAt(0);
    if (u.length === 1 && code >= 0xE0 && code <= 0xFE && code !== 0xF7) out += u;
    else if (code >= 0x61 && code <= 0x7A) out += u;
    else if (code === 0x161 || code === 0x153 || code === 0x17E || code === 0xFF) out += u;
    else out += c;
  }
  return out;
}

// The mask as the page shows it: hidden letters as "_" cells, words apart, revealed words whole.
export function maskCells(mask) {
  return mask.split(' ').filter((w) => w !== '').map((w) => (/^_+$/.test(w) ? { hidden: w.length } : { word: w }));
}

// The mask as cells, one a character: words of {ch, hidden}. "_" is a letter still hidden; every
// other character (a hint letter, a revealed word, "-", "'") shows as itself.
export function maskWords(mask) {
  return mask.split(' ').filter((w) => w !== '').map((w) => [...w].map((ch) => (ch === '_' ? { ch: '', hidden: true } : { ch, hidden: false })));
}

export function timePerTurnText(seconds) { return 'Time Per Turn: ' + clockText(seconds); }
// What shows before any game: the desktop's caption as laid out.
export const TIME_PER_TURN_BEFORE = 'Time Per Turn: 60';
export const PLAY_TO_BEFORE = 'Play to Score: 20';

// The picker's countdown under the categories.
export function pickText(seconds) {
  if (seconds <= 0) return 'Time is up: the host chooses';
  return `${seconds} ${seconds === 1 ? 'second' : 'seconds'} to choose`;
}

// The start form: its ranges, steps and first values.
export const START_FORM = Object.freeze({
  playto: Object.freeze({ min: 5, max: 100, step: 5, initial: 20 }),
  seconds: Object.freeze({ min: 30, max: 120, step: 5, initial: 120 }),
  team: false,
  hints: false,
});

// Options as the form may hold them (remembered ones may be anything): each number within its
// range, on a step from the range's low end; a value that does not read is the first value.
export function startChoices(stored = {}) {
  const fit = (v, r) => {
    const n = typeof v === 'number' ? v : tryInt(v ?? '');
    if (n === null || !Number.isFinite(n)) return r.initial;
    const c = Math.min(r.max, Math.max(r.min, Math.trunc(n)));
    return r.min + Math.round((c - r.min) / r.step) * r.step;
  };
  return { team: stored.team === true, playto: fit(stored.playto, START_FORM.playto),
    seconds: fit(stored.seconds, START_FORM.seconds), hints: stored.hints === true };
}

// "Play to 5, 0:30 a turn, letter hints": the options a game starts with.
export function optionsLine(o) {
  return `${o.team ? 'Team game to ' : 'Play to '}${o.playto}, ${clockText(o.seconds)} a turn${o.hints ? ', letter hints' : ''}`;
}

// Why joining failed when the connection closed before the login: it never opened (nobody
// listens), or the host closed it.
export function joinFailure(opened, where) {
  return opened ? 'The host closed the connection before you could join.' : `Nobody is hosting a game at ${where}.`;
}

const STARTED_NONE = { team: false, playto: 20, seconds: 120, hints: false };

export class PlayerGame {
  constructor(name = '') {
    this.name = name;
    this.mynumber = 0;
    this.loggedin = false;
    this.hostsay = false;
    this.gameleft = false;
    this.why = '';
    this.seats = Array.from({ length: 11 }, () => ({ name: WAITING, score: '0', watching: false, changes: 0 }));
    this.spies = [];
    this.drawer = 0;
    this.pickseen = false;
    this.gamerunning = false;
    this.teamgame = false;
    this.playto = ''; // the caption, once the host told the options
    this.turnseconds = 120;
    this.optionsknown = false;
    this.options = { ...STARTED_NONE };
    this.record = new GameRecord();
    this.againsent = false;
    this.turnline = '';
    this.fullanswer = '';
    this.answer = '';
    this.category = -1;
    this.winnername = '';
    this.roundcaption = '';
    this.guesses = [];
    this.myguesses = [];
    this.guessesTotal = 0;
    this.myguessesTotal = 0;
    this.marks = { arrow: 1, drawer: 1, guesser: 1 };
    this.shown = { start: false, startmenu: true, pick: false, toolbar: false, answer: false, pass: false,
      fullanswer: true, snapshot: false, winner: false, marks: false, justwatch: true, podium: false };
    this.clock = { mode: 'pause', seconds: 0, running: false, bar: 0, restarts: 0 };
    this.playsounds = true;
    this.playchattersounds = true;
    this.phrases = PHRASES.slice();
    this.lastleader = 0;
    this.fx = [];
  }

  // ---- who this player is
  drawing() { return this.mynumber === this.drawer; }
  isSpy() { return this.mynumber > 10; }
  canGuess() { return isSeat(this.mynumber) && !this.seats[this.mynumber].watching; }
  seatName(n) { return isSeat(n) ? this.seats[n].name : ''; }
  // The score beside a seat: nothing beside a seat its player left.
  shownScore(n) { const s = this.seats[n]; return s.name === WAITING && s.changes > 0 ? '' : s.score; }
  // This player has the hosting player's say: logged in, seated, every seat below its own empty.
  leads() {
    if (!this.loggedin || !isSeat(this.mynumber)) return false;
    for (let s = 1; s < this.mynumber; s++) if (this.seats[s].name !== WAITING) return false;
    return true;
  }
  // The seat that may start the next game: the lowest one taken (0 when none is).
  leaderseat() {
    for (let s = 1; s <= 10; s++) if (this.seats[s].name !== WAITING) return s;
    return 0;
  }
  controls() {
    const c = { ...this.shown };
    c.answerentry = this.canGuess();
    c.removal = this.hostsay;
    c.removable = this.seats.map((s, n) => n >= 1 && c.removal && s.name !== WAITING);
    c.startform = this.loggedin;
    c.chat = !this.gameleft;
    c.playagain = c.podium && this.hostsay && this.loggedin && !this.againsent;
    c.draw = c.toolbar;
    return c;
  }

  emit(type, more = {}) { this.fx.push({ type, ...more }); }
  line(text, colour) { this.emit('chat', { line: text, colour }); }
  send(message) { this.emit('send', { message }); }

  // One host message; returns the effects. A field that does not read ends the message there.
  handle(message) {
    this.fx = [];
    const { word, rest } = splitCommand(message);
    const handler = ROUTES.get(word);
    if (handler) {
      try { this[handler](rest); } catch (e) { if (!(e instanceof ConvertError)) throw e; }
    }
    const fx = this.fx;
    this.fx = [];
    return fx;
  }

  // ---- the clock (the page ticks it each second while running)
  // A restart begins a new rhythm of ticks; `restarts` tells the page.
  restartClock(mode, seconds) { this.clock.mode = mode; this.clock.seconds = seconds; this.clock.running = true; this.clock.restarts++; this.clockChanged(); }
  clockChanged() { this.clock.bar = barWidth(this.clock.mode, this.clock.seconds, this.clock.bar); }
  setSecondsLeft(s) { this.clock.seconds = s; this.clockChanged(); }
  tick() {
    if (!this.clock.running) return;
    this.clock.seconds--;
    this.clockChanged();
    if (this.clock.seconds < 0) this.clock.running = false;
  }
  clockShown() { return this.clock.seconds < 0 ? '0:00' : clockText(this.clock.seconds); }

  // ---- the table
  setScore(n, score) { if (isSeat(n)) this.seats[n].score = score; }
  setOptions(playto, seconds) { this.playto = 'Play to Score: ' + playto; this.turnseconds = seconds; this.optionsknown = true; }
  // The say follows who leads the table; Start only while no game runs. A change of leader is told.
  actashost() {
    const lead = this.leads();
    this.hostsay = lead;
    this.shown.start = this.shown.startmenu = lead && !this.gamerunning;
    const leader = this.loggedin ? this.leaderseat() : 0;
    if (leader !== this.lastleader && this.lastleader !== 0 && leader !== 0 && !this.readingroster) {
      this.emit('say', { line: leader === this.mynumber ? 'You lead now: you start the next game.' : `${this.seatName(leader)} leads now.` });
    }
    this.lastleader = leader;
  }
  sendloginfo(rest) {
    this.mynumber = new Fields(rest).restInt();
    this.loggedin = true;
    this.pickseen = false;
    this.emit('loggedIn');
    this.send(build.logininfo(this.mynumber, this.name));
    this.actashost();
  }
  // The players already at the table, told to a newcomer after his own seat: the say does not pass
  // when they are read, it only comes to light who holds it.
  existingplayers(rest) {
    this.readingroster = true;
    try { this.newplayerinfo(rest); } finally { this.readingroster = false; }
  }
  newplayerinfo(rest) {
    const f = new Fields(rest);
    const n = f.nextInt();
    const name = f.rest();
    if (n === this.mynumber) { this.line('0+You are Connected.', SYSTEM); this.emit('connected'); }
    else this.line(`0+${name} is Connected.`, SYSTEM);
    if (n > 10) {
      // A host may announce any number of spies; the page keeps those it can list.
      if (this.spies.length < MAX_SPIES) this.spies.push({ number: n, name });
      this.line(n === this.mynumber ? '0+You are spying.' : `0+${name} is spying.`, SYSTEM);
    } else if (n >= 1) {
      this.record.playerback(name);
      const s = this.seats[n];
      s.changes++; s.name = name; s.score = '0';
      this.actashost();
    }
    this.emit('cue', { name: 'entered' });
  }
  playerdisconnected(rest) {
    const f = new Fields(rest);
    const n = f.nextInt();
    const name = f.rest();
    if (n === this.mynumber) { this.emit('removed'); return; }
    if (isSeat(n)) {
      const s = this.seats[n];
      if (s.name !== WAITING) this.line(`0+${s.name} disconnected.`, SYSTEM);
      if (s.name !== WAITING && this.gamerunning) this.record.playerleft({ seat: n, name: s.name, score: intOr(s.score, 0) });
      s.changes++; s.name = WAITING; s.watching = false;
      this.actashost();
    }
    const i = this.spies.findIndex((s) => s.number === n && s.name === name);
    if (i >= 0) { this.spies.splice(i, 1); this.line(`0+${name} has left.`, SYSTEM); }
  }
  havewrongversion(rest) { this.line(`0+${rest} has a different version of the game then you.`, BLUE); }
  wrongversion() { this.line('0+You have a different version of the game then the host.', BLUE); }
  chatreceived(rest) {
    if (rest === '0+Game paused: nobody is left who can draw. The host may start a new game.|$008AAAAC') {
      this.gamerunning = false;
      this.emit('paused');
      if (this.hostsay) this.shown.start = this.shown.startmenu = true;
    }
    const { line, colour } = readChat(rest);
    this.line(line, colour);
  }
  refreshplayerlist(rest) {
    const f = new Fields(rest);
    const n = f.nextInt();
    if (isSeat(n)) this.seats[n].name = f.rest();
  }
  gamestats(rest) {
    const f = new Fields(rest);
    const playto = f.next();
    const seconds = intOr(f.next(), 120);
    this.setOptions(playto, seconds);
    this.options.playto = intOr(playto, this.options.playto);
    this.options.seconds = seconds;
    if (!this.pickseen && this.clock.mode === 'drawing') this.setSecondsLeft(seconds);
    f.all().slice(0, 10).forEach((s, i) => this.setScore(i + 1, s));
  }
  teamscore(rest) {
    this.teamgame = true;
    this.options.team = true;
    new Fields(rest).all().slice(0, 10).forEach((s, i) => this.setScore(i + 1, s));
  }
  justwatching(rest) {
    const f = new Fields(rest);
    const n = f.nextInt();
    const flag = f.rest();
    if (!isSeat(n)) return;
    const watch = flag === '1';
    this.line(`0+${this.seats[n].name}${watch ? ' is just watching.' : ' now playing again'}`, WATCH);
    this.seats[n].watching = watch;
  }
  gamefull() { this.emit('full'); }

  // ---- strokes of others
  moveit(rest) {
    const m = readMoveit(rest);
    if (m.slot === this.mynumber) return;
    this.emit('strokeStart', m);
  }
  drawit(rest) {
    const f = new Fields(rest);
    if (tryInt(f.next()) === this.mynumber) return;
    const d = readDraw(rest);
    this.emit('stroke', d);
  }
  clearmain(rest) {
    if (new Fields(rest).restInt() === this.mynumber) return;
    this.emit('wipe');
  }

  // ---- the turn
  clearFinishedTurn() {
    // A turn that timed out, or whose drawer left, leaves its drawer's and guessers' controls.
    Object.assign(this.shown, { marks: false, snapshot: false, pass: false, toolbar: false, answer: false });
    this.fullanswer = '';
    this.answer = '';
    this.category = -1;
  }
  startthegame(rest) {
    this.clock.running = false;
    this.pickseen = true;
    Object.assign(this.shown, { marks: false, winner: false, toolbar: false, answer: false, pass: false, podium: false });
    this.turnline = '';
    this.clearFinishedTurn();
    // The last game's drawing goes now, not when the first drawer has picked.
    this.emit('wipe');
    this.shown.start = false;
    this.gamerunning = true;
    this.actashost();
    this.emit('gameStarted');
    for (let s = 1; s <= 10; s++) { this.seats[s].score = '0'; this.seats[s].watching = false; }
    const f = new Fields(rest);
    const starter = f.nextInt();
    const team = f.next() === 'true';
    const playto = f.next();
    const seconds = intOr(f.rest(), 120);
    this.setOptions(playto, seconds);
    // Letter hints, if the game has them, are told right after the start (CMD_hints).
    this.options = { team, playto: intOr(playto, 20), seconds, hints: false };
    this.record = new GameRecord(team);
    this.againsent = false;
    this.shown.justwatch = !team;
    this.teamgame = team;
    const who = starter === this.mynumber ? 'You have ' : this.seatName(starter) + ' has ';
    this.line(`0+${who}${team ? 'started a TEAM game.' : 'started a game.'}`, WATCH);
  }
  hintson(rest) { if (rest === 'true') this.options.hints = true; }
  pickcatagory(rest) {
    this.emit('penLifted');
    this.pickseen = true;
    this.gamerunning = true;
    this.actashost();
    this.shown.winner = false;
    this.emit('categoriesReleased');
    this.drawer = new Fields(rest).leadingInt();
    if (isSeat(this.drawer)) this.marks.arrow = this.drawer;
    // The break is over: the finished turn's phrase, banner, marks and snapshot button go.
    this.clearFinishedTurn();
    if (this.drawing()) this.turnline = 'Your turn to choose a category.';
    else if (isSeat(this.drawer)) this.turnline = `${this.seatName(this.drawer)} is choosing a category.`;
    else this.turnline = '';
    if (this.drawing()) { this.emit('cue', { name: 'turn' }); this.shown.pick = true; }
    this.restartClock('pause', 10);
  }
  getnextplayer(rest) {
    Object.assign(this.shown, { marks: false, winner: false, start: false });
    this.gamerunning = true;
    this.actashost();
    this.fullanswer = '';
    this.guesses = [];
    this.myguesses = [];
    this.guessesTotal = 0;
    this.myguessesTotal = 0;
    this.emit('guessesCleared');
    Object.assign(this.shown, { snapshot: false, pick: false });
    this.roundcaption = '';
    // A page that joined during the turn has just been sent the drawing so far: it stays.
    if (this.pickseen) this.emit('wipe');
    const f = new Fields(rest);
    this.drawer = f.nextInt();
    const cat = f.nextInt();
    this.emit('cue', { name: 'cat' + cat });
    this.category = cat >= 0 && cat <= 6 ? cat : -1;
    this.record.turnbegan(this.seatName(this.drawer), this.category);
    this.answer = codepageUpper(f.rest());
    this.emit('brushReset');
    if (isSeat(this.drawer)) this.marks.drawer = this.drawer;
    if (isSeat(this.drawer) && (this.drawing() || !this.pickseen)) this.marks.arrow = this.drawer;
    const mine = this.drawing();
    this.turnline = mine ? 'Your turn to draw.' : `${this.seatName(this.drawer)}'s turn to draw.`;
    Object.assign(this.shown, { fullanswer: mine, toolbar: mine, pass: mine, answer: !mine });
    this.clock.mode = 'drawing';
    this.clock.seconds = this.turnseconds;
    // A clock that runs keeps its rhythm.
    if (!this.clock.running) this.clock.restarts++;
    this.clock.running = true;
    this.clockChanged();
  }
  // A guess line kept: a flood of guesses keeps only the last lines.
  addGuess(mine, line) {
    const list = mine ? this.myguesses : this.guesses;
    list.push(line);
    if (list.length > GUESS_LINES) list.shift();
    if (mine) this.myguessesTotal++; else this.guessesTotal++;
  }
  givedraweranswer(rest) { this.fullanswer = codepageUpper(rest); }
  guessed(rest) {
    const f = new Fields(rest);
    const g = f.nextInt();
    this.addGuess(false, `${this.seatName(g)} guessed: ${codepageUpper(f.rest())}`);
  }
  myguessed(rest) {
    const f = new Fields(rest);
    const g = f.nextInt();
    this.addGuess(true, `${this.seatName(g)} answered: ${codepageUpper(f.rest())}`);
  }
  veryclose(rest) {
    const f = new Fields(rest);
    if (f.nextInt() !== this.mynumber) return;
    this.addGuess(true, `${codepageUpper(f.next())} is very close.`);
    this.emit('veryclose');
  }
  updateanswer(rest) {
    const f = new Fields(rest);
    const flag = f.next();
    const text = codepageUpper(f.rest());
    if (flag === 'true') {
      // The time ran out: the text is the phrase, and nobody draws or passes any more.
      this.emit('cue', { name: 'noanswer' });
      this.line('0+No one guessed!', SYSTEM);
      this.roundcaption = `${today()}: ${this.seatName(this.drawer)}-${text}`;
      this.record.turnended(text, '');
      this.drawer = 0;
      Object.assign(this.shown, { answer: false, toolbar: false, pass: false, snapshot: true });
      this.restartClock('pause', 10);
    }
    this.answer = text;
  }
  passed(rest) {
    this.emit('cue', { name: 'pass' });
    const f = new Fields(rest);
    const d = f.nextInt();
    this.setScore(d, f.rest());
    this.line(`0+${this.seatName(d)} has bought a different phrase for one point.`, SYSTEM);
  }
  correctanswer(rest) {
    this.roundcaption = `${today()}: ${this.seatName(this.drawer)}-`;
    this.restartClock('pause', 10);
    Object.assign(this.shown, { answer: false, toolbar: false, pass: false, snapshot: true });
    const f = new Fields(rest);
    const g = f.nextInt();
    this.setScore(g, f.next());
    const d = f.nextInt();
    this.setScore(d, f.next());
    const phrase = codepageUpper(f.rest());
    this.line(`0+${this.seatName(g)} has guessed the answer!`, SYSTEM);
    if (g === this.mynumber || this.drawing()) this.emit('cue', { name: 'correct' });
    this.drawer = 0;
    if (isSeat(g)) this.marks.guesser = g;
    this.shown.marks = true;
    this.answer = phrase;
    this.roundcaption += phrase;
    this.record.turnended(phrase, this.seatName(g));
  }
  winner(rest) {
    this.emit('cue', { name: 'gameover' });
    this.line(`0+${rest} has Won the Game!`, SYSTEM);
    this.winnername = rest;
    this.turnline = 'The game is over.';
    this.shown.winner = true;
    // The podium ranks everyone seated and everyone who left during the game.
    const seated = [];
    for (let s = 1; s <= 10; s++) {
      if (this.seats[s].name !== WAITING) seated.push({ seat: s, name: this.seats[s].name, score: intOr(this.seats[s].score, 0), left: false });
    }
    this.record.finish(rest, seated, [intOr(this.seats[1].score, 0), intOr(this.seats[2].score, 0)]);
    this.shown.podium = true;
    this.againsent = false;
    this.gamerunning = false;
    if (this.hostsay) this.shown.start = this.shown.startmenu = true;
  }
  updatetime(rest) {
    // Only a page that joined during this drawing turn needs the host's count.
    if (this.pickseen || this.clock.mode !== 'drawing') return;
    const s = tryInt(rest);
    if (s === null || s < 0) return;
    this.setSecondsLeft(s);
    // The count comes as the host's clock ticks: the page's ticks follow from here, a whole second
    // apart, so it never runs ahead of the host's.
    if (this.clock.running) this.clock.restarts++;
  }
  playasound(rest) {
    const f = new Fields(rest);
    const sender = f.next();
    const name = f.next();
    if (this.playchattersounds) { if (chatterTag(name)) this.emit('sound', { name: 'WAVE' + chatterTag(name) }); return; }
    const n = tryInt(sender);
    const tag = chatterTag(name);
    if (n === null || !isSeat(n) || tag === 0) return;
    this.line(`0+${this.seatName(n)}: <Chatter Sound> ${CHATTER[tag]}`, BLUE);
  }

  // The game went away under this player: what needs the game goes; the table's names and
  // scores and the drawing stay. Returns the effects, as handle() does.
  leave(why) {
    this.fx = [];
    this.gameleft = true;
    this.loggedin = false;
    this.drawer = 0;
    this.emit('penLifted');
    this.clock.running = false;
    this.clock.mode = 'pause';
    this.setSecondsLeft(-1);
    this.turnline = '';
    this.fullanswer = '';
    this.why = why;
    this.line(`0+${why} Reload the page to play again.`, SYSTEM);
    this.hostsay = false;
    Object.assign(this.shown, { start: false, startmenu: false, justwatch: false, pick: false, toolbar: false, answer: false, pass: false });
    const fx = this.fx;
    this.fx = [];
    return fx;
  }

  // ---- what the page shows (see the top of this file)
  view() {
    const me = this.mynumber;
    const leader = this.leaderseat();
    const seats = [];
    for (let n = 1; n <= 10; n++) {
      const s = this.seats[n];
      seats.push({ seat: n, name: s.name, score: this.shownScore(n), watching: s.watching, empty: s.name === WAITING,
        mine: n === me, leader: n === leader, drawer: n === this.drawer });
    }
    let waiting = '';
    if (!this.gamerunning && !this.gameleft && leader !== 0 && leader !== me && this.loggedin) {
      waiting = `Waiting for ${this.seatName(leader)} to start`;
    }
    const controls = this.controls();
    return {
      me: { seat: me, name: isSeat(me) ? this.seatName(me) : this.name, spy: this.isSpy(), watching: isSeat(me) && this.seats[me].watching, leads: this.hostsay },
      leader: { seat: leader, name: this.seatName(leader) },
      waiting,
      seats,
      spies: this.spies.slice(),
      captions: { playto: this.playto || PLAY_TO_BEFORE, time: this.optionsknown ? timePerTurnText(this.turnseconds) : TIME_PER_TURN_BEFORE },
      turn: { line: this.turnline, drawer: this.drawer, category: this.category, fullanswer: this.fullanswer,
        answer: this.answer, mask: maskWords(this.answer), roundcaption: this.roundcaption },
      marks: { ...this.marks },
      clock: { ...this.clock, text: this.clockShown(), pick: pickText(this.clock.seconds) },
      guesses: this.guesses, myguesses: this.myguesses,
      controls,
      podium: controls.podium ? this.podium(leader, controls.playagain) : null,
      startform: { ...START_FORM, last: { ...this.options } },
      gameleft: this.gameleft, why: this.why,
    };
  }

  podium(leader, playagain) {
    const r = this.record;
    const played = r.firstturn + r.turns.length;
    let heading = played === 1 ? '1 turn' : `${played} turns`;
    if (r.firstturn > 0) heading = `The last ${r.turns.length} of ${heading}`;
    const opts = optionsLine(this.options);
    const leads = this.hostsay;
    let footer;
    if (leads) footer = 'Same options: ' + opts;
    else footer = leader ? `Waiting for ${this.seatName(leader)} to play again` : 'Waiting for a player to start a new game';
    return {
      winner: r.winner ? `${r.winner} has Won the Game!` : 'The game is over!',
      team: r.team,
      ranking: r.ranking.map((p) => ({ ...p, members: p.members.map((m) => ({ ...m })) })),
      heading,
      turns: r.turns.map((t, i) => ({ number: r.firstturn + i + 1, ...t, line: t.solver ? `Solved by ${t.solver}` : 'Nobody guessed it' })),
      options: { ...this.options },
      optionsLine: opts,
      footer,
      playagain,
    };
  }

  // ---- the player's requests: each returns the messages to send (maybe none)
  answerIt(text) { return this.loggedin && this.canGuess() ? [build.answer(this.mynumber, text)] : []; }
  pickIt(category) {
    this.shown.pick = false;
    return this.drawing() && this.loggedin ? [build.pickcatagory(this.mynumber, category)] : [];
  }
  passIt() {
    const out = this.drawing() && this.loggedin ? [build.pass(this.mynumber)] : [];
    this.shown.pass = false;
    return out;
  }
  wipeIt() { return this.drawing() && this.loggedin ? [build.clearmain(this.mynumber)] : []; }
  // The start form's options; hints are asked for first, so the start right after takes them.
  startIt(team, playto, seconds, hints = false) {
    if (!this.loggedin || !this.leads()) return [];
    return [...(hints ? [build.hints(this.mynumber)] : []), build.startgame(this.mynumber, team, playto, seconds)];
  }
  // Play Again on the podium: the last start's options. Once sent, it goes until the host answers.
  startAgain() {
    if (!this.controls().playagain) return [];
    const o = this.options;
    const out = this.startIt(o.team, o.playto, o.seconds, o.hints);
    this.againsent = true;
    return out;
  }
  closePodium() { this.shown.podium = false; }
  justWatch() {
    if (!this.loggedin || !isSeat(this.mynumber)) return [];
    return [build.justwatch(this.mynumber, !this.seats[this.mynumber].watching)];
  }
  setWatch(seat, on) { return this.loggedin && this.hostsay ? [build.justwatch(seat, on)] : []; }
  kick(n) { return this.loggedin && this.hostsay ? [build.kickhim(this.mynumber, n)] : []; }
  chatIt(text, colour) {
    if (!this.loggedin) return null;
    const r = chatRequest(text);
    if (!r) return [];
    return [build[r.word](this.mynumber, r.text, colourToText(colour))];
  }
  // A phrase button: after one, the buttons rest a moment; a click in the pause is lost.
  phraseIt(n, colour, now) {
    if (this.phrasePauseUntil && now < this.phrasePauseUntil) return [];
    if (!this.loggedin) return [];
    this.phrasePauseUntil = now + PHRASE_PAUSE_MS;
    return [build.action(this.mynumber, phraseAction(this.phrases[n - 1] || ''), colourToText(colour))];
  }
  soundIt(tag) { return tag !== 0 && !this.isSpy() && this.loggedin ? [build.playasound(this.mynumber, tag)] : []; }
}

function today() {
  return new Date().toLocaleDateString();
}

// Dispatch table: command word to handler, with the desktop player's handler names.
export const ROUTES = new Map(Object.entries({
  CMD_sendlogininfo: 'sendloginfo', CMD_chat: 'chatreceived', CMD_action: 'chatreceived', CMD_newplayerinfo: 'newplayerinfo',
  CMD_existingplayers: 'existingplayers', CMD_playerdisconnected: 'playerdisconnected', CMD_startgame: 'startthegame', CMD_hints: 'hintson',
  CMD_nextplayer: 'getnextplayer', CMD_winner: 'winner', CMD_full: 'gamefull', CMD_draw: 'drawit', CMD_moveit: 'moveit',
  CMD_clearmain: 'clearmain', CMD_correctanswer: 'correctanswer', CMD_updateanswer: 'updateanswer',
  CMD_givedraweranswer: 'givedraweranswer', CMD_guessed: 'guessed', CMD_pickcatagory: 'pickcatagory',
  CMD_myguessed: 'myguessed', CMD_passed: 'passed', CMD_refreshplayerlist: 'refreshplayerlist',
  CMD_havewrongversion: 'havewrongversion', CMD_wrongversion: 'wrongversion', CMD_justwatching: 'justwatching',
  CMD_teamscore: 'teamscore', CMD_gamestats: 'gamestats', CMD_veryclose: 'veryclose', CMD_playasound: 'playasound',
  CMD_updatetime: 'updatetime',
}));
