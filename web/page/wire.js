// The wire as the page speaks it: one message per WebSocket text frame, fields joined by "+",
// the command word first. Numbers and colours read by the same rules as the desktop's.

export const VERSION = '2.2.8';
// The longest message the host takes; longer ones would close the connection.
export const MAX_MESSAGE = 4096;

// A number as the wire writes it: optional sign, decimal digits, or "$", "0x", "0X" and
// hexadecimal digits, within 32 bits. Anything else is null.
export function tryInt(text) {
  const s = String(text);
  // Most numbers on the wire are short decimals.
  if (/^-?[0-9]{1,9}$/.test(s)) return Number(s);
  let i = 0;
  let negative = false;
  if (s[i] === '-' || s[i] === '+') negative = s[i++] === '-';
  let hex = false;
  if (s[i] === '$') { hex = true; i++; }
  else if (s[i] === '0' && (s[i + 1] === 'x' || s[i + 1] === 'X')) { hex = true; i += 2; }
  if (i >= s.length) return null;
  const digits = s.slice(i);
  if (!(hex ? /^[0-9a-fA-F]+$/ : /^[0-9]+$/).test(digits)) return null;
  let value = 0n;
  for (const c of digits) {
    value = value * (hex ? 16n : 10n) + BigInt(parseInt(c, 16));
    if (value > 0xFFFFFFFFn) return null;
  }
  if (hex) {
    const bits = BigInt.asIntN(32, value);
    const result = negative ? -bits : bits;
    return result < -0x80000000n || result > 0x7FFFFFFFn ? null : Number(result);
  }
  if (negative) return value > 0x80000000n ? null : -Number(value);
  return value > 0x7FFFFFFFn ? null : Number(value);
}

export class ConvertError extends Error {
  constructor(text) { super(`'${text}' is not a valid integer value`); }
}

export function toInt(text) {
  const n = tryInt(text);
  if (n === null) throw new ConvertError(text);
  return n;
}

export function intOr(text, fallback) {
  const n = tryInt(text);
  return n === null ? fallback : n;
}

// The command word and the payload; a message without "+" has an empty word.
export function splitCommand(message) {
  const plus = message.indexOf('+');
  return plus < 0 ? { word: '', rest: '' } : { word: message.slice(0, plus), rest: message.slice(plus + 1) };
}

// Reads a payload's fields from the left; the last field of a command is the rest.
export class Fields {
  constructor(text) { this.text = text; }
  // The text up to the next "+" (removed with it); without one, the field is empty.
  next() {
    const plus = this.text.indexOf('+');
    if (plus < 0) return '';
    const field = this.text.slice(0, plus);
    this.text = this.text.slice(plus + 1);
    return field;
  }
  nextInt() { return toInt(this.next()); }
  rest() { return this.text; }
  restInt() { return toInt(this.text); }
  // The first field of a payload that may end without "+".
  leadingInt() { return this.text.includes('+') ? this.nextInt() : this.restInt(); }
  // Every field left, split at each "+".
  all() { return this.text.split('+'); }
}

// Typed text as it may go on the wire: no end marker byte, no control characters.
export function wireSafe(text) {
  return String(text).replace(/\u00ff/g, '?').replace(/[\u0000-\u001f]/g, ' ');
}

// ---- colour text: sixteen names, or "$" and eight hex digits, value 00BBGGRR.
const NAMES = [
  [0x000000, 'clBlack'], [0x000080, 'clMaroon'], [0x008000, 'clGreen'], [0x008080, 'clOlive'],
  [0x800000, 'clNavy'], [0x800080, 'clPurple'], [0x808000, 'clTeal'], [0x808080, 'clGray'],
  [0xC0C0C0, 'clSilver'], [0x0000FF, 'clRed'], [0x00FF00, 'clLime'], [0x00FFFF, 'clYellow'],
  [0xFF0000, 'clBlue'], [0xFF00FF, 'clFuchsia'], [0xFFFF00, 'clAqua'], [0xFFFFFF, 'clWhite'],
];

export function colourToText(value) {
  for (const [v, name] of NAMES) if (v === value) return name;
  return '$' + (value >>> 0).toString(16).toUpperCase().padStart(8, '0');
}

// The colour a text names, or null when it reads as none.
export function colourFromText(text) {
  const lower = String(text).toLowerCase();
  for (const [v, name] of NAMES) if (name.toLowerCase() === lower) return v;
  return tryInt(text);
}

// 00BBGGRR as CSS "#RRGGBB".
export function colourToCss(value) {
  const r = value & 0xFF, g = (value >> 8) & 0xFF, b = (value >> 16) & 0xFF;
  return '#' + [r, g, b].map((c) => c.toString(16).padStart(2, '0')).join('');
}

export function rgb(r, g, b) { return r | (g << 8) | (b << 16); }

// ---- what the player sends.
export const build = {
  logininfo: (slot, name) => `CMD_logininfo+${slot}+${VERSION}+${wireSafe(name)}`,
  chat: (slot, text, colour) => `CMD_chat+${slot}+${wireSafe(text)}|${colour}`,
  action: (slot, text, colour) => `CMD_action+${slot}+${wireSafe(text)}|${colour}`,
  startgame: (slot, team, playto, seconds) => `CMD_startgame+${slot}+${team ? 'true' : 'false'}+${playto}+${seconds}`,
  moveit: (slot, colour, width, x, y) => `CMD_moveit+${slot}+${colour}+${width}+${x}+${y}`,
  draw: (slot, colour, width, points) =>
    `CMD_draw+${slot}+${colour}+${width}+${points.map((p) => `+${p[0]},${p[1]}`).join('')}+`,
  clearmain: (slot) => `CMD_clearmain+${slot}`,
  answer: (slot, guess) => `CMD_answer+${slot}+${wireSafe(guess)}`,
  pickcatagory: (slot, category) => `CMD_pickcatagory+${slot}+${category}`,
  pass: (slot) => `CMD_pass+${slot}`,
  // Letter hints asked for just before the start request.
  hints: (slot) => `CMD_hints+${slot}+true`,
  kickhim: (slot, target) => `CMD_kickhim+${slot}+${target}+`,
  justwatch: (slot, watch) => `CMD_justwatch+${slot}+${watch ? 1 : 2}`,
  playasound: (slot, sound) => `CMD_playasound+${slot}+wave${sound}+`,
};

// The pen that begins every stroke message: {f, slot, colour, width}, `f` at the fields after it.
// Throws ConvertError on a field that does not read.
function readPen(rest) {
  const f = new Fields(rest);
  const slot = f.nextInt();
  const colour = colourFromText(f.next());
  if (colour === null) throw new ConvertError('colour');
  return { f, slot, colour, width: f.nextInt() };
}

// A CMD_moveit payload: {slot, colour, width, x, y}.
export function readMoveit(rest) {
  const { f, slot, colour, width } = readPen(rest);
  const x = f.nextInt();
  return { slot, colour, width, x, y: f.restInt() };
}

// A CMD_draw payload: {slot, colour, width, points}. Empty segments carry nothing; a point that
// does not read ends the list, and the points before it stay.
export function readDraw(rest) {
  const { f, slot, colour, width } = readPen(rest);
  const points = [];
  const text = f.rest();
  // Points as the desktop writes them, "+X,Y" in plain decimals, read character by character;
  // anything else is read by the full rules from there on.
  let i = 0;
  const n = text.length;
  for (;;) {
    while (i < n && text.charCodeAt(i) === 43) i++; // "+"
    if (i >= n) return { slot, colour, width, points };
    const from = i;
    const x = plainInt(text, i, 44);
    if (x === null) return { slot, colour, width, points: points.concat(slowPoints(text.slice(from))) };
    i = x.end + 1;
    const y = plainInt(text, i, 43);
    if (y === null) return { slot, colour, width, points: points.concat(slowPoints(text.slice(from))) };
    i = y.end;
    points.push([x.value, y.value]);
  }
}

// A plain decimal at `i` ended by the character `stop` (or the text's end): {value, end}, or null.
function plainInt(text, i, stop) {
  let negative = false;
  if (text.charCodeAt(i) === 45) { negative = true; i++; }
  const start = i;
  let value = 0;
  for (; i < text.length; i++) {
    const c = text.charCodeAt(i);
    if (c === stop) break;
    if (c < 48 || c > 57 || i - start >= 9) return null;
    value = value * 10 + (c - 48);
  }
  if (i === start || (stop === 44 && i >= text.length)) return null;
  return { value: negative ? -value : value, end: i };
}

// Points by the full number rules: a point that does not read ends the list.
function slowPoints(text) {
  const points = [];
  for (const seg of text.split('+')) {
    if (seg === '') continue;
    const comma = seg.indexOf(',');
    const x = comma < 0 ? null : tryInt(seg.slice(0, comma));
    const y = comma < 0 ? null : tryInt(seg.slice(comma + 1));
    if (x === null || y === null) break;
    points.push([x, y]);
  }
  return points;
}
