// The end of a game over the board: who won, the final ranking with shared places, the three
// steps, every turn of the game with its drawer, phrase, solver and last drawing, and Play Again for
// the leading player or whom the others wait for. Text from the wire goes in with textContent only.
// The record keeps at most this many turns, and so many pictures are kept.
const KEPT_TURNS = 100;
const THUMB_W = 140;
const THUMB_H = 97;

const el = (tag, className, text) => {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
};

export class Podium {
  constructor(root, { playAgain, close }) {
    this.root = root;
    this.pictures = new Map();
    this.key = '';
    root.querySelector('#playagain').addEventListener('click', playAgain);
    root.querySelector('#closepodium').addEventListener('click', close);
  }

  // The board's picture as turn `turn` (1 for the game's first) ended; the oldest go as the
  // record drops its turns.
  picture(turn, board) {
    const c = document.createElement('canvas');
    c.width = THUMB_W;
    c.height = THUMB_H;
    const g = c.getContext('2d');
    g.imageSmoothingQuality = 'high';
    g.drawImage(board, 0, 0, THUMB_W, THUMB_H);
    this.pictures.set(turn, c);
    this.pictures.delete(turn - KEPT_TURNS);
    this.key = '';
  }
  clearPictures() { this.pictures.clear(); this.key = ''; }

  // p: the game's podium as the player's game tells it; leading: this player starts the next game.
  show(p, leading) {
    const $ = (id) => this.root.querySelector('#' + id);
    const key = [p.winner, p.heading, p.ranking.length, p.turns.length && p.turns[0].number, this.pictures.size].join('\n');
    if (key !== this.key) {
      this.key = key;
      $('podiumtitle').textContent = p.winner;
      $('places').replaceChildren(...p.ranking.map((r) => place(r, p.team)));
      $('steps').replaceChildren(...(p.team ? [] : p.ranking.slice(0, 3).map((r, i) => step(r, i))));
      $('turnheading').textContent = p.heading;
      $('turns').replaceChildren(...p.turns.map((t) => this.turn(t)));
    }
    $('playagain').hidden = !leading;
    $('playagain').disabled = !p.playagain;
    $('waitingagain').hidden = leading;
    $('waitingagain').textContent = leading ? '' : p.footer;
    $('againoptions').textContent = leading ? p.footer : p.optionsLine;
  }

  turn(t) {
    const li = el('li');
    const kept = this.pictures.get(t.number);
    const thumb = el('canvas', 'thumb');
    thumb.width = THUMB_W;
    thumb.height = THUMB_H;
    if (kept) thumb.getContext('2d').drawImage(kept, 0, 0);
    else { const g = thumb.getContext('2d'); g.fillStyle = '#fff'; g.fillRect(0, 0, THUMB_W, THUMB_H); }
    const text = el('div', 'what');
    text.append(el('span', 'drew', `${t.number}. ${t.drawer} drew`), el('span', 'phrase', t.phrase),
      el('span', t.solver ? 'solver' : 'solver nobody', t.line));
    li.append(thumb, text);
    return li;
  }
}

function place(p, team) {
  const li = el('li', p.left ? 'left' : p.name === 'Black Team' ? 'black' : '');
  li.append(el('span', `badge rank${Math.min(p.rank, 4)}`, String(p.rank)),
    el('span', 'name', p.left ? `${p.name} (left)` : p.name), el('span', 'score', String(p.score)));
  if (team && p.members.length) {
    const members = el('ul', 'members');
    for (const m of p.members) members.append(el('li', m.left ? 'left' : '', m.left ? `${m.name} (left)` : m.name));
    li.append(members);
  }
  return li;
}

// The steps: the second place left, the first in the middle and highest, the third right.
function step(p, i) {
  const s = el('div', `step step${i + 1} rank${Math.min(p.rank, 4)}`);
  s.append(el('span', 'name', p.name), el('span', 'rank', String(p.rank)));
  return s;
}
