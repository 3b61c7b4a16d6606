// The page: joins the game over the WebSocket, hands every host message to the player's game in
// arrival order, and shows it. Text from the wire goes in with textContent only.
import { PlayerGame, WAITING, CATEGORIES, CATEGORY_ORDER, GUESS_LINES, startChoices, joinFailure } from './turn.js';
import { cellSize, ShownList } from './view.js';
import { Podium } from './podium.js';
import { Board, BOARD_W, BOARD_H } from './board.js';
import { StrokeSender } from './strokes.js';
import { parseLine, legibleOnWhite, SMILEY_NAMES, CHATTER, MAROON, SYSTEM } from './chattext.js';
import { colourToCss, rgb, MAX_MESSAGE } from './wire.js';

const $ = (id) => document.getElementById(id);
const el = (tag, props = {}, ...children) => {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(props)) {
    if (k === 'text') e.textContent = v;
    else if (k in e) e[k] = v;
    else e.setAttribute(k, v);
  }
  for (const c of children) e.append(c);
  return e;
};

// The palette of the brush colour, row by row (00BBGGRR).
const PALETTE = [
  0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0xBFD7BF, 0x000000, 0x00007F, 0x007F00, 0x7F0000, 0xEFBF9F,
  0xBFBFBF, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0xEFF7FF, 0x7F7F7F, 0x007F7F, 0x7F7F00, 0x7F007F, 0x9F9F9F,
];
const WHITE = 0xFFFFFF;
const NAME_KEY = 'quillet.name';
const CHOICES_KEY = 'quillet.start';
// Spectators the panel lists.
const SPIES_SHOWN = 16;
// A burst of messages (a late joiner's drawing so far) is handled in slices of this many
// milliseconds, so the page keeps answering.
const SLICE_MS = 4;

let game = new PlayerGame();
let ws = null;
let queue = [];
let queueAt = 0;
let draining = false;
let brush = { colour: 0, eraser: false };
let chatColour = MAROON;
const page = { painted: null }; // hooks for tests and benchmarks

// ---------------------------------------------------------------- the board
const board = new Board($('backing'), $('screen'), () => queueAt < queue.length);
const strokes = new StrokeSender({
  game: { drawing: () => game.drawing(), loggedin: () => game.loggedin, get mynumber() { return game.mynumber; } },
  send: (m) => send(m),
  pen: () => ({ colour: brush.eraser ? WHITE : brush.colour, width: $('penw').value }),
  clock: () => performance.now(),
  arm: (ms) => {
    clearTimeout(flushTimer);
    if (ms > 0) flushTimer = setTimeout(() => strokes.tick(), ms);
  },
});
let flushTimer = 0;

function fitBoard() {
  const css = $('screen').getBoundingClientRect().width || BOARD_W;
  const scale = (css * (window.devicePixelRatio || 1)) / BOARD_W;
  if (Math.abs(scale - board.screen.scale) > 0.01) board.setScreen(scale);
}
new ResizeObserver(() => fitBoard()).observe($('boardwrap'));

function boardPoint(e) {
  const r = $('screen').getBoundingClientRect();
  return board.boardPoint(e.clientX - r.left, e.clientY - r.top, r.width);
}

const canvas = $('screen');
canvas.addEventListener('pointerdown', (e) => {
  const [x, y] = boardPoint(e);
  const width = strokes.press(x, y);
  if (width === null) return;
  canvas.setPointerCapture(e.pointerId);
  board.penDown([x, y], colourToCss(strokes.pen().colour), width);
  e.preventDefault();
});
canvas.addEventListener('pointermove', (e) => {
  if (!strokes.pendown) return;
  const events = e.getCoalescedEvents ? e.getCoalescedEvents() : [];
  for (const ev of events.length ? events : [e]) {
    const [x, y] = boardPoint(ev);
    if (strokes.move((e.buttons & 1) === 1, x, y)) board.penTo([x, y]);
  }
});
const lift = (e) => {
  if (!strokes.pendown) return;
  strokes.release();
  // A finger or pen leaves the board: the stroke ends as a mouse's would at its next move.
  if (strokes.pendown && e.pointerType !== 'mouse') {
    const [x, y] = boardPoint(e);
    strokes.move(false, x, y);
  }
};
canvas.addEventListener('pointerup', lift);
canvas.addEventListener('pointercancel', lift);

const playedTurns = () => game.record.firstturn + game.record.turns.length;
const podium = new Podium($('podium'), {
  playAgain: () => { sendAll(game.startAgain()); render(); },
  close: () => { game.closePodium(); render(); },
});

// ---------------------------------------------------------------- the connection
function send(message) {
  if (ws && message.length <= MAX_MESSAGE) ws.postMessage({ send: message });
}
function sendAll(messages) { for (const m of messages) send(m); }

// The WebSocket lives in a worker (socket.js); `ws` is that worker while it is this page's.
function connect() {
  const url = `${location.protocol === 'https:' ? 'wss' : 'ws'}://${location.host}/play`;
  ws = new Worker('socket.js', { type: 'module' });
  const mine = ws;
  let opened = false;
  $('joinstatus').textContent = 'Connecting…';
  ws.onmessage = (e) => {
    if (mine !== ws) return;
    const m = e.data;
    if (m.opened) opened = true;
    if (m.messages) {
      for (const message of m.messages) queue.push(message);
      if (!draining) drain();
    }
    if (m.closed === undefined) return;
    ws = null;
    if (game.gameleft) return;
    if (!game.loggedin) leave(joinFailure(opened, location.host));
    else leave(m.closed === 1000 || m.closed === 1001 ? 'The host has ended the game.' : 'The connection to the host was lost.');
  };
  ws.postMessage({ url });
}

// The next task, without the pause a timer of nothing takes once timers nest.
const channel = new MessageChannel();
const waiting = [];
channel.port1.onmessage = () => waiting.shift()();
function later(f) { waiting.push(f); channel.port2.postMessage(0); }

// Handles waiting messages in order, a slice at a time; the rest wait for the next task. Strokes
// change only the board: the rest of the page is shown again only for other messages.
let changed = false;
function drain() {
  draining = true;
  const start = performance.now();
  while (queueAt < queue.length) {
    const message = queue[queueAt++];
    if (!message.startsWith('CMD_draw+') && !message.startsWith('CMD_moveit+')) changed = true;
    // Whatever a message does wrong stays with that message: the queue goes on.
    try { handle(message); } catch (e) { console.error(e); }
    if (performance.now() - start > SLICE_MS && queueAt < queue.length) break;
  }
  if (changed) scheduleRender();
  changed = false;
  if (queueAt < queue.length) { later(drain); return; }
  queue = [];
  queueAt = 0;
  draining = false;
}

function handle(message) {
  const turns = playedTurns();
  const fx = game.handle(message);
  for (const f of fx) effect(f);
  // A turn went into the record: the board holds its last drawing.
  if (playedTurns() > turns) podium.picture(playedTurns(), board.picture());
  if (page.painted && (message.startsWith('CMD_draw+') || message.startsWith('CMD_moveit+'))) page.painted(message);
}

function effect(f) {
  switch (f.type) {
    case 'send': send(f.message); break;
    case 'chat': addLine(f.line, f.colour); break;
    case 'cue': if (game.playsounds) play(f.name.toUpperCase()); break;
    case 'sound': play(f.name); break;
    case 'strokeStart': board.penDown([f.x, f.y], colourToCss(f.colour), f.width); break;
    case 'stroke': board.penThrough(colourToCss(f.colour), f.width, f.points); break;
    case 'wipe': board.wipe(); strokes.forget(); break;
    case 'penLifted': strokes.drop(); break;
    case 'brushReset': brush = { colour: 0, eraser: false }; $('penw').value = '3'; break;
    case 'full': leave('The game is full.'); break;
    case 'removed': leave('You were removed from the game.'); break;
    case 'connected': $('joinstatus').textContent = ''; break;
    case 'gameStarted': podium.clearPictures(); break;
    case 'say': addLine(`0+${f.line}`, SYSTEM); break;
    case 'categoriesReleased': for (const b of $('catbuttons').children) b.setAttribute('aria-pressed', 'false'); break;
  }
}

function leave(why) {
  // A player who was in the game keeps its scores and drawing in view, with the reason over them.
  const played = game.loggedin;
  for (const f of game.leave(why)) effect(f);
  strokes.drop();
  if (ws) { const w = ws; ws = null; w.postMessage({ close: true }); }
  $('endreason').textContent = why;
  $('ended').hidden = false;
  $('ended').classList.toggle('over', played);
  $('game').hidden = !played;
  $('join').hidden = true;
  closeMenus();
  render();
}

function join(name) {
  name = name.trim();
  if (!name) return;
  try { localStorage.setItem(NAME_KEY, name); } catch { /* private mode: not remembered */ }
  const sounds = game.playsounds, chatter = game.playchattersounds;
  game = new PlayerGame(name);
  game.playsounds = sounds;
  game.playchattersounds = chatter;
  queue = []; queueAt = 0;
  board.wipe();
  strokes.drop();
  $('chat').replaceChildren();
  chatWaiting = [];
  $('join').hidden = true;
  $('ended').hidden = true;
  $('game').hidden = false;
  fitBoard();
  connect();
  render();
}

// ---------------------------------------------------------------- sounds
let playing = null;
const clips = new Map();
// The sounds the program has: only these are fetched, each once.
const SOUNDS = /^(CAT[0-6]|CORRECT|ENTERED|GAMEOVER|NOANSWER|PASS|TURN|WAVE([1-9]|1[0-9]|20))$/;
let playedAt = -1e9;
function play(name) {
  if (!SOUNDS.test(name)) return;
  // A flood of cues starts one clip a tenth of a second at most.
  if (performance.now() - playedAt < 100) return;
  playedAt = performance.now();
  let clip = clips.get(name);
  if (!clip) { clip = new Audio(`/sounds/${name}.wav`); clips.set(name, clip); }
  // One clip at a time: a new one cuts off the one still playing.
  if (playing && playing !== clip) { playing.pause(); playing.currentTime = 0; }
  playing = clip;
  clip.currentTime = 0;
  clip.play().catch(() => {});
}

// ---------------------------------------------------------------- chat
// Lines of one code share one style: the latest line's colour recolours the earlier ones.
// Sixteen styles at most, whatever codes the lines bring.
const styleOf = (code) => (code === 0 ? 0 : code >= 1 && code <= 9 ? code + 5 : code === 10 ? 1 : 2);
function linkTarget(text) {
  const t = text.trim();
  try {
    const u = new URL(/^[a-z]+:\/\//i.test(t) ? t : 'http://' + t);
    return u.protocol === 'http:' || u.protocol === 'https:' ? u.href : null;
  } catch { return null; }
}
// Lines the chat pane keeps, and lines it takes in one frame.
const CHAT_LINES = 1000;
const CHAT_FRAME = 25;
// Chat lines wait for the next frame and go in together: a flood of lines costs one layout.
let chatWaiting = [];
function addLine(line, colour) {
  chatWaiting.push({ line, colour });
  if (chatWaiting.length === 1) requestAnimationFrame(showChat);
  // Only the last lines can show.
  if (chatWaiting.length > 2 * CHAT_LINES) chatWaiting = chatWaiting.slice(-CHAT_LINES);
}
function showChat() {
  const chat = $('chat');
  if (chatWaiting.length > CHAT_LINES) chatWaiting = chatWaiting.slice(-CHAT_LINES);
  const lines = chatWaiting.slice(0, CHAT_FRAME);
  chatWaiting = chatWaiting.slice(CHAT_FRAME);
  if (chatWaiting.length) requestAnimationFrame(showChat);
  const add = document.createDocumentFragment();
  const styles = new Map();
  for (const { line, colour } of lines) {
    const parsed = parseLine(line);
    if (!parsed) continue;
    const style = styleOf(parsed.code);
    styles.set(style, colourToCss(legibleOnWhite(colour)));
    const p = el('p', { className: `s${style}` });
    p.append(el('span', { text: parsed.head }));
    for (const item of parsed.items) {
      if (item.kind === 'smiley') p.append(el('img', { src: `/pictures/smiley${item.image}.png`, alt: item.text, title: item.text }));
      else if (item.kind === 'link') {
        const href = linkTarget(item.target);
        p.append(href ? el('a', { href, target: '_blank', rel: 'noopener noreferrer', text: item.text }) : el('span', { text: item.text }));
      } else p.append(item.text);
    }
    add.append(p);
  }
  for (const [style, css] of styles) if (chat.style.getPropertyValue(`--s${style}`) !== css) chat.style.setProperty(`--s${style}`, css);
  const atEnd = chat.scrollHeight - chat.scrollTop - chat.clientHeight < 30;
  chat.append(add);
  // Past the newest lines the oldest go, a tenth of them at a time.
  if (chat.childElementCount > CHAT_LINES + CHAT_LINES / 10) {
    const range = document.createRange();
    range.setStartBefore(chat.firstElementChild);
    range.setEndAfter(chat.children[chat.childElementCount - CHAT_LINES - 1]);
    range.deleteContents();
  }
  if (atEnd) chat.scrollTop = chat.scrollHeight;
}

$('chatform').addEventListener('submit', (e) => {
  e.preventDefault();
  const entry = $('chatentry');
  const out = game.chatIt(entry.value, chatColour);
  if (out === null) return; // not in the game yet: the text stays
  sendAll(out);
  entry.value = '';
});
$('chatentry').addEventListener('keydown', (e) => {
  if (e.key === 'Enter') { e.preventDefault(); $('chatform').requestSubmit(); }
});

// ---------------------------------------------------------------- controls
function buildStatic() {
  const seats = $('seats');
  for (let n = 1; n <= 10; n++) {
    const li = el('li', { id: `seat${n}` },
      el('img', { className: 'arrow', src: '/pictures/arrow.png', alt: '' }),
      el('img', { className: 'eyes', src: '/pictures/eyes.png', alt: 'watching' }),
      el('span', { className: 'name', text: WAITING }),
      el('span', { className: 'lead', text: '★', title: 'Leads: starts the games', hidden: true }),
      el('span', { className: 'score', text: '0' }),
      el('span', { className: 'mark' }));
    li.querySelector('.name').addEventListener('click', (e) => openSeatMenu(n, e));
    li.querySelector('.name').addEventListener('contextmenu', (e) => { e.preventDefault(); openSeatMenu(n, e); });
    seats.append(li);
  }
  for (const cat of CATEGORY_ORDER) {
    const b = el('button', { type: 'button', title: CATEGORIES[cat], 'aria-pressed': 'false' },
      el('img', { src: `/pictures/catbutton${cat}.png`, alt: CATEGORIES[cat] }));
    b.dataset.cat = cat;
    b.addEventListener('click', () => {
      for (const other of $('catbuttons').children) other.setAttribute('aria-pressed', 'false');
      const out = game.pickIt(cat);
      b.setAttribute('aria-pressed', out.length ? 'true' : 'false');
      sendAll(out);
      render();
    });
    $('catbuttons').append(b);
  }
  PALETTE.forEach((c) => {
    const b = el('button', { type: 'button', title: colourToCss(c) });
    b.style.background = colourToCss(c);
    b.addEventListener('click', () => { brush = { colour: c, eraser: false }; $('palette').hidden = true; render(); });
    $('palette').append(b);
  });
  for (let n = 1; n <= 9; n++) {
    const b = el('button', { type: 'button', className: 'phrase' }, el('img', { src: `/pictures/phrase${n}.png`, alt: `P${n}` }));
    b.addEventListener('click', () => { sendAll(game.phraseIt(n, chatColour, performance.now())); });
    $('phrases').append(b);
  }
  const chatter = el('button', { type: 'button', id: 'chatterbutton', title: 'Chatter Sounds' },
    el('img', { src: '/pictures/chatter.png', alt: 'Chatter Sounds' }));
  chatter.addEventListener('click', (e) => { e.stopPropagation(); toggleMenu('chattermenu'); });
  $('phrases').append(chatter);
  CHATTER.forEach((caption, tag) => {
    const b = el('button', { type: 'button', text: caption });
    b.addEventListener('click', () => { sendAll(game.soundIt(tag)); closeMenus(); });
    $('chattermenu').append(b);
  });
  SMILEY_NAMES.forEach((name, i) => {
    const b = el('button', { type: 'button', title: name }, el('img', { src: `/pictures/smiley${i}.png`, alt: name }));
    b.addEventListener('click', () => {
      const entry = $('chatentry');
      entry.value += ':)#' + (i + 10);
      closeMenus();
      entry.focus();
      entry.setSelectionRange(entry.value.length, entry.value.length);
    });
    $('smileymenu').append(b);
  });
}

function toggleMenu(id) {
  const open = $(id).hidden;
  closeMenus();
  $(id).hidden = !open;
}
function closeMenus() { for (const id of ['chattermenu', 'smileymenu', 'seatmenu']) $(id).hidden = true; $('palette').hidden = true; }
document.addEventListener('click', (e) => { if (!e.target.closest('.menu, #smilies, #chatterbutton, #colourbutton, #palette, .name')) closeMenus(); });
document.addEventListener('keydown', (e) => { if (e.key === 'Escape') closeMenus(); });
$('smilies').addEventListener('click', (e) => { e.stopPropagation(); toggleMenu('smileymenu'); });

let menuSeat = 0;
function openSeatMenu(n, e) {
  const c = game.controls();
  if (!c.removal || n === game.mynumber) return;
  menuSeat = n;
  const menu = $('seatmenu');
  $('removeseat').disabled = game.seats[n].name === WAITING;
  closeMenus();
  menu.hidden = false;
  menu.style.left = `${Math.min(e.pageX, document.documentElement.clientWidth - 180)}px`;
  menu.style.top = `${e.pageY}px`;
  e.stopPropagation();
}
$('removeseat').addEventListener('click', () => { sendAll(game.kick(menuSeat)); closeMenus(); });
$('setwatch').addEventListener('click', () => { sendAll(game.setWatch(menuSeat, true)); closeMenus(); });
$('unsetwatch').addEventListener('click', () => { sendAll(game.setWatch(menuSeat, false)); closeMenus(); });

$('answerform').addEventListener('submit', (e) => {
  e.preventDefault();
  sendAll(game.answerIt($('answerentry').value));
  $('answerentry').value = '';
});
$('passbutton').addEventListener('click', () => { sendAll(game.passIt()); render(); });
$('trash').addEventListener('click', () => {
  const out = game.wipeIt();
  if (!out.length) return;
  board.wipe();
  strokes.forget();
  sendAll(out);
});
$('undo').addEventListener('click', () => {
  if (!strokes.undo()) return;
  // The board shows what the others now show: the strokes that remain.
  board.wipe();
  for (const s of strokes.history.taken) {
    board.penDown(s.start, colourToCss(s.colour), Number(s.width) || 0);
    for (const r of s.runs) board.penThrough(colourToCss(r.colour), Number(r.width) || 0, r.points);
  }
});
$('eraser').addEventListener('click', () => { brush.eraser = !brush.eraser; render(); });
$('colourbutton').addEventListener('click', (e) => { e.stopPropagation(); const open = $('palette').hidden; closeMenus(); $('palette').hidden = !open; });
const stepWidth = (d) => {
  const w = Math.min(100, Math.max(0, (parseInt($('penw').value, 10) || 0) + d));
  $('penw').value = String(w);
};
$('widthdown').addEventListener('click', () => stepWidth(-1));
$('widthup').addEventListener('click', () => stepWidth(1));
$('penw').addEventListener('input', () => { $('penw').value = $('penw').value.replace(/[^0-9]/g, '').slice(0, 3); });
document.addEventListener('keydown', (e) => {
  if (!e.ctrlKey || !game.drawing() || e.target.closest('input')) return;
  if (e.key === 'z') { e.preventDefault(); $('undo').click(); }
  if (e.key === 'e') { e.preventDefault(); $('eraser').click(); }
});

$('justwatch').addEventListener('click', () => sendAll(game.justWatch()));
$('sounds').addEventListener('click', () => { game.playsounds = !game.playsounds; if (!game.playsounds && playing) playing.pause(); render(); });
$('chattersounds').addEventListener('click', () => { game.playchattersounds = !game.playchattersounds; render(); });
// The start form opens with the choices this browser made last.
function keptChoices() {
  let kept = null;
  try { kept = JSON.parse(localStorage.getItem(CHOICES_KEY)); } catch { /* nothing usable kept */ }
  return startChoices(kept && typeof kept === 'object' ? kept : {});
}
$('startbutton').addEventListener('click', () => {
  if (!game.loggedin) return;
  const o = keptChoices();
  $('team').checked = o.team;
  $('hints').checked = o.hints;
  $('playtoscore').value = String(o.playto);
  $('timeperturninput').value = String(o.seconds);
  $('startdialog').showModal();
});
$('startdialog').addEventListener('close', () => {
  if ($('startdialog').returnValue !== 'start') return;
  const o = startChoices({ team: $('team').checked, hints: $('hints').checked,
    playto: $('playtoscore').value, seconds: $('timeperturninput').value });
  try { localStorage.setItem(CHOICES_KEY, JSON.stringify(o)); } catch { /* private mode: not remembered */ }
  sendAll(game.startIt(o.team, o.playto, o.seconds, o.hints));
});
// Opened at its start, though its one button, at the end, takes the focus.
$('helpbutton').addEventListener('click', () => { $('helpdialog').showModal(); $('helpdialog').scrollTop = 0; });

$('snapshot').addEventListener('click', () => {
  const shot = document.createElement('canvas');
  shot.width = BOARD_W;
  shot.height = BOARD_H;
  const c = shot.getContext('2d');
  c.drawImage(board.picture(), 0, 0);
  if (game.roundcaption) {
    c.font = 'bold 12px Arial, sans-serif';
    c.fillStyle = '#800000';
    c.fillText(game.roundcaption, 4, BOARD_H - 6);
  }
  shot.toBlob((blob) => {
    const a = el('a', { href: URL.createObjectURL(blob), download: `quillet-snapshot-${Date.now()}.png` });
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 10000);
  }, 'image/png');
});

// ---------------------------------------------------------------- showing the game
let renderQueued = false;
function scheduleRender() {
  if (renderQueued) return;
  renderQueued = true;
  requestAnimationFrame(() => { renderQueued = false; render(); });
}

// Only what changed is touched: a change anywhere may lay out the whole page again.
const put = (e, text) => { if (e.textContent !== text) e.textContent = text; };
const setText = (id, text) => put($(id), text);
const setStyle = (e, name, value) => { if (e.style[name] !== value) e.style[name] = value; };
// The guess lists change by the line: new lines are added, the oldest go past the bound.
const shownLists = new Map();
function renderList(id, lines, total) {
  if (!shownLists.has(id)) shownLists.set(id, new ShownList(GUESS_LINES));
  const { clear, add } = shownLists.get(id).update(lines, total);
  if (!clear && !add.length) return;
  const list = $(id);
  const atEnd = list.scrollHeight - list.scrollTop - list.clientHeight < 20;
  if (clear) list.replaceChildren();
  list.append(...add.map((t) => el('li', { text: t })));
  for (let n = list.childElementCount - GUESS_LINES; n > 0; n--) list.firstElementChild.remove();
  if (clear || atEnd) list.scrollTop = list.scrollHeight;
}

// The mask: every character in a cell of its own, a word's cells kept on one line, the cells
// as large as lets the longest word fit the width.
let maskShown = { text: '', words: [], width: 0 };
function showMask(text, words) {
  const answer = $('answer');
  const width = answer.clientWidth;
  if (maskShown.text === text && maskShown.width === width) return;
  if (maskShown.text !== text) {
    answer.replaceChildren(...words.map((w) => el('span', { className: 'word' },
      ...w.map((c) => (c.hidden ? el('span', { className: 'cell hidden' }) : el('span', { className: 'cell', text: c.ch }))))));
    answer.setAttribute('aria-label', text.replace(/_/g, ' blank ').trim());
  }
  if (width) answer.style.setProperty('--cell', `${cellSize(words, width, window.innerWidth <= 700 ? 18 : 22)}px`);
  maskShown = { text, words, width };
}
new ResizeObserver(() => { const { text, words } = maskShown; maskShown.width = -1; showMask(text, words); }).observe($('answers'));

function render() {
  const g = game;
  const v = g.view();
  const c = v.controls;
  setText('fullanswer', c.fullanswer ? v.turn.fullanswer : '');
  showMask(v.turn.answer, v.turn.mask);
  $('startbutton').hidden = !c.start;
  $('passbutton').hidden = !c.pass;
  const banner = $('catbanner');
  const category = v.turn.category;
  banner.hidden = category < 0;
  if (category >= 0 && banner.dataset.cat !== String(category)) {
    banner.dataset.cat = String(category);
    banner.src = `/pictures/cat${category}.png`;
    banner.alt = CATEGORIES[category];
  }
  setText('playto', v.captions.playto);
  setText('timeperturn', v.captions.time);
  setText('clock', 'Time:' + v.clock.text);
  setStyle($('timerbar'), 'width', `${Math.min(100, v.clock.bar)}%`);

  $('pickpanel').hidden = !c.pick;
  if (c.pick) setText('picktime', v.clock.pick);
  const trophy = c.winner && !c.podium;
  $('winnerpanel').hidden = !trophy;
  animateWinner(trophy);
  setText('winnername', g.winnername || 'The Winner!');
  $('toolbar').hidden = !c.toolbar;
  $('answerpanel').hidden = !c.answer;
  $('answerform').hidden = !c.answerentry;
  renderList('guessed', g.guesses, g.guessesTotal);
  renderList('myguessed', g.myguesses, g.myguessesTotal);
  setStyle($('colourswatch'), 'backgroundColor', colourToCss(brush.colour));
  $('eraser').setAttribute('aria-pressed', String(brush.eraser));

  for (const s of v.seats) {
    const n = s.seat;
    const li = $(`seat${n}`);
    li.querySelector('.lead').hidden = !s.leader;
    if (li.title !== (s.mine ? 'You' : '')) li.title = s.mine ? 'You' : '';
    put(li.querySelector('.name'), s.name);
    li.querySelector('.name').classList.toggle('menu-able', c.removal && !s.mine && !s.empty);
    put(li.querySelector('.score'), s.score);
    setStyle(li.querySelector('.eyes'), 'visibility', s.watching ? 'visible' : 'hidden');
    setStyle(li.querySelector('.arrow'), 'visibility', v.marks.arrow === n ? 'visible' : 'hidden');
    put(li.querySelector('.mark'), c.marks && v.marks.guesser === n ? '+2' : c.marks && v.marks.drawer === n ? '+1' : '');
    li.classList.toggle('team-black', g.teamgame && n % 2 === 1);
    li.classList.toggle('me', s.mine);
  }
  setText('turnline', v.turn.line || v.waiting || (v.me.leads && !g.gamerunning && !c.podium ? 'You lead: Start a game when everybody is here.' : ''));
  if (v.podium) podium.show(v.podium, v.me.leads && !v.gameleft);
  $('podium').hidden = !v.podium;
  // Spectators: as many as the panel has room for.
  const spies = v.spies.slice(0, SPIES_SHOWN);
  $('spies').hidden = spies.length === 0;
  const spyKey = spies.map((s) => `${s.number}:${s.name}`).join('\n') + c.removal;
  if ($('spylist').dataset.key !== spyKey) {
    $('spylist').dataset.key = spyKey;
    $('spylist').replaceChildren(...spies.map((s) => {
      const li = el('li', { text: `${s.number}: ${s.name}` });
      if (c.removal) {
        const b = el('button', { type: 'button', text: 'Remove' });
        b.addEventListener('click', () => sendAll(g.kick(s.number)));
        li.append(b);
      }
      return li;
    }));
  }
  $('snapshot').hidden = !c.snapshot;
  $('justwatch').disabled = !c.justwatch;
  $('justwatch').setAttribute('aria-pressed', String(v.me.watching));
  $('sounds').setAttribute('aria-pressed', String(g.playsounds));
  setText('sounds', g.playsounds ? 'Sounds on' : 'Sounds off');
  $('chattersounds').setAttribute('aria-pressed', String(g.playchattersounds));
  setText('chattersounds', g.playchattersounds ? 'Chatter on' : 'Chatter off');
  for (const id of ['chatentry', 'smilies']) $(id).disabled = !c.chat;
  syncClock();
}

// The winner's picture cycles through its five frames, half a second each, while it shows.
let winnerTimer = 0;
function animateWinner(on) {
  if (on === Boolean(winnerTimer)) return;
  clearInterval(winnerTimer);
  winnerTimer = 0;
  let frame = 1;
  $('winnerimage').src = '/pictures/winner1.png';
  if (on) winnerTimer = setInterval(() => { frame = (frame % 5) + 1; $('winnerimage').src = `/pictures/winner${frame}.png`; }, 500);
}

// The turn clock ticks each second while it runs; a restart begins a new rhythm.
let clockTimer = 0;
let clockRestarts = -1;
function syncClock() {
  const clock = game.clock;
  if (!clock.running) { clearInterval(clockTimer); clockTimer = 0; return; }
  if (clockTimer && clockRestarts === clock.restarts) return;
  clockRestarts = clock.restarts;
  clearInterval(clockTimer);
  clockTimer = setInterval(() => { game.tick(); render(); }, 1000);
}

// ---------------------------------------------------------------- start
buildStatic();
const params = new URLSearchParams(location.search);
let remembered = '';
try { remembered = localStorage.getItem(NAME_KEY) || ''; } catch { /* nothing remembered */ }
$('name').value = params.get('name') || remembered;
$('joinform').addEventListener('submit', (e) => { e.preventDefault(); join($('name').value); });
$('joinagain').addEventListener('click', () => join(game.name || $('name').value));
render();
document.documentElement.dataset.ready = 'true';

// What tests and benchmarks read: the game, the board's pictures and a hook on painted strokes.
window.quillet = {
  get game() { return game; },
  board,
  page,
  backingPixels: () => board.picture().getContext('2d').getImageData(0, 0, BOARD_W, BOARD_H).data,
  queued: () => queue.length - queueAt,
  rgb,
};
