// The player's game without the page: who this player is, the table, the turn and its clock, as
// the host's messages change them, and the player's requests with who may send what. handle()
// takes one host message and returns what the page must do besides showing the state: chat
// lines, cues, strokes, wipes, messages to send.
import { Fields, splitCommand, build, intOr, tryInt, ConvertError, colourToText } from './wire.js';
import { readChat, chatterTag, CHATTER, SYSTEM, BLUE, WATCH, PHRASES, chatRequest, phraseAction } from './chattext.js';
import { readMoveit, readDraw } from './wire.js';

export const WAITING = '<Waiting>';
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

export class PlayerGame {
  constructor(name = '') {
    this.name = name;
    this.mynumber = 0;
    this.loggedin = false;
    this.gameleft = false;
    this.seats = Array.from({ length: 11 }, () => ({ name: WAITING, score: '0', watching: false, changes: 0 }));
    this.spies = [];
    this.drawer = 0;
    this.pickseen = false;
    this.gamerunning = false;
    this.teamgame = false;
    this.playto = 'Play to Score: 20';
    this.turnseconds = 120;
    this.turnline = '';
    this.fullanswer = '';
    this.answer = '';
    this.category = -1;
    this.winner = '';
    this.guesses = [];
    this.myguesses = [];
    this.marks = { arrow: 1, drawer: 1, guesser: 1 };
    this.shown = { pick: false, toolbar: false, answer: false, pass: false, fullanswer: true, snapshot: false,
      winner: false, marks: false, justwatch: true, start: false };
    this.clock = { mode: 'pause', seconds: 0, running: false, bar: 0, restarts: 0 };
    this.roundcaption = '';
    this.playsounds = true;
    this.playchattersounds = true;
    this.phrases = PHRASES.slice();
    this.phraseready = true;
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
  controls() {
    const lead = this.leads() && !this.gameleft;
    return { ...this.shown, answerentry: this.canGuess(), removal: lead, start: lead && !this.gamerunning,
      chat: !this.gameleft, justwatch: this.shown.justwatch && !this.gameleft && isSeat(this.mynumber) };
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
  tick() {
    if (!this.clock.running) return;
    this.clock.seconds--;
    this.clockChanged();
    if (this.clock.seconds < 0) this.clock.running = false;
  }
  clockShown() { return this.clock.seconds < 0 ? '0:00' : clockText(this.clock.seconds); }

  // ---- the table
  setScore(n, score) { if (isSeat(n)) this.seats[n].score = score; }
  sendlogininfo(rest) {
    this.mynumber = new Fields(rest).restInt();
    this.loggedin = true;
    this.pickseen = false;
    this.send(build.logininfo(this.mynumber, this.name));
    this.emit('loggedIn');
  }
  newplayerinfo(rest) {
    const f = new Fields(rest);
    const n = f.nextInt();
    const name = f.rest();
    if (n === this.mynumber) { this.line('0+You are Connected.', SYSTEM); this.emit('connected'); }
    else this.line(`0+${name} is Connected.`, SYSTEM);
    if (n > 10) {
      this.spies.push({ number: n, name });
      this.line(n === this.mynumber ? '0+You are spying.' : `0+${name} is spying.`, SYSTEM);
    } else if (n >= 1) {
      const s = this.seats[n];
      s.changes++; s.name = name; s.score = '0';
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
      s.changes++; s.name = WAITING; s.watching = false;
    }
    const i = this.spies.findIndex((s) => s.number === n && s.name === name);
    if (i >= 0) { this.spies.splice(i, 1); this.line(`0+${name} has left.`, SYSTEM); }
  }
  havewrongversion(rest) { this.line(`0+${rest} has a different version of the game then you.`, BLUE); }
  wrongversion() { this.line('0+You have a different version of the game then the host.', BLUE); }
  chat(rest) {
    if (rest === '0+Game paused: nobody is left who can draw. The host may start a new game.|$008AAAAC') {
      this.gamerunning = false;
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
    this.playto = 'Play to Score: ' + playto;
    this.turnseconds = seconds;
    if (!this.pickseen && this.clock.mode === 'drawing') { this.clock.seconds = seconds; this.clockChanged(); }
    f.all().slice(0, 10).forEach((s, i) => this.setScore(i + 1, s));
  }
  teamscore(rest) {
    this.teamgame = true;
    new Fields(rest).all().slice(0, 10).forEach((s, i) => this.setScore(i + 1, s));
  }
  justwatching(rest) {
    const f = new Fields(rest);
    const n = f.nextInt();
    if (!isSeat(n)) return;
    const watch = f.rest() === '1';
    this.line(`0+${this.seats[n].name}${watch ? ' is just watching.' : ' now playing again'}`, WATCH);
    this.seats[n].watching = watch;
  }
  full() { this.emit('full'); }

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
    Object.assign(this.shown, { marks: false, snapshot: false, pass: false, toolbar: false, answer: false });
    this.fullanswer = '';
    this.answer = '';
    this.category = -1;
  }
  startthegame(rest) {
    this.clock.running = false;
    this.pickseen = true;
    Object.assign(this.shown, { marks: false, winner: false, toolbar: false, answer: false, pass: false });
    this.turnline = '';
    this.clearFinishedTurn();
    this.emit('wipe');
    this.gamerunning = true;
    for (let s = 1; s <= 10; s++) { this.seats[s].score = '0'; this.seats[s].watching = false; }
    const f = new Fields(rest);
    const starter = f.nextInt();
    const team = f.next() === 'true';
    const playto = f.next();
    this.turnseconds = intOr(f.rest(), 120);
    this.playto = 'Play to Score: ' + playto;
    this.shown.justwatch = !team;
    this.teamgame = team;
    const who = starter === this.mynumber ? 'You have ' : this.seatName(starter) + ' has ';
    this.line(`0+${who}${team ? 'started a TEAM game.' : 'started a game.'}`, WATCH);
  }
  pickcatagory(rest) {
    this.emit('penLifted');
    this.pickseen = true;
    this.gamerunning = true;
    this.shown.winner = false;
    this.drawer = new Fields(rest).leadingInt();
    if (isSeat(this.drawer)) this.marks.arrow = this.drawer;
    this.clearFinishedTurn();
    if (this.drawing()) this.turnline = 'Your turn to choose a category.';
    else if (isSeat(this.drawer)) this.turnline = `${this.seatName(this.drawer)} is choosing a category.`;
    else this.turnline = '';
    if (this.drawing()) { this.emit('cue', { name: 'turn' }); this.shown.pick = true; }
    this.restartClock('pause', 10);
  }
  nextplayer(rest) {
    Object.assign(this.shown, { marks: false, winner: false, snapshot: false, pick: false });
    this.gamerunning = true;
    this.fullanswer = '';
    this.guesses = [];
    this.myguesses = [];
    this.roundcaption = '';
    if (this.pickseen) this.emit('wipe');
    this.emit('penLifted');
    const f = new Fields(rest);
    this.drawer = f.nextInt();
    const cat = f.nextInt();
    this.emit('cue', { name: 'cat' + cat });
    this.category = cat >= 0 && cat <= 6 ? cat : -1;
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
  givedraweranswer(rest) { this.fullanswer = codepageUpper(rest); }
  guessed(rest) {
    const f = new Fields(rest);
    const g = f.nextInt();
    this.guesses.push(`${this.seatName(g)} guessed: ${codepageUpper(f.rest())}`);
  }
  myguessed(rest) {
    const f = new Fields(rest);
    const g = f.nextInt();
    this.myguesses.push(`${this.seatName(g)} answered: ${codepageUpper(f.rest())}`);
  }
  veryclose(rest) {
    const f = new Fields(rest);
    if (f.nextInt() !== this.mynumber) return;
    this.myguesses.push(`${codepageUpper(f.next())} is very close.`);
    this.emit('veryclose');
  }
  updateanswer(rest) {
    const f = new Fields(rest);
    const flag = f.next();
    const text = codepageUpper(f.rest());
    if (flag === 'true') {
      this.emit('cue', { name: 'noanswer' });
      this.line('0+No one guessed!', SYSTEM);
      this.roundcaption = `${today()}: ${this.seatName(this.drawer)}-${text}`;
      this.drawer = 0;
      Object.assign(this.shown, { answer: false, toolbar: false, snapshot: true });
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
  }
  winnerIs(rest) {
    this.emit('cue', { name: 'gameover' });
    this.line(`0+${rest} has Won the Game!`, SYSTEM);
    this.winner = rest;
    this.turnline = 'The game is over.';
    this.shown.winner = true;
    this.gamerunning = false;
  }
  updatetime(rest) {
    if (this.pickseen || this.clock.mode !== 'drawing') return;
    const s = tryInt(rest);
    if (s === null || s < 0) return;
    this.clock.seconds = s;
    this.clockChanged();
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

  // The game went away under this player: what needs the game goes.
  leave(why) {
    this.gameleft = true;
    this.loggedin = false;
    this.drawer = 0;
    this.clock.running = false;
    this.turnline = '';
    this.fullanswer = '';
    Object.assign(this.shown, { pick: false, toolbar: false, answer: false, pass: false, justwatch: false });
    this.why = why;
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
  startIt(team, playto, seconds) { return this.loggedin && this.leads() ? [build.startgame(this.mynumber, team, playto, seconds)] : []; }
  justWatch() {
    if (!this.loggedin || !isSeat(this.mynumber)) return [];
    return [build.justwatch(this.mynumber, !this.seats[this.mynumber].watching)];
  }
  setWatch(seat, on) { return this.loggedin && this.leads() ? [build.justwatch(seat, on)] : []; }
  kick(n) { return this.loggedin && this.leads() ? [build.kickhim(this.mynumber, n)] : []; }
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

// Dispatch table: command word to handler.
const ROUTES = new Map(Object.entries({
  CMD_sendlogininfo: 'sendlogininfo', CMD_chat: 'chat', CMD_action: 'chat', CMD_newplayerinfo: 'newplayerinfo',
  CMD_existingplayers: 'newplayerinfo', CMD_playerdisconnected: 'playerdisconnected', CMD_startgame: 'startthegame',
  CMD_nextplayer: 'nextplayer', CMD_winner: 'winnerIs', CMD_full: 'full', CMD_draw: 'drawit', CMD_moveit: 'moveit',
  CMD_clearmain: 'clearmain', CMD_correctanswer: 'correctanswer', CMD_updateanswer: 'updateanswer',
  CMD_givedraweranswer: 'givedraweranswer', CMD_guessed: 'guessed', CMD_pickcatagory: 'pickcatagory',
  CMD_myguessed: 'myguessed', CMD_passed: 'passed', CMD_refreshplayerlist: 'refreshplayerlist',
  CMD_havewrongversion: 'havewrongversion', CMD_wrongversion: 'wrongversion', CMD_justwatching: 'justwatching',
  CMD_teamscore: 'teamscore', CMD_gamestats: 'gamestats', CMD_veryclose: 'veryclose', CMD_playasound: 'playasound',
  CMD_updatetime: 'updatetime',
}));
