// The agreement check between the desktop player and the page's rules. Every recorded host
// stream in streams/ goes through both (agree_desktop and page.mjs); after every message both
// print what the player shows and sends, and the two prints must be the same. Both must also
// dispatch the same command words and log in with the same version, one the project's.
//
// Usage: node agree.mjs AGREE_DESKTOP PROJECT_VERSION
import { execFile, execFileSync } from 'node:child_process';
import { promisify } from 'node:util';
import { readdirSync } from 'node:fs';
import { join, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { replay } from './page.mjs';
import { ROUTES } from '../../../web/page/turn.js';
import { VERSION } from '../../../web/page/wire.js';

// Differences of view: what each shows in its own way, left out of the comparison.
//   - The round caption's date: the desktop writes the system locale's short date, the page the
//     browser's; both print only what follows it.
//   - The page tells when the say passes ("Ann leads now.") and plays a sound for "very close";
//     the desktop shows the leader by the Start button and the guess line alone. page.mjs leaves
//     these two effects out.
//   - Chatter sounds: the desktop hands the sound's name to its player, which plays nothing for
//     an unknown one; the page drops an unknown one at once. Both print only known ones.
//   - A start or a seat set to watch asked by a player without the say: the desktop's model sends
//     it (its window offers those only to the player with the say), the page's refuses it itself.
//     The streams ask them only of the player with the say.
//   - The line when the game goes away ends "Use File / Host a Game... or Join a Game... to play
//     again." on the desktop, "Reload the page to play again." on the page: it comes from leave(),
//     never from a host message.

const [desktop, projectVersion] = process.argv.slice(2);
if (!desktop || !projectVersion) { console.error('usage: agree.mjs AGREE_DESKTOP PROJECT_VERSION'); process.exit(2); }
const here = dirname(fileURLToPath(import.meta.url));
const streams = readdirSync(join(here, 'streams')).filter((f) => f.endsWith('.txt')).sort().map((f) => join(here, 'streams', f));
let failures = 0;
const fail = (why) => { failures++; console.error(why); };

// The command words and the version.
const words = execFileSync(desktop, ['--words'], { encoding: 'utf8' }).trim().split('\n');
const version = words.shift().replace(/^version /, '');
const mine = [...ROUTES.keys()].sort();
if (words.join(' ') !== mine.join(' ')) {
  fail(`command words differ:\n  desktop only: ${words.filter((w) => !mine.includes(w)).join(' ')}\n  page only: ${mine.filter((w) => !words.includes(w)).join(' ')}`);
}
if (version !== VERSION) fail(`version: desktop ${version}, page ${VERSION}`);
if (!projectVersion.startsWith(VERSION + '.') && projectVersion !== VERSION) fail(`version: page ${VERSION}, project ${projectVersion}`);

// The streams, message by message: the desktop's side runs while the page's does.
const running = promisify(execFile)(desktop, streams, { encoding: 'utf8', maxBuffer: 1 << 28 });
const ours = streams.map(replay).join('').split('\n');
const theirs = (await running).stdout.split('\n');
let at = '', message = '';
for (let i = 0; i < Math.max(theirs.length, ours.length); i++) {
  const a = theirs[i], b = ours[i];
  if (a?.startsWith('= ')) at = a.slice(2);
  if (a?.startsWith('@ ')) message = a.slice(2);
  if (a !== b) {
    fail(`${at}, message ${message}:\n  desktop: ${a}\n  page:    ${b}`);
    break;
  }
}
const messages = theirs.filter((l) => l.startsWith('@ ')).length;
console.log(`${streams.length} streams, ${messages} messages, ${failures ? 'differences found' : 'the same'}`);
process.exit(failures ? 1 : 0);
