// Chat lines as text: a line is "code+text" with a colour; the head runs to the first ":", the
// body is words, links and smilies. Nothing here is ever read as markup: the page puts every
// piece in with textContent.
import { colourFromText, tryInt } from './wire.js';

export const WHITE = 0xFFFFFF;
export const SYSTEM = 0x8AAAAC;
export const BLUE = 0xFF0000;
export const WATCH = 0x78989C;
export const MAROON = 0x000080;

const SMILEY = ':)#';
export const SMILEY_NAMES = [
  'smile', 'big grin', 'wink', 'sad', 'tongue out', 'surprised', 'cool', 'angry', 'laughing',
  'crying', 'in love', 'blushing', 'confused', 'sleepy', 'kiss', 'devil', 'angel', 'thumbs up',
];

// A received chat or action payload: the line and, after the last "|", its colour (white when
// it does not read).
export function readChat(text) {
  const bar = text.lastIndexOf('|');
  if (bar < 0) return { line: text, colour: WHITE };
  const colour = colourFromText(text.slice(bar + 1));
  return { line: text.slice(0, bar), colour: colour === null ? WHITE : colour };
}

export function isLink(word) {
  const lower = word.toLowerCase();
  return lower.includes('http://') || lower.includes('www.') || lower.startsWith('quillet://');
}

// The words of a text, each with its trailing blank; links apart.
function words(text, out) {
  const all = text + ' ';
  let from = 0;
  while (from < all.length) {
    const blank = all.indexOf(' ', from);
    const word = all.slice(from, blank + 1);
    from = blank + 1;
    out.push(isLink(word) ? { kind: 'link', text: word, target: word.trimEnd() } : { kind: 'text', text: word });
  }
}

// A coded line in pieces: {code, head, items}. The head runs to the first ":" unless that ":"
// begins a smiley or a web address. Null when the code does not read.
export function parseLine(line) {
  const plus = line.indexOf('+');
  const code = tryInt(plus < 0 ? '' : line.slice(0, plus));
  if (code === null) return null;
  let rest = line.slice(plus + 1);
  let head = '';
  const colon = rest.indexOf(':');
  const after = rest.substr(colon, 3);
  if (colon >= 0 && after !== SMILEY && after !== '://') {
    head = rest.slice(0, colon + 1);
    rest = rest.slice(colon + 1);
  }
  const items = [];
  let mark;
  while ((mark = rest.indexOf(SMILEY)) >= 0) {
    const part = rest.slice(0, mark);
    const code2 = rest.substr(mark + 3, 2);
    rest = rest.slice(mark + 5);
    words(part, items);
    let image = 0;
    if (/^[0-9]{2}$/.test(code2)) {
      const n = Number(code2);
      if (n >= 10 && n <= 27) image = n - 10;
    }
    items.push({ kind: 'smiley', image, text: SMILEY_NAMES[image] });
  }
  if (rest !== '') words(rest, items);
  return { code, head: head + ' ', items };
}

// What a chat entry line sends: {word: 'chat'|'action', text}, or null for nothing (an empty line,
// or a "/" command other than "/me").
export function chatRequest(text) {
  if (text === '') return null;
  if (!text.startsWith('/')) return { word: 'chat', text };
  if (text.startsWith('/me')) return { word: 'action', text: text.slice(4) };
  return null;
}

// A phrase button's action text.
export function phraseAction(phrase) {
  return phrase.startsWith('/me') ? phrase.slice(4) : 'says: ' + phrase;
}

export const PHRASES = [
  'Way To Go!', 'Good One!', 'Nice Try!', 'Excellent!', 'Brilliant!', 'Wow, WTG!', 'Thanks!',
  'Nice Roll!', 'Good Game Everyone!',
];

export const CHATTER = [
  '<Cancel>', 'Doh', 'Cough', 'Hello', 'Thank You', 'Where have you been?', 'Snoring', 'Sneezing',
  'Sorry', 'Welcome', 'Yeehaa', 'Yippee', 'Oh No', 'Applause', 'Honk', 'Oooh', 'Razzberry', 'Cheer',
  'Woman Laughing', 'Man Laughing', 'Crying',
];

// The chatter sound a name ("wave7") means: 1..20, or 0 for none.
export function chatterTag(name) {
  const m = /^wave([0-9]+)$/i.exec(name);
  const n = m ? Number(m[1]) : 0;
  return n >= 1 && n <= 20 && String(n) === m[1] ? n : 0;
}

// ---- legible colours: system lines stay readable on the white pane whatever colour they come in.
function luminance(v) {
  const ch = (c) => { c /= 255; return c <= 0.03928 ? c / 12.92 : Math.pow((c + 0.055) / 1.055, 2.4); };
  return 0.2126 * ch(v & 0xFF) + 0.7152 * ch((v >> 8) & 0xFF) + 0.0722 * ch((v >> 16) & 0xFF);
}
function ratio(a, b) {
  const la = luminance(a), lb = luminance(b);
  return (Math.max(la, lb) + 0.05) / (Math.min(la, lb) + 0.05);
}
function darken(v, t) {
  const m = (c) => Math.round(c * (1 - t));
  return m(v & 0xFF) | (m((v >> 8) & 0xFF) << 8) | (m((v >> 16) & 0xFF) << 16);
}
// The colour moved towards black just far enough to read on white (contrast 4.5).
export function legibleOnWhite(colour, minimum = 4.5) {
  if (ratio(colour, WHITE) >= minimum) return colour;
  let low = 0, high = 1;
  for (let i = 0; i < 20; i++) {
    const mid = (low + high) / 2;
    if (ratio(darken(colour, mid), WHITE) >= minimum) high = mid; else low = mid;
  }
  return darken(colour, high);
}
