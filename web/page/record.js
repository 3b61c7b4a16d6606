// One game as this page saw it: the turns it watched end and, once the game is won, the final
// ranking. Fed by the player's game from the host's messages.

export const BLACK_TEAM = 'Black Team';
export const MAROON_TEAM = 'Maroon Team';
// A longer game keeps only its last turns.
export const MAX_TURNS = 100;

export class GameRecord {
  constructor(team = false) {
    this.team = team;
    this.open = false;
    this.current = null;
    this.turns = []; // {drawer, phrase, solver, category}
    this.firstturn = 0; // the number of the first turn kept, from 0 at the game's start
    this.gone = [];
    this.won = false;
    this.winner = '';
    this.ranking = [];
  }

  // A drawing turn began. A turn still open is dropped: it never ended (its drawer left).
  turnbegan(drawer, category) {
    this.open = true;
    this.current = { drawer, phrase: '', solver: '', category };
  }

  // The open turn ended; the solver is empty on a time-out. False when no turn was open.
  turnended(phrase, solver) {
    if (!this.open) return false;
    this.open = false;
    if (this.turns.length === MAX_TURNS) { this.turns.shift(); this.firstturn++; }
    this.turns.push({ ...this.current, phrase, solver });
    return true;
  }

  // A seated player left during the game: the ranking keeps it with the score it had.
  playerleft(player) { this.gone.push({ ...player, left: true }); }
  playerback(name) { this.gone = this.gone.filter((p) => p.name !== name); }

  finish(winner, seated, teamtotals) {
    this.open = false;
    this.won = true;
    this.winner = winner;
    this.ranking = rank(seated.concat(this.gone), this.team, winner, teamtotals);
  }
}

// Higher scores first; among equal scores the winner, then by seat (seated ones, then those who
// left). Tied places share a rank: 1, 1, 3. In a team game the teams' totals are those of their
// keeping seats (1 for the odd seats, 2 for the even), as the host judges the winner by them.
export function rank(players, team, winner, teamtotals) {
  let ordered;
  if (team) {
    const black = { rank: 0, name: BLACK_TEAM, score: teamtotals[0], left: false, members: [] };
    const maroon = { rank: 0, name: MAROON_TEAM, score: teamtotals[1], left: false, members: [] };
    for (const p of players.slice().sort((a, b) => a.seat - b.seat)) (p.seat % 2 === 1 ? black : maroon).members.push(p);
    ordered = [black, maroon];
  } else {
    ordered = players.map((p) => ({ rank: 0, name: p.name, score: p.score, left: Boolean(p.left), members: [] }));
  }
  // Array.prototype.sort is stable.
  ordered.sort((a, b) => (a.score !== b.score ? b.score - a.score : (b.name === winner) - (a.name === winner)));
  ordered.forEach((p, i) => { p.rank = i > 0 && p.score === ordered[i - 1].score ? ordered[i - 1].rank : i + 1; });
  return ordered;
}
