// A whole game between browser players and a desktop copy through a real host: chat both ways,
// the browser draws and the desktop's board shows the same picture, the desktop draws and the
// browser's canvas shows it, a late joiner in the browser sees the drawing so far, a browser guess
// solves the phrase and every panel shows the same scores. With QUILLET_SHOTS=DIR it also saves
// the page at 1280 x 800 and 360 x 640 during a turn.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import * as s from './support.mjs';

const pixels = (page) => page.evaluate(() => Array.from(window.quillet.backingPixels()));
const settled = (page) => page.waitForFunction(() => window.quillet.queued() === 0);
const state = (page, f) => page.evaluate(f);

test('browser and desktop players share one game', { timeout: 240000 }, async () => {
  const { host, game, url } = await s.startHost();
  const display = await s.xvfb();
  const chromium = await s.browser();
  const shots = process.env.QUILLET_SHOTS;

  const ann = await s.browserPlayer(chromium, url, 'Ann');
  assert.equal(await state(ann, () => window.quillet.game.mynumber), 1);
  await s.startDesktop(display, game, 'Zed');
  const wes = await s.rawPeer(game, 'Wes');
  await ann.waitForFunction(() => window.quillet.game.seats[2].name === 'Zed' && window.quillet.game.seats[3].name === 'Wes');
  const board = s.findBoard(display);
  assert.deepEqual([board.width, board.height], [533, 369], 'the desktop shows its board at its own size');

  // Chat both ways; the desktop's pane shows a new line.
  const pane = () => s.shot(display, board.x + 545, board.y + 185, 230, 255).rgb;
  const paneBefore = pane();
  await ann.fill('#chatentry', 'hello from the browser + friends :)#12');
  await ann.press('#chatentry', 'Enter');
  assert.equal(await wes.next('CMD_chat+1+'), 'CMD_chat+1+Ann chats: hello from the browser + friends :)#12|clMaroon');
  await s.until('the line on the desktop', () => !pane().equals(paneBefore), 5000);
  s.xdo(display, ['mousemove', '--sync', String(board.x + 650), String(board.y + 461), 'click', '1']);
  s.xdo(display, ['type', '--delay', '5', 'hi from the desktop']);
  s.xdo(display, ['key', 'Return']);
  await ann.waitForFunction(() => document.getElementById('chat').textContent.includes('Zed chats:  hi from the desktop'));

  // Ann leads the table: she starts the game, picks a category and draws. The longest turn
  // leaves a loaded machine room for a browser's start within the desktop drawer's turn.
  await ann.click('#startbutton');
  await ann.fill('#timeperturninput', '120');
  await ann.click('#startgame');
  assert.equal(await wes.next('CMD_startgame+'), 'CMD_startgame+1+false+20+120');
  await ann.click('#catbuttons button[data-cat="0"]');
  await ann.waitForFunction(() => window.quillet.game.fullanswer !== '');
  const phrase = await state(ann, () => window.quillet.game.fullanswer);
  const canvas = await ann.locator('#screen').boundingBox();
  const k = canvas.width / 533;
  const stroke = [[60, 60], [120, 90], [200, 70], [300, 200], [420, 150], [480, 300]];
  await ann.mouse.move(canvas.x + stroke[0][0] * k, canvas.y + stroke[0][1] * k);
  await ann.mouse.down();
  for (const [x, y] of stroke.slice(1)) await ann.mouse.move(canvas.x + x * k, canvas.y + y * k, { steps: 8 });
  await ann.mouse.up();
  await ann.click('#widthup');
  await ann.click('#colourbutton');
  await ann.click('#palette button:nth-child(2)');
  await ann.mouse.move(canvas.x + 100 * k, canvas.y + 300 * k);
  await ann.mouse.down();
  await ann.mouse.move(canvas.x + 250 * k, canvas.y + 330 * k, { steps: 10 });
  await ann.mouse.up();
  await wes.next('CMD_moveit+1+clRed+4+');
  while (!(await wes.next('CMD_draw+1+')).endsWith('+250,330+'));
  if (shots) await ann.screenshot({ path: path.join(shots, 'web-drawer-1280x800.png') });
  await s.sleep(400);
  const annPicture = s.rgbaPicture(533, 369, await pixels(ann));
  const deskPicture = s.rgbPicture(s.shot(display, board.x, board.y, 533, 369));
  assert.ok(deskPicture.inked() > 1000, 'the desktop shows the stroke');
  const off = s.disagreement(annPicture, deskPicture);
  assert.ok(off < 0.01, `the desktop's board differs from the browser's in ${(off * 100).toFixed(2)}% of the ink`);

  // Wes solves Ann's phrase; then Zed picks and draws on the desktop.
  wes.send(`CMD_answer+${wes.slot}+${phrase}`);
  await wes.next(`CMD_correctanswer+${wes.slot}+2+1+1+`);
  await wes.next('CMD_pickcatagory+2', 20000);
  await s.sleep(500);
  s.xdo(display, ['mousemove', '--sync', String(board.x + s.firstCategory.x), String(board.y + s.firstCategory.y), 'click', '1']);
  const mask = (await wes.next('CMD_nextplayer+2+0+')).slice('CMD_nextplayer+2+0+'.length);
  const deskStroke = [[80, 250], [150, 120], [260, 180], [330, 90], [450, 260]];
  const moves = ['mousemove', '--sync', String(board.x + deskStroke[0][0]), String(board.y + deskStroke[0][1]), 'mousedown', '1'];
  deskStroke.slice(1).forEach(([x, y], n) => {
    const [px, py] = deskStroke[n];
    for (let i = 1; i <= 6; i++)
      moves.push('mousemove', '--sync', String(Math.round(board.x + px + ((x - px) * i) / 6)),
        String(Math.round(board.y + py + ((y - py) * i) / 6)), 'sleep', '0.02');
  });
  moves.push('mouseup', '1', 'mousemove', String(board.x + 500), String(board.y + 20));
  s.xdo(display, moves);
  while (!(await wes.next('CMD_draw+2+')).endsWith('+450,260+'));
  await s.sleep(300);
  await settled(ann);
  const deskDrawing = s.rgbPicture(s.shot(display, board.x, board.y, 533, 369));
  const annSees = s.rgbaPicture(533, 369, await pixels(ann));
  const off2 = s.disagreement(deskDrawing, annSees);
  assert.ok(off2 < 0.01, `the browser's canvas differs from the desktop's board in ${(off2 * 100).toFixed(2)}% of the ink`);

  // A late joiner in the browser, on a phone, sees the drawing so far.
  const lee = await s.browserPlayer(chromium, url, 'Lee', { width: 360, height: 640 });
  await lee.waitForFunction(() => window.quillet.game.drawer === 2);
  await settled(lee);
  const leeSees = s.rgbaPicture(533, 369, await pixels(lee));
  assert.ok(s.disagreement(annSees, leeSees, 0) < 0.001, 'the late joiner sees the same drawing');
  if (shots) {
    await lee.screenshot({ path: path.join(shots, 'web-guesser-360x640.png') });
    await ann.screenshot({ path: path.join(shots, 'web-guesser-1280x800.png') });
  }

  // Ann's guess, every word that fits the mask, solves the phrase.
  await ann.fill('#answerentry', s.candidates(mask).join(' '));
  await ann.press('#answerentry', 'Enter');
  const correct = await wes.next('CMD_correctanswer+1+');
  const [, , annScore, , zedScore] = correct.split('+');
  const scores = (page) => page.evaluate(() => window.quillet.game.seats.slice(1, 5).map((x) => x.score));
  const want = [annScore, zedScore, '2', '0'];
  for (const page of [ann, lee]) await page.waitForFunction((w) => window.quillet.game.seats.slice(1, 5).map((x) => x.score).join() === w.join(), want);
  assert.deepEqual(await scores(ann), await scores(lee));
  assert.deepEqual([...ann.errors, ...lee.errors], []);
  for (const f of fs.readdirSync(s.home).filter((f) => f.startsWith('errors-')))
    assert.equal(fs.readFileSync(path.join(s.home, f), 'utf8'), '', f);

  // The host ends: the page says why and offers to join again.
  host.kill('SIGTERM');
  await lee.waitForSelector('#ended:not([hidden])');
  assert.match(await lee.textContent('#endreason'), /^The host has ended the game\.$/);
  assert.ok(await lee.isVisible('#joinagain'));
  wes.close();
  await chromium.close();
});

// A group of four browsers (one a phone held upright with touch, one a phone turned) plays a
// short hinted game to the podium and Play Again; the leader is a browser. With QUILLET_SHOTS=DIR
// it saves each page, at its own size, waiting for the leader, with a hinted mask, and at the podium.
test('four browsers play a short hinted game to the podium and again', { timeout: 240000 }, async () => {
  const { url } = await s.startHost();
  const chromium = await s.browser();
  const shots = process.env.QUILLET_SHOTS;
  const sizes = [[1280, 800], [360, 640], [640, 360], [768, 1024]];
  const names = ['Ann', 'Bea', 'Cal', 'Dan'];
  const pages = [];
  for (const [i, [width, height]] of sizes.entries())
    pages.push(await s.browserPlayer(chromium, url, names[i], { width, height }, width < 400 ? { hasTouch: true, isMobile: true } : {}));
  const [ann, bea] = pages;
  const view = (page) => page.evaluate(() => window.quillet.game.view());
  const snap = async (what) => {
    if (!shots) return;
    for (const [i, page] of pages.entries()) await page.screenshot({ path: path.join(shots, `web-${what}-${sizes[i].join('x')}.png`) });
  };
  // Nothing is wider or taller than its screen (the panels under the board scroll on their own),
  // and the board and every control of the turn are in view.
  const fits = (page) => page.evaluate(() => {
    const vw = document.documentElement.clientWidth, vh = document.documentElement.clientHeight;
    const inView = (id) => { const e = document.getElementById(id); if (!e || e.offsetParent === null) return true; const r = e.getBoundingClientRect(); return r.top >= 0 && r.left >= 0 && r.bottom <= vh + 1 && r.right <= vw + 1; };
    return { wide: document.documentElement.scrollWidth <= vw, tall: document.documentElement.scrollHeight <= vh,
      out: ['screen', 'answerentry', 'startbutton', 'passbutton', 'playagain', 'catbuttons', 'toolbar'].filter((id) => !inView(id)) };
  });

  for (const page of pages) await page.waitForFunction(() => window.quillet.game.seats[4].name === 'Dan');
  for (const page of pages.slice(1)) await page.waitForFunction(() => document.getElementById('turnline').textContent === 'Waiting for Ann to start');
  assert.deepEqual((await view(ann)).seats.map((x) => [x.mine, x.leader]).slice(0, 2), [[true, true], [false, false]]);
  assert.ok(await bea.isVisible('#seat2.me'), 'one\'s own row is marked');
  for (const page of pages) assert.deepEqual(await fits(page), { wide: true, tall: true, out: [] });
  await snap('waiting');

  // The leader starts a game to 5 with 30 s turns and letter hints; the form remembers them.
  await ann.click('#startbutton');
  await ann.fill('#playtoscore', '5');
  await ann.fill('#timeperturninput', '30');
  await ann.check('#hints');
  await ann.click('#startgame');
  for (const page of pages) await page.waitForFunction(() => window.quillet.game.options.hints === true);
  assert.deepEqual((await view(bea)).startform.last, { team: false, playto: 5, seconds: 30, hints: true });

  // Turns until somebody wins: the drawer picks, a guesser types the phrase. The first turn runs
  // until a letter hint shows.
  const phrases = [];
  for (let turn = 0; turn < 8; turn++) {
    await ann.waitForFunction(() => window.quillet.game.drawer > 0 || window.quillet.game.winnername !== '', null, { timeout: 30000 });
    if ((await view(ann)).podium) break;
    const drawer = (await view(ann)).turn.drawer - 1;
    await pages[drawer].waitForSelector('#pickpanel:not([hidden])');
    await pages[drawer].click('#catbuttons button[data-cat="0"]');
    await pages[drawer].waitForFunction(() => window.quillet.game.fullanswer !== '');
    const phrase = await pages[drawer].evaluate(() => window.quillet.game.fullanswer);
    phrases.push(phrase);
    // A stroke for the podium's picture of the turn.
    const box = await pages[drawer].locator('#screen').boundingBox();
    await pages[drawer].mouse.move(box.x + box.width * 0.2, box.y + box.height * (0.3 + turn * 0.2));
    await pages[drawer].mouse.down();
    await pages[drawer].mouse.move(box.x + box.width * 0.8, box.y + box.height * 0.5, { steps: 6 });
    await pages[drawer].mouse.up();
    const guesser = pages[drawer === 3 ? 0 : 3];
    if (turn === 0) {
      await guesser.waitForFunction(() => /[A-Z]/.test(window.quillet.game.answer), null, { timeout: 25000 });
      for (const page of pages) {
        const cells = await page.$$eval('#answer .cell', (c) => c.map((x) => x.getBoundingClientRect()));
        assert.equal(cells.length, phrase.replace(/ /g, '').length, 'a cell for every character');
        for (let i = 1; i < cells.length; i++)
          assert.ok(cells[i].left >= cells[i - 1].right - 0.5 || cells[i].top >= cells[i - 1].bottom - 0.5, 'cells apart');
        const f = await fits(page);
        assert.deepEqual(f.out.filter((id) => id !== 'startbutton'), [], `${f.out} out of view`);
      }
      await snap('hint');
    }
    await guesser.fill('#answerentry', phrase);
    await guesser.press('#answerentry', 'Enter');
    await ann.waitForFunction((n) => window.quillet.game.record.turns.length === n, phrases.length, { timeout: 10000 });
  }

  // The podium agrees on every page: ranking, turns and who starts the next game.
  for (const page of pages) await page.waitForSelector('#podium:not([hidden])');
  const podia = await Promise.all(pages.map(async (page) => (await view(page)).podium));
  for (const p of podia.slice(1)) {
    assert.deepEqual(p.ranking, podia[0].ranking);
    assert.deepEqual(p.turns.map((t) => [t.phrase, t.line]), podia[0].turns.map((t) => [t.phrase, t.line]));
  }
  assert.equal(podia[0].winner, 'Dan has Won the Game!');
  assert.deepEqual(podia[0].turns.map((t) => t.phrase), phrases);
  assert.equal(podia[0].turns[0].line, 'Solved by Dan');
  assert.equal(await bea.textContent('#waitingagain'), 'Waiting for Ann to play again');
  assert.equal(await bea.textContent('#againoptions'), 'Play to 5, 0:30 a turn, letter hints');
  assert.equal(await ann.textContent('#againoptions'), 'Same options: Play to 5, 0:30 a turn, letter hints');
  assert.equal(await bea.isVisible('#playagain'), false);
  for (const page of pages) assert.deepEqual((await fits(page)).out.filter((id) => id !== 'startbutton'), []);
  await snap('podium');

  // The start form opens with the last choices; Play Again starts the same game again.
  await ann.click('#startbutton');
  assert.deepEqual([await ann.inputValue('#playtoscore'), await ann.inputValue('#timeperturninput'), await ann.isChecked('#hints')], ['5', '30', true]);
  await ann.click('#startform button[value=cancel]');
  await ann.click('#playagain');
  for (const page of pages) await page.waitForFunction(() => !window.quillet.game.view().podium && window.quillet.game.options.hints);
  assert.deepEqual((await view(bea)).startform.last, { team: false, playto: 5, seconds: 30, hints: true });
  assert.deepEqual(pages.flatMap((page) => page.errors), []);
  await chromium.close();
});

test.after(() => setTimeout(() => process.exit(process.exitCode || 0), 100));
